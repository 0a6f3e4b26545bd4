// The page's behaviour: it hands each press to the core and shows what comes back. Every number
// shown, every message and every stroke of the chart comes from the core.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const form = $('Form1');
  const boxes = form.dataset.boxes.split(' ').map($);  // the three inputs, then the four results
  const inputs = boxes.slice(0, 3);
  const options = [...form.querySelectorAll('input[type=radio]')];
  const command = $('Command1');
  const chart = $('Picture1');
  const chartDescription = $('Picture1-description');
  const messageBox = $('MsgBox');
  const about = $('Form_About');
  const menu = $('ContextMenu');
  const copyItem = $('CopyResults');

  // Results are shown with the visitor's decimal separator; input is always read with a point.
  const separator = new Intl.NumberFormat().formatToParts(1.5).find((p) => p.type === 'decimal')?.value ?? '.';

  let core = null;
  let bare = null;
  const ready = VelhornCore().then((module) => {
    core = module;
    bare = core.bareChart();
    document.documentElement.dataset.ready = String(performance.now());
    return module;
  });
  window.velhornCore = ready;  // for the panels around the window

  // The chart: a retained list of strokes since the last clear, drawn again whenever the canvas
  // changes size, so nothing drawn is ever lost.
  let frame = null;  // user coordinates of the drawing area's corners, set by the first drawing
  let strokes = [];

  function fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(chart.clientWidth * ratio);
    const height = Math.round(chart.clientHeight * ratio);
    if (chart.width !== width || chart.height !== height) {
      chart.width = width;
      chart.height = height;
    }
  }

  // Lines cover whole device pixels, as the desktop draws them.
  function paint() {
    fitCanvas();
    const g = chart.getContext('2d');
    g.clearRect(0, 0, chart.width, chart.height);
    if (!frame)
      return;
    const pen = Math.max(1, Math.round(window.devicePixelRatio || 1));
    const half = pen / 2;
    const [left, top, right, bottom] = frame;
    const toDevice = (x, y) => [
      Math.round(((x - left) / (right - left)) * chart.width - half) + half,
      Math.round(((y - top) / (bottom - top)) * chart.height - half) + half,
    ];
    const margin = [(right - left) / chart.clientWidth, (bottom - top) / chart.clientHeight];
    g.lineWidth = pen;
    g.lineCap = 'square';
    for (const [x0, y0, x1, y1, colour] of strokes) {
      g.strokeStyle = colour;
      if (x0 === x1 && y0 === y1) {
        const [px, py] = toDevice(x0, y0);
        g.fillStyle = colour;
        g.fillRect(px - half, py - half, pen, pen);
        continue;
      }
      const seen = core.clipSegment(x0, y0, x1, y1, Math.min(left, right) - margin[0], Math.max(left, right) + margin[0],
        Math.min(top, bottom) - margin[1], Math.max(top, bottom) + margin[1]);
      if (!seen)
        continue;
      const [a, b] = [toDevice(seen[0], seen[1]), toDevice(seen[2], seen[3])];
      g.beginPath();
      g.moveTo(a[0], a[1]);
      g.lineTo(b[0], b[1]);
      g.stroke();
    }
  }

  const colours = getComputedStyle(document.documentElement);
  const colour = (name) => colours.getPropertyValue(name).trim();
  const single = (values) => values.map(Math.fround);  // drawing takes single precision

  function grafik() {
    frame = single(bare.frame);
    const ink = colour('--chart-ink');
    strokes = bare.axes.map((axis) => [...single(axis), ink]);
    const curve = single(bare.curve);
    const red = colour('--red');
    strokes.push([curve[0], curve[1], curve[0], curve[1], ink]);
    for (let i = 2; i < curve.length; i += 2)
      strokes.push([curve[i - 2], curve[i - 1], curve[i], curve[i + 1], red]);
    chartDescription.textContent = bare.description;
    paint();
  }

  new ResizeObserver(paint).observe(chart);

  // Choosing an output option prepares the window for a calculation in that mode.
  function prepareForOutput(outputBox) {
    for (const box of inputs)
      box.classList.toggle('hidden', box === outputBox);
    for (const box of inputs) {
      box.classList.remove('output');
      box.classList.add('input');
    }
    for (const box of boxes)
      box.value = '';
    command.textContent = command.dataset.prepared;
  }
  for (const option of options)
    option.addEventListener('change', () => option.checked && prepareForOutput(boxes[Number(option.value)]));

  function MsgBox(text) {
    $('MsgBox-text').textContent = text;
    messageBox.showModal();
  }

  function applyPress(outcome) {
    if (outcome.redraw)
      grafik();
    if (outcome.output >= 0) {
      const box = boxes[outcome.output];
      box.classList.remove('hidden', 'input');
      box.classList.add('output');
    }
    outcome.boxes.forEach((text, i) => {
      if (text !== null) {
        boxes[i].value = text;
        boxes[i].setSelectionRange(0, 0);  // a number wider than its box shows its start
      }
    });
    for (const m of outcome.markers)
      strokes.push([...single(m), colour(m.red ? '--red' : '--blue')]);
    if (outcome.redraw) {
      chartDescription.textContent = outcome.description;
      paint();
    }
    if (outcome.message !== null)
      MsgBox(outcome.message);
  }

  function Command1_Click() {
    if (!core) {
      ready.then(Command1_Click);
      return;
    }
    const chosen = options.find((o) => o.checked);
    const [M1, Teta, M2] = inputs.map((box) => box.value);
    const outcome = core.press(chosen ? Number(chosen.value) : -1, M1, Teta, M2, separator, new Date().toISOString());
    copyItem.disabled = !core.hasResult();
    applyPress(outcome);
    form.dispatchEvent(new CustomEvent('press', {detail: {mode: chosen ? Number(chosen.value) : -1, typed: [M1, Teta, M2]}}));
  }
  command.addEventListener('click', Command1_Click);

  chart.addEventListener('click', () => (core ? grafik() : ready.then(grafik)));
  chart.focus();  // where the keyboard starts, as on the desktop

  // About: one modeless window, brought back to the front when asked for again.
  $('Mn_About').addEventListener('click', () => {
    if (about.open)
      about.close();
    about.show();
  });
  about.querySelector('.close').addEventListener('click', () => about.close());

  // Copying: Ctrl+C copies the last result unless text is selected in a box; the copy carries a
  // tab-separated table for spreadsheets and an HTML one for word processors.
  function selectionInBox() {
    const active = document.activeElement;
    return active instanceof HTMLInputElement && active.type === 'text' && active.selectionStart !== active.selectionEnd;
  }
  document.addEventListener('copy', (event) => {
    if (!core || selectionInBox() || String(window.getSelection()))
      return;
    const result = core.copyResults();
    if (!result)
      return;
    event.clipboardData.setData('text/plain', result.text);
    event.clipboardData.setData('text/html', result.html);
    event.preventDefault();
  });

  function saveChart() {
    const link = document.createElement('a');
    link.download = 'velhorn-chart.png';
    link.href = chart.toDataURL('image/png');
    link.click();
  }

  // The context menu of the chart and the window's background, also from the keyboard.
  let menuReturn = null;
  function openMenu(x, y) {
    menuReturn = document.activeElement;
    menu.hidden = false;
    menu.style.left = `${Math.min(x, window.innerWidth - menu.offsetWidth)}px`;
    menu.style.top = `${Math.min(y, window.innerHeight - menu.offsetHeight)}px`;
    menu.querySelector('button:not(:disabled)')?.focus();
  }
  function closeMenu() {
    if (menu.hidden)
      return;
    menu.hidden = true;
    menuReturn?.focus();
  }
  form.addEventListener('contextmenu', (event) => {
    if (event.target instanceof HTMLInputElement && event.target.type === 'text')
      return;  // a box keeps its own edit menu
    event.preventDefault();
    const at = event.button === 0 && event.clientX === 0 && event.clientY === 0
      ? document.activeElement.getBoundingClientRect() : {left: event.clientX, top: event.clientY};
    openMenu(at.left, at.top);
  });
  copyItem.addEventListener('click', () => {
    closeMenu();
    document.execCommand('copy');
  });
  $('SaveChart').addEventListener('click', () => {
    closeMenu();
    saveChart();
  });
  menu.addEventListener('keydown', (event) => {
    const items = [...menu.querySelectorAll('button:not(:disabled)')];
    const at = items.indexOf(document.activeElement);
    if (event.key === 'Escape')
      closeMenu();
    else if (event.key === 'ArrowDown' || event.key === 'ArrowUp')
      items[(at + (event.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length]?.focus();
    else
      return;
    event.preventDefault();
  });
  document.addEventListener('pointerdown', (event) => menu.contains(event.target) || closeMenu());
  document.addEventListener('keydown', (event) => {
    if ((event.ctrlKey || event.metaKey) && !event.shiftKey && event.key.toLowerCase() === 's') {
      event.preventDefault();
      saveChart();
    }
  });
})();
