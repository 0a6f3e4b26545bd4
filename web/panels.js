// The panels around the window: they hand what is typed to the core and place what comes back.
// Every number and message shown here is computed and written by the core; this script only
// forwards events, fills tables and paints strokes.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const form = $('Form1');
  const replicaBoxes = form.dataset.boxes.split(' ').map($);
  const command = $('Command1');
  const about = $('Form_About');
  const colours = () => getComputedStyle(document.documentElement);
  const colour = (name) => colours().getPropertyValue(name).trim();
  let core = null;
  let lastPress = null;  // the window's last press: its mode and typed texts

  // --- The window's replica: whole numbers in every box, Enter, About out of the way. -----------

  // A box whose text is wider than the box grows to the right over the window's background (the
  // type is already as small as is comfortable); its whole text is its tooltip and part of its
  // accessible name.
  function fitBoxes() {
    for (const box of replicaBoxes) {
      box.style.width = '';
      box.style.zIndex = '';
      if (box.dataset.name === undefined)
        box.dataset.name = box.getAttribute('aria-label');
      const cut = box.value !== '' && box.scrollWidth > box.clientWidth + 1;
      box.title = cut ? box.value : '';
      box.setAttribute('aria-label', cut ? `${box.dataset.name} ${box.value}` : box.dataset.name);
      if (!cut)
        continue;
      box.style.width = `${box.offsetWidth + box.scrollWidth - box.clientWidth + 4}px`;
      box.style.zIndex = '1';
      box.setSelectionRange(0, 0);
    }
  }

  // Enter in a box calculates, as a web form does.
  form.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && event.target instanceof HTMLInputElement && event.target.type === 'text') {
      event.preventDefault();
      command.click();
    }
  });

  // About stands over the chart, not the boxes, and Escape closes it.
  // Placed before the window's own handler opens it, so opening scrolls nowhere.
  document.addEventListener('click', (event) => {
    if (event.target !== $('Mn_About'))
      return;
    const chart = $('Picture1').getBoundingClientRect();
    const width = about.offsetWidth || about.querySelector('.area').offsetWidth;
    about.style.left = `${Math.max(0, Math.min(chart.left, document.documentElement.clientWidth - width)) + window.scrollX}px`;
    about.style.top = `${chart.top + window.scrollY + 8}px`;
  }, {capture: true});
  document.addEventListener('click', (event) => {  // once open, it has a width to keep on the screen
    if (event.target === $('Mn_About') && about.open) {
      const room = document.documentElement.clientWidth - about.offsetWidth;
      about.style.left = `${Math.max(0, Math.min(about.getBoundingClientRect().left, room)) + window.scrollX}px`;
    }
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && about.open) {
      about.close();
      $('Mn_About').focus();
    }
  });

  // The units beside the boxes that have one.
  for (const id of ['Text_Teta', 'Text_Nu1', 'Text_Nu2']) {
    const unit = document.createElement('span');
    unit.className = 'unit';
    unit.id = `${id}-unit`;
    unit.textContent = '\u00b0';
    unit.setAttribute('aria-hidden', 'true');
    $(id).after(unit);
    $(id).setAttribute('aria-description', 'degrees');
  }

  // --- Settings shared by every panel. ----------------------------------------------------------

  const gasChoice = $('gas');
  const gammaBox = $('gamma');
  const digitsChoice = $('digits');
  for (let d = 3; d <= 17; d++)
    digitsChoice.add(new Option(`${d} significant`, String(d)));
  const digits = () => Number(digitsChoice.value);
  // The gas as velhorn-cli takes it: a name it knows, or a gamma.
  const gas = () => (gasChoice.value === '' ? gammaBox.value.trim() : gasChoice.value);

  // --- Tables. ----------------------------------------------------------------------------------

  function headingCell(tag, column) {
    const cell = document.createElement(tag);
    cell.textContent = column.symbol;
    if (column.unit) {
      const unit = document.createElement('span');
      unit.className = 'unit-name';
      unit.textContent = ` (${column.unit})`;
      cell.append(unit);
    }
    cell.title = column.name;
    return cell;
  }

  // Records down the page, one a row; or `across`: one quantity a row, records side by side,
  // as a single fan or a short chain reads best.
  function fillTable(table, answer, across = false) {
    table.replaceChildren();
    const head = table.createTHead().insertRow();
    const body = table.createTBody();
    if (across) {
      head.append(headingCell('th', {symbol: 'quantity', unit: '', name: ''}));
      const keys = answer.columns.filter((c) => c.name === 'from_state' || c.name === 'to_state').length;
      answer.rows.forEach((row) => {
        const th = document.createElement('th');
        th.scope = 'col';
        th.textContent = keys ? `${row[0]} \u2192 ${row[1]}` : 'value';
        head.append(th);
      });
      answer.columns.slice(keys).forEach((column, i) => {
        const tr = body.insertRow();
        const th = headingCell('th', column);
        th.scope = 'row';
        tr.append(th);
        for (const row of answer.rows)
          tr.insertCell().textContent = row[keys + i];
      });
      return;
    }
    for (const column of answer.columns) {
      const th = headingCell('th', column);
      th.scope = 'col';
      head.append(th);
    }
    for (const row of answer.rows) {
      const tr = body.insertRow();
      for (const text of row)
        tr.insertCell().textContent = text;
    }
    if (answer.more !== null) {
      const cell = body.insertRow().insertCell();
      cell.colSpan = answer.columns.length;
      cell.textContent = `\u2026 and ${answer.more} more rows in the CSV`;
    }
  }

  function download(name, type, content) {
    const link = document.createElement('a');
    link.download = name;
    link.href = typeof content === 'string' ? URL.createObjectURL(new Blob([content], {type})) : content;
    link.click();
    if (typeof content === 'string')
      setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  // A panel: what it shows for its inputs, or why it shows nothing.
  function show(name, answer, table, csvButton, across) {
    $(`${name}-message`).textContent = answer.message ?? '';
    table.hidden = answer.message !== null;
    csvButton.disabled = answer.message !== null;
    csvButton.dataset.csv = answer.message === null ? answer.csv : '';
    if (answer.message === null)
      fillTable(table, answer, across);
  }
  for (const [button, file] of [['quantities-csv', 'velhorn-fan.csv'], ['chain-csv', 'velhorn-corners.csv'],
    ['table-csv', 'velhorn-table.csv'], ['body-csv', 'velhorn-facets.csv'], ['sweep-csv', 'velhorn-sweep.csv']])
    $(button).addEventListener('click', () => download(file, 'text/csv', $(button).dataset.csv));

  // --- Every quantity of the window's last press. --------------------------------------------

  function quantities() {
    const [mode, typed] = lastPress ? [lastPress.mode, lastPress.typed] : [-1, ['', '', '']];
    show('quantities', core.fanPanel(gas(), mode, ...typed, digits()), $('quantities-table'), $('quantities-csv'), true);
  }
  let pending = false;
  form.addEventListener('press', (event) => {
    lastPress = event.detail;
    fitBoxes();
    if (!pending) {  // after the press is painted, so the window answers first
      pending = true;
      setTimeout(() => {
        pending = false;
        quantities();
        keepState();
      });
    }
  });

  // --- Corners in a row and the gas table. ---------------------------------------------------

  function chain() {
    show('chain', core.chainPanel(gas(), $('chain-M1').value, $('chain-thetas').value, digits()), $('chain-table'),
      $('chain-csv'), true);
  }
  function table() {
    show('table', core.tablePanel(gas(), Number($('table-by').value), $('table-from').value, $('table-to').value,
      $('table-step').value, digits()), $('table-table'), $('table-csv'), false);
  }

  // --- Bodies: forces, facets, the drawing of the waves, and sweeps. ---------------------------

  const shapeChoice = $('body-shape');
  function shapeFields(adjust) {
    const shape = shapeChoice.value;
    $('body-size-label').hidden = shape === 'plate';
    $('body-crest-label').hidden = shape !== 'diamond';
    $('body-facets-label').hidden = shape !== 'biconvex';
    const wedge = shape === 'wedge';
    $('body-size-name').textContent = wedge ? 'Half-angle (\u00b0)' : 'Thickness t/c';
    if (adjust !== true)
      return;
    if (wedge && Number($('body-size').value) < 1)
      $('body-size').value = '5';
    else if (!wedge && Number($('body-size').value) >= 1)
      $('body-size').value = '0.12';
  }
  shapeChoice.addEventListener('change', () => shapeFields(true));
  const shapeArgs = () => [shapeChoice.value, $('body-size').value, $('body-crest').value,
    Number.parseInt($('body-facets').value, 10) || 0];

  const strokeStyle = {
    outline: ['--draw-outline', 2.5, []], shock: ['--draw-shock', 2, []], fan: ['--draw-fan', 1.5, []],
    mach: ['--draw-fan', 0.8, [5, 4]], stream: ['--draw-stream', 1.5, []],
  };

  // A canvas sized to its box in device pixels, with a transform to CSS pixels.
  function canvasContext(canvas, cssHeight) {
    const ratio = window.devicePixelRatio || 1;
    const width = canvas.clientWidth;
    canvas.style.height = `${cssHeight}px`;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(cssHeight * ratio);
    const g = canvas.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    return [g, width, cssHeight];
  }

  let drawing = null;
  function paintDrawing() {
    const canvas = $('body-drawing');
    if (!drawing)
      return;
    const [x0, y0, x1, y1] = drawing.frame;
    const widthCss = canvas.clientWidth;
    const [g, width, height] = canvasContext(canvas, (widthCss * (y1 - y0)) / (x1 - x0));
    const scale = width / (x1 - x0);
    const X = (x) => (x - x0) * scale;
    const Y = (y) => (y1 - y) * scale;
    g.fillStyle = colour('--draw-back');
    g.fillRect(0, 0, width, height);
    g.fillStyle = colour('--draw-body');
    g.beginPath();
    for (let i = 0; i < drawing.outline.length; i += 2)
      g[i ? 'lineTo' : 'moveTo'](X(drawing.outline[i]), Y(drawing.outline[i + 1]));
    g.fill();
    for (const [kind, ax, ay, bx, by] of drawing.strokes) {
      const [ink, width, dash] = strokeStyle[kind];
      g.strokeStyle = colour(ink);
      g.lineWidth = width;
      g.setLineDash(dash);
      g.lineCap = kind === 'outline' || kind === 'stream' ? 'round' : 'butt';
      g.beginPath();
      g.moveTo(X(ax), Y(ay));
      g.lineTo(X(bx), Y(by));
      g.stroke();
    }
    g.setLineDash([]);
    g.font = `${Math.max(12, Math.min(15, width / 60))}px ${getComputedStyle(document.body).fontFamily}`;
    g.textAlign = 'center';
    g.lineWidth = 3;
    g.strokeStyle = colour('--draw-back');
    g.fillStyle = colour('--draw-text');
    const line = parseFloat(g.font) + 2;
    for (const [x, y, M, p] of drawing.labels) {
      for (const [text, dy] of [[M, -2], [p, line - 2]]) {
        g.strokeText(text, X(x), Y(y) + dy);
        g.fillText(text, X(x), Y(y) + dy);
      }
    }
  }

  function body() {
    const answer = core.bodyPanel(gas(), ...shapeArgs(), $('body-M').value, $('body-alpha').value, digits());
    $('body-message').textContent = answer.message ?? '';
    const ok = answer.message === null;
    for (const id of ['body-svg', 'body-png', 'body-csv'])
      $(id).disabled = !ok;
    document.querySelector('.body-results').hidden = !ok;
    $('body-facets-table').hidden = !ok;
    if (!ok)
      return;
    fillTable($('body-forces'), answer.forces, true);
    fillTable($('body-facets-table'), answer.facets, false);
    $('body-csv').dataset.csv = answer.facets.csv;
    $('body-svg').dataset.svg = answer.svg;
    drawing = answer.drawing;
    $('body-drawing-title').textContent = drawing.title;
    paintDrawing();
  }
  $('body-svg').addEventListener('click', () => download('velhorn-body.svg', 'image/svg+xml', $('body-svg').dataset.svg));
  $('body-png').addEventListener('click', () => download('velhorn-body.png', 'image/png', $('body-drawing').toDataURL('image/png')));

  let plot = null;
  function paintPlot() {
    const canvas = $('sweep-plot');
    if (!plot)
      return;
    const cssWidth = canvas.clientWidth;
    const [g, width, height] = canvasContext(canvas, Math.min(360, Math.max(220, cssWidth * 0.5)));
    const font = 13;
    g.font = `${font}px ${getComputedStyle(document.body).fontFamily}`;
    const [left, right, top, bottom] = [58, width - 58, 12, height - 40];
    const X = (u) => left + u * (right - left);
    const Y = (v) => bottom - v * (bottom - top);
    g.fillStyle = colour('--draw-back');
    g.fillRect(0, 0, width, height);
    g.strokeStyle = colour('--draw-grid');
    g.fillStyle = colour('--draw-text');
    g.lineWidth = 1;
    g.textAlign = 'center';
    for (const [u, text] of plot.x) {
      g.beginPath(); g.moveTo(X(u), top); g.lineTo(X(u), bottom); g.stroke();
      g.fillText(text, X(u), bottom + font + 4);
    }
    g.fillText(plot.xName, (left + right) / 2, height - 4);
    g.textAlign = 'right';
    for (const [v, text] of plot.left) {
      g.beginPath(); g.moveTo(left, Y(v)); g.lineTo(right, Y(v)); g.stroke();
      g.fillText(text, left - 6, Y(v) + 4);
    }
    g.textAlign = 'left';
    for (const [v, text] of plot.right)
      g.fillText(text, right + 6, Y(v) + 4);
    for (const [name, ink] of [['cl', '--draw-cl'], ['cd', '--draw-cd'], ['ld', '--draw-ld']]) {
      const points = plot[name];
      g.strokeStyle = colour(ink);
      g.lineWidth = 2;
      g.beginPath();
      let pen = false;
      for (let i = 0; i < points.length; i += 2) {
        if (Number.isNaN(points[i + 1])) {
          pen = false;
          continue;
        }
        g[pen ? 'lineTo' : 'moveTo'](X(points[i]), Y(points[i + 1]));
        pen = true;
      }
      g.stroke();
    }
  }

  function sweep() {
    const over = Number($('sweep-over').value);
    const held = over === 0 ? $('body-M').value : $('body-alpha').value;
    const answer = core.sweepPanel(gas(), ...shapeArgs(), over, $('sweep-from').value, $('sweep-to').value,
      $('sweep-step').value, held, digits());
    const problems = answer.problems ?? [];
    $('sweep-message').textContent = answer.message ?? (problems.length
      ? `${answer.count === 0 ? 'No value of the sweep has a solution' : 'Some values have no solution'}: ${problems[0]}` : '');
    const ok = answer.message === null && answer.count > 0;
    $('sweep-csv').disabled = !ok;
    $('sweep-csv').dataset.csv = ok ? answer.csv : '';
    document.querySelector('.plot').hidden = !ok;
    plot = ok ? answer.plot : null;
    paintPlot();
    return answer;
  }
  $('sweep-over').addEventListener('change', () => {
    const alpha = $('sweep-over').value === '0';
    [$('sweep-from').value, $('sweep-to').value, $('sweep-step').value] = alpha ? ['-6', '10', '0.5'] : ['1.5', '5', '0.1'];
  });

  // --- The address bar keeps every input, so a result can be shared. -----------------------

  const kept = ['gas', 'gamma', 'digits', 'chain-M1', 'chain-thetas', 'table-by', 'table-from', 'table-to',
    'table-step', 'body-shape', 'body-size', 'body-crest', 'body-facets', 'body-M', 'body-alpha', 'sweep-over',
    'sweep-from', 'sweep-to', 'sweep-step'];
  function keepState() {
    const state = new URLSearchParams();
    if (lastPress && lastPress.mode >= 0) {
      state.set('mode', String(lastPress.mode));
      ['M1', 'Teta', 'M2'].forEach((name, i) => lastPress.typed[i] !== '' && state.set(name, lastPress.typed[i]));
    }
    for (const id of kept)
      state.set(id, $(id).value);
    history.replaceState(null, '', `#${state}`);
  }
  function restoreState() {
    const state = new URLSearchParams(location.hash.slice(1));
    for (const id of kept)
      if (state.has(id))
        $(id).value = state.get(id);
    const mode = Number(state.get('mode') ?? -1);
    if (mode >= 0 && mode <= 2) {
      form.querySelectorAll('input[type=radio]')[mode].click();
      ['M1', 'Teta', 'M2'].forEach((name, i) => {
        if (state.has(name) && i !== mode)
          replicaBoxes[i].value = state.get(name);
      });
      command.click();
    }
  }

  // --- Wiring. -------------------------------------------------------------------------------

  // The bodies take longest; `later` lets the first keystroke in before them.
  function refreshAll(later) {
    const answer = core.gasGamma(gas());
    gammaBox.setAttribute('aria-invalid', String(answer.message !== null));
    if (answer.message === null && gasChoice.value !== '')
      gammaBox.value = answer.gamma;
    quantities();
    chain();
    table();
    const swept = () => {
      sweep();
      document.documentElement.dataset.panels = String(performance.now());
    };
    if (later === true) {
      // Each in a task of its own, so a keystroke waits for one of them at most.
      setTimeout(() => {
        body();
        setTimeout(swept, 0);
      }, 0);
    } else {
      body();
      swept();
    }
    keepState();
  }
  gasChoice.addEventListener('change', () => refreshAll());
  gammaBox.addEventListener('input', () => {
    gasChoice.value = '';
  });
  gammaBox.addEventListener('change', () => refreshAll());
  digitsChoice.addEventListener('change', () => refreshAll());
  for (const [id, run] of [['chain-form', chain], ['table-form', table], ['body-form', () => { body(); sweep(); }],
    ['sweep-form', sweep]]) {
    $(id).addEventListener('submit', (event) => {
      event.preventDefault();
      run();
      keepState();
    });
  }
  $('table-by').addEventListener('change', () => {
    const nu = $('table-by').value === '1';
    [$('table-from').value, $('table-to').value, $('table-step').value] = nu ? ['0', '60', '5'] : ['1', '3', '0.25'];
  });
  new ResizeObserver(() => { paintDrawing(); paintPlot(); }).observe($('bodies'));
  matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => { paintDrawing(); paintPlot(); });

  window.velhornCore.then((module) => {
    core = module;
    gasChoice.replaceChildren();
    for (const g of core.gases())
      gasChoice.add(new Option(`${g.name} (\u03b3 = ${g.gamma})`, g.name));
    gasChoice.add(new Option('other \u03b3', ''));
    gasChoice.value = 'air';
    restoreState();
    shapeFields(false);
    refreshAll(true);
  });

  // For the page's tests and benchmarks: a sweep run and drawn, as the Sweep button does.
  window.velhornPanels = {sweep, body};
})();
