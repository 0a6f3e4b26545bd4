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
  const ready = VelhornCore().then((module) => {
    core = module;
    document.documentElement.dataset.ready = String(performance.now());
    return module;
  });
  window.velhornCore = ready;  // for the panels around the window

  // The chart: the core keeps what was drawn since the last clear and places it on whole device
  // pixels; the page paints it again whenever the canvas changes size, so nothing is ever lost.
  function fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(chart.clientWidth * ratio);
    const height = Math.round(chart.clientHeight * ratio);
    if (chart.width !== width || chart.height !== height) {
      chart.width = width;
      chart.height = height;
    }
  }

  const colours = getComputedStyle(document.documentElement);
  const colour = (name) => colours.getPropertyValue(name).trim();

  function paint() {
    fitCanvas();
    const g = chart.getContext('2d');
    g.clearRect(0, 0, chart.width, chart.height);
    if (!core)
      return;
    const {pen, strokes} = core.chartStrokes(chart.width, chart.height, window.devicePixelRatio || 1);
    const inks = [colour('--chart-ink'), colour('--red'), colour('--blue')];
    g.lineWidth = pen;
    g.lineCap = 'square';
    for (let i = 0; i < strokes.length; i += 6) {
      const [kind, x0, y0, x1, y1, ink] = strokes.slice(i, i + 6);
      if (kind === 0) {
        g.fillStyle = inks[ink];
        g.fillRect(x0 - pen / 2, y0 - pen / 2, pen, pen);
        continue;
      }
      g.strokeStyle = inks[ink];
      g.beginPath();
      g.moveTo(x0, y0);
      g.lineTo(x1, y1);
      g.stroke();
    }
  }

  function grafik() {
    chartDescription.textContent = core.grafik();
    paint();
  }

  new ResizeObserver(paint).observe(chart);

  // Choosing an output option prepares the window for a calculation in that mode.
  function prepareForOutput(mode) {
    const choice = core.chooseOption(mode);
    for (const i of choice.whitened) {
      boxes[i].classList.toggle('hidden', i === choice.hidden);
      boxes[i].classList.remove('output');
      boxes[i].classList.add('input');
    }
    for (const i of choice.emptied)
      boxes[i].value = '';
    command.textContent = choice.caption;
    copyItem.disabled = !core.hasResult();
  }
  for (const option of options)
    option.addEventListener('change', () => {
      if (option.checked)
        core ? prepareForOutput(Number(option.value)) : ready.then(() => prepareForOutput(Number(option.value)));
    });

  function MsgBox(text) {
    $('MsgBox-text').textContent = text;
    messageBox.showModal();
  }

  function applyPress(outcome) {
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
