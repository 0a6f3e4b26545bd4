#!/usr/bin/python3
"""The panels around the page's window in Debian's headless Chromium: each panel once against
velhorn-cli's numbers as a user reads them; random cases through the panels' core calls against
`velhorn-cli --format csv`, byte for byte; the phone's and the desktop's sizes; each panel used
with the keyboard alone; the dark scheme's contrast on every text; a shared link.

    panels_test.py SITE_FOLDER VELHORN_CLI
"""
import csv
import io
import json
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
import mpmath  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

SKIPPED = 77
failures = []
CLI = None


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def cli(*args, stdin=None):
    """velhorn-cli's standard output and its reasons (standard error without the program's name)."""
    done = subprocess.run([CLI, *args], input=stdin, capture_output=True, text=True)
    reasons = [line.removeprefix("velhorn-cli: ") for line in done.stderr.splitlines()]
    return done.stdout, reasons


def rows_of(text):
    return list(csv.reader(io.StringIO(text)))


def by_name(driver, role_name):
    """The element whose accessible name (label text, aria-label or button text) is role_name."""
    return driver.execute_script("""
        const want = arguments[0];
        const named = (e) => (e.getAttribute('aria-label') || (e.labels && e.labels[0] && [...e.labels[0].childNodes]
            .filter((n) => n.nodeType === 3 || n.tagName === 'SPAN').map((n) => n.textContent).join('')) ||
            e.textContent || '').trim();
        return [...document.querySelectorAll('input, select, button, canvas, table')]
            .find((e) => !e.closest('[hidden]') && named(e) === want) || null;""", role_name)


def table_cells(driver, table_id):
    return driver.execute_script("""
        return [...document.getElementById(arguments[0]).rows].map((r) => [...r.cells].map((c) => c.textContent));""",
                                 table_id)


def set_value(driver, element, text):
    driver.execute_script("arguments[0].value = arguments[1]; arguments[0].dispatchEvent(new Event('change', {bubbles: true}))",
                          element, text)


def submit(driver, button_name):
    by_name(driver, button_name).click()


def ready(driver, url):
    browser.open_page(driver, url)
    driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const wait = () => document.documentElement.dataset.panels ? done() : setTimeout(wait, 5);
        wait();""")


def press(driver, mode, typed):
    driver.execute_script("""
        const [mode, typed] = arguments;
        document.querySelectorAll('input[type=radio]')[mode].click();
        ['Text_M1', 'Text_Teta', 'Text_M2'].forEach((id, i) => { if (typed[i] !== null) document.getElementById(id).value = typed[i]; });
        document.getElementById('Command1').click();""", mode, typed)
    time.sleep(0.05)  # the panel follows the press in the next task


def across(cells):
    """A table laid out one quantity a row: {symbol: [values...]}."""
    return {row[0]: row[1:] for row in cells[1:]}


# --- Each panel once, as a user reads it, against the command line. -----------------------------

def panels_once(driver, url):
    ready(driver, url)
    set_value(driver, by_name(driver, "Gas"), "argon")
    press(driver, 2, ["2", "10", None])
    out, _ = cli("--gas", "argon", "--format", "csv", "solve", "--M1", "2", "--theta", "10")
    want = rows_of(out)[1]
    shown = [v[0] for v in across(table_cells(driver, "quantities-table")).values()]
    check(shown == want, f"every quantity of the fan (argon, M1 2, theta 10): {shown} against {want}")
    check(driver.find_element(By.ID, "quantities-csv").get_attribute("data-csv") == out, "the fan's CSV")

    set_value(driver, by_name(driver, "Digits"), "5")
    out5, _ = cli("--gas", "argon", "--digits", "5", "solve", "--M1", "2", "--theta", "10")
    want5 = [line.split()[-1] for line in out5.splitlines()]
    shown5 = [v[0] for v in across(table_cells(driver, "quantities-table")).values()]
    check(shown5 == want5, f"five digits: {shown5} against {want5}")
    set_value(driver, by_name(driver, "Digits"), "0")

    set_value(driver, driver.find_element(By.ID, "chain-M1"), "1.5")
    set_value(driver, by_name(driver, "Turning angles (°)"), "4, 8.5 12")
    submit(driver, "Turn the corners")
    out, _ = cli("--gas", "argon", "--format", "csv", "solve", "--M1", "1.5", "--theta", "4", "--theta", "8.5",
                 "--theta", "12")
    want = [r[2:] for r in rows_of(out)[1:]]
    cells = across(table_cells(driver, "chain-table"))
    shown = [[cells[k][i] for k in cells] for i in range(len(want))]
    check(shown == want, f"corners in a row: {shown[:1]} against {want[:1]}")

    set_value(driver, by_name(driver, "By"), "1")
    for name, text in (("From", "0"), ("To", "60"), ("Step", "7.5")):
        set_value(driver, driver.find_element(By.ID, f"table-{name.lower()}"), text)
    submit(driver, "Make the table")
    out, _ = cli("--gas", "argon", "--format", "csv", "table", "--nu", "0", "60", "7.5")
    check(table_cells(driver, "table-table")[1:] == rows_of(out)[1:], "the gas table by nu")

    set_value(driver, by_name(driver, "Shape"), "biconvex")
    driver.execute_script("document.getElementById('body-shape').dispatchEvent(new Event('change'))")
    for id, text in (("body-size", "0.1"), ("body-facets", "10"), ("body-M", "2.2"), ("body-alpha", "3")):
        set_value(driver, driver.find_element(By.ID, id), text)
    submit(driver, "Solve the body")
    body = ["--gas", "argon", "body", "--shape", "biconvex", "--thickness", "0.1", "--facets", "10", "--M", "2.2"]
    out, _ = cli("--format", "csv", *body, "--alpha", "3")
    shown = [v[0] for v in across(table_cells(driver, "body-forces")).values()]
    check(close([shown], rows_of(out)[1:]), f"the body's forces: {shown}")
    out, _ = cli("--format", "csv", *body, "--alpha", "3", "--per-facet")
    check(close(table_cells(driver, "body-facets-table")[1:], rows_of(out)[1:]), "the body's facets")
    svg_file = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"panels-test-{os.getpid()}.svg")
    cli(*body, "--alpha", "3", "--svg", svg_file)
    with open(svg_file) as f:
        check(driver.find_element(By.ID, "body-svg").get_attribute("data-svg") == f.read(), "the drawing's SVG")
    os.remove(svg_file)
    ink = driver.execute_script("""
        const c = document.getElementById('body-drawing'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        let shock = 0, fan = 0;
        for (let i = 0; i < d.length; i += 4) { if (d[i] > 150 && d[i + 1] < 90 && d[i + 2] < 90) shock++;
            if (d[i] < 60 && d[i + 1] > 60 && d[i + 1] < 130 && d[i + 2] > 140) fan++; }
        return [shock, fan];""")
    check(ink[0] > 200 and ink[1] > 200, f"the drawing shows shocks and fans: {ink} pixels")

    for id, text in (("sweep-from", "-4"), ("sweep-to", "6"), ("sweep-step", "0.5")):
        set_value(driver, driver.find_element(By.ID, id), text)
    submit(driver, "Sweep")
    out, _ = cli("--format", "csv", *body, "--alpha", "-4", "6", "0.5")
    check(close(rows_of(driver.find_element(By.ID, "sweep-csv").get_attribute("data-csv")), rows_of(out)), "the sweep's CSV")
    plotted = driver.execute_script("""
        const c = document.getElementById('sweep-plot'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        let n = 0; for (let i = 0; i < d.length; i += 4) if (d[i] < 80 && d[i + 1] > 100 && d[i + 2] < 80) n++; return n;""")
    check(plotted > 100, f"the sweep's L/D is plotted: {plotted} green pixels")

    # A shared link brings back the press and every panel's inputs.
    link = driver.current_url
    before = [v[0] for v in across(table_cells(driver, "quantities-table")).values()]
    driver.get("about:blank")
    ready(driver, link)
    time.sleep(0.05)
    again = [v[0] for v in across(table_cells(driver, "quantities-table")).values()]
    check(again == before and
          driver.execute_script("return document.getElementById('Text_M2').value") == "2.385" and
          driver.execute_script("return document.getElementById('body-shape').value") == "biconvex" and
          again[0] == "1.6666666666666667", f"the shared link {link}: {again[:2]}")

    # A refusal is the command line's reason.
    set_value(driver, driver.find_element(By.ID, "body-alpha"), "40")
    set_value(driver, by_name(driver, "Shape"), "plate")
    submit(driver, "Solve the body")
    _, reasons = cli("--gas", "argon", "body", "--shape", "plate", "--M", "2.2", "--alpha", "40")
    check(driver.find_element(By.ID, "body-message").text == reasons[0], "the body's refusal")


# --- A gamma the gas refuses: every panel says why in velhorn-cli's words, and the core lives on.

def refused_gases(driver, url):
    ready(driver, url)
    for gamma in ("1", "0.5", "0", "-2"):
        _, reasons = cli("--gamma", gamma, "solve", "--M1", "2", "--theta", "10")
        want = f"\u03b3 = {gamma}: " + reasons[0].split(": ", 1)[1]
        calls = [["gasGamma", [gamma]], ["fanPanel", [gamma, 2, "2", "10", "", 0]], ["chainPanel", [gamma, "2", "5, 10", 0]],
                 ["tablePanel", [gamma, 0, "1", "3", "0.5", 0]], ["bodyPanel", [gamma, "diamond", "0.1", "0.5", 4, "2", "3", 0]],
                 ["sweepPanel", [gamma, "diamond", "0.1", "0.5", 4, 0, "-2", "2", "1", "2", 0]]]
        said = driver.execute_async_script("""
            const [calls, done] = arguments;
            window.velhornCore.then((c) => done(calls.map(([f, args]) => {
                try { return c[f](...args).message; } catch (e) { return `threw ${e}`; } })));""", calls)
        for (name, _), message in zip(calls, said):
            check(message == want, f"{name} with gamma {gamma}: {message!r}, not velhorn-cli's {want!r}")
    press(driver, 2, ["2", "10", None])
    driver.execute_script("""const box = document.getElementById('gamma'); box.value = '0.5';
        box.dispatchEvent(new Event('input', {bubbles: true})); box.dispatchEvent(new Event('change', {bubbles: true}));""")
    message = driver.find_element(By.ID, "quantities-message").text
    check(message.startswith("\u03b3 = 0.5: gamma must be"), f"the gamma box refuses 0.5 in words: {message!r}")
    set_value(driver, by_name(driver, "Gas"), "air")
    press(driver, 2, ["2", "10", None])
    out, _ = cli("--format", "csv", "solve", "--M1", "2", "--theta", "10")
    shown = [v[0] for v in across(table_cells(driver, "quantities-table")).values()]
    check(shown == rows_of(out)[1], f"the fan after a refused gamma: {shown[:3]}")


# --- Random cases through the panels' core calls against velhorn-cli --format csv. --------------

def core_calls(driver, calls):
    return driver.execute_async_script("""
        const [calls, done] = arguments;
        window.velhornCore.then((c) => done(calls.map(([f, args]) => { const a = c[f](...args);
            return a.message !== null ? {message: a.message} : {csv: a.csv, facets: a.facets ? a.facets.csv : null,
                                                                   forces: a.forces ? a.forces.csv : null}; })));""",
                                       calls)


def state_ratio(column, gamma, M):
    """p/p0, T/T0 or rho/rho0 of a state given by M, to 40 digits, rounded to a double."""
    mpmath.mp.dps = 40
    # The core takes a gamma of 1.4 as air's exact 7/5.
    g = mpmath.mpf(7) / 5 if float(gamma) == 1.4 else mpmath.mpf(float(gamma))
    M = mpmath.mpf(float(M))
    T = 1 / (1 + (g - 1) / 2 * M * M)
    return float({"T": T, "p": T ** (g / (g - 1)), "rho": T ** (1 / (g - 1))}[column.split("1_")[0]])


def differential(driver, url, rng):
    ready(driver, url)
    counts, differing, worst = {}, {}, {}
    arbitrated = {"page": 0, "velhorn-cli": 0, "neither": 0}

    def same(kind, page, want, what, values=None):
        """Texts must be equal; `values`: pairs of number texts that may part in their last bits."""
        counts[kind] = counts.get(kind, 0) + 1
        if page == want:
            return
        differing[kind] = differing.get(kind, 0) + 1
        if values is None:
            check(False, f"{kind} {what}: the page says {page}, velhorn-cli {want}")
            return
        for a, b in values:
            if a != b:
                if not (a and b):
                    check(False, f"{kind} {what}: {a!r} against {b!r}")
                    continue
                # Against the size of the number, floored at a thousandth: a Mach line's angle or a
                # body's force can be a small difference of large ones.
                part = abs(float(a) - float(b)) / max(abs(float(b)), 1e-3)
                if part > worst.get(kind, 0):
                    print(f"  the largest {kind} difference yet: {what}: {a} against velhorn-cli's {b}")
                worst[kind] = max(worst.get(kind, 0), part)

    FAN = rows_of(cli("--format", "csv", "solve", "--M1", "2", "--theta", "1")[0])[0]
    # Fans through the press panel, in all three modes, in one batch per mode.
    for mode, header in ((2, "M1,theta"), (0, "M2,theta"), (1, "M1,M2")):
        cases = []
        for _ in range(600):
            gamma = rng.choice(["1.4", "1.6666666666666667", "1.3", "1.2", f"{rng.uniform(1.01, 3):.4g}"])
            M = f"{10 ** rng.uniform(0, 1.5):.6g}"
            other = f"{rng.uniform(0, 100):.5g}" if mode != 1 else f"{float(M) * rng.uniform(1, 3):.6g}"
            cases.append((gamma, M, other))
        typed = [[c[1], c[2], ""] if mode == 2 else ["", c[2], c[1]] if mode == 0 else [c[1], "", c[2]] for c in cases]
        page = core_calls(driver, [["fanPanel", [c[0], mode, *t, 0]] for c, t in zip(cases, typed)])
        lines = header + ",gamma\n" + "".join(f"{c[1]},{c[2]},{c[0]}\n" for c in cases)
        out, reasons = cli("--format", "csv", "batch", stdin=lines)
        solved = {int(r[0]): r[1:] for r in rows_of(out)[1:]}
        refused = {int(r.split(":")[0].split()[1]): r.split(": ", 1)[1] for r in reasons}
        for i, p in enumerate(page):
            want = solved.get(i + 2)
            if want is None:
                same("fan", p.get("message"), refused.get(i + 2), cases[i])
                continue
            got = (rows_of(p.get("csv", "")) + [[], []])[1]
            same("fan", got, want, cases[i], list(zip(got, want)) if len(got) == len(want) else None)
            for column, a, b in zip(FAN, got, want):
                if a != b and column in ("p1_p0", "T1_T0", "rho1_rho0") and mode != 0:
                    exact = state_ratio(column, cases[i][0], cases[i][1])
                    if float(a) != exact:
                        print(f"  {column} of {cases[i]}: the page {a}, velhorn-cli {b}, 40 digits {exact!r}")
                    arbitrated["page" if float(a) == exact else "velhorn-cli" if float(b) == exact else "neither"] += 1

    # Corners in a row, gas tables, bodies and sweeps, one command line a case.
    calls, wants = [], []
    for _ in range(60):
        gamma = rng.choice(["1.4", "1.3", "1.6666666666666667"])
        M = f"{rng.uniform(1, 5):.4g}"
        thetas = [f"{rng.uniform(-5, 30):.3g}" for _ in range(rng.randrange(2, 6))]
        calls.append(["chainPanel", [gamma, M, ", ".join(thetas), 0]])
        wants.append(("chain", ["--gamma", gamma, "--format", "csv", "solve", "--M1", M] +
                      [a for t in thetas for a in ("--theta", t)]))
    for _ in range(40):
        gamma = rng.choice(["1.4", "1.2", "1.6666666666666667"])
        by = rng.randrange(2)
        start = rng.uniform(1, 4) if by == 0 else rng.uniform(0, 60)
        step = rng.choice([0.1, 0.25, 0.5, 1, 2.5])
        frm, to, st = f"{start:.3g}", f"{start + step * rng.randrange(1, 30):.4g}", f"{step:g}"
        calls.append(["tablePanel", [gamma, by, frm, to, st, 0]])
        wants.append(("table", ["--gamma", gamma, "--format", "csv", "table", "--nu" if by else "--M", frm, to, st]))
    for _ in range(150):
        gamma = rng.choice(["1.4", "1.3", "1.6666666666666667"])
        shape = rng.choice(["plate", "wedge", "diamond", "biconvex"])
        size = f"{rng.uniform(1, 15):.3g}" if shape == "wedge" else f"{rng.uniform(0.02, 0.2):.3g}"
        crest, facets = f"{rng.uniform(0.2, 0.8):.2g}", rng.randrange(2, 16)
        M, alpha = f"{rng.uniform(1.3, 6):.4g}", f"{rng.uniform(-10, 10):.3g}"
        shape_args = ["--shape", shape] + ({"plate": [], "wedge": ["--half-angle", size],
                                            "diamond": ["--thickness", size, "--crest", crest],
                                            "biconvex": ["--thickness", size, "--facets", str(facets)]}[shape])
        calls.append(["bodyPanel", [gamma, shape, size, crest, facets, M, alpha, 0]])
        wants.append(("body", ["--gamma", gamma, "--format", "csv", "body", *shape_args, "--M", M, "--alpha", alpha]))
        if len(calls) % 8 == 0:
            over = rng.randrange(2)
            frm, to, st = ("-5", "8", "0.5") if over == 0 else ("1.5", "4", "0.125")
            calls.append(["sweepPanel", [gamma, shape, size, crest, facets, over, frm, to, st, alpha if over else M, 0]])
            wants.append(("sweep", ["--gamma", gamma, "--format", "csv", "body", *shape_args,
                                    "--alpha" if over == 0 else "--M", frm, to, st,
                                    "--M" if over == 0 else "--alpha", M if over == 0 else alpha]))
    page = core_calls(driver, calls)
    for p, (kind, args) in zip(page, wants):
        out, reasons = cli(*args)
        if "message" in p:
            same(kind, p["message"], reasons[0] if reasons else out, args)
            continue
        got = p["forces"] + p["facets"] if kind == "body" else p["csv"]
        want = out + cli(*args, "--per-facet")[0] if kind == "body" else out
        a, b = rows_of(got), rows_of(want)
        pairs = [(x, y) for ra, rb in zip(a[1:], b[1:]) for x, y in zip(ra, rb) if ra[0] != "facet"]
        shape_same = [len(r) for r in a] == [len(r) for r in b] and all(
            x == y for ra, rb in zip(a, b) for x, y in zip(ra, rb) if not x.replace(".", "").replace("-", "").replace("e", "").isdigit())
        same(kind, got, want, args, pairs if shape_same else None)
    total = sum(counts.values())
    print(f"differential against velhorn-cli --format csv: {json.dumps(counts)} cases, {total} in all; "
          f"not byte for byte the same: {json.dumps(differing)} ({sum(differing.values())} in all); the largest "
          f"difference, relative: {json.dumps({k: float(f'{v:.3g}') for k, v in worst.items()})}")
    print(f"  state 1's ratios where the two differ, against 40 digits: correctly rounded by {json.dumps(arbitrated)}")
    # Every value is the correctly rounded one on both sides, whatever arithmetic each works in.
    check(not differing, f"the panels and velhorn-cli differ in {json.dumps(differing)}: the largest part {worst}")
    check(arbitrated["velhorn-cli"] == 0 and arbitrated["neither"] == 0, f"velhorn-cli's state ratio is correctly rounded, the page's not: {arbitrated}")


def close(page_rows, cli_rows):
    """Equal texts, or numbers within 1e-12 of each other's size (floored at a thousandth)."""
    if [len(r) for r in page_rows] != [len(r) for r in cli_rows]:
        return False
    for a, b in ((x, y) for ra, rb in zip(page_rows, cli_rows) for x, y in zip(ra, rb)):
        if a == b or (a == "\u2013" and b == ""):
            continue
        try:
            if abs(float(a) - float(b)) > 1e-12 * max(abs(float(b)), 1e-3):
                return False
        except ValueError:
            return False
    return True


# --- Sizes on a phone and a computer. --------------------------------------------------------------

MEASURE = """
const [phone] = arguments;
const seen = (e) => { const r = e.getBoundingClientRect(); const s = getComputedStyle(e);
  return r.width > 0 && r.height > 0 && s.visibility !== 'hidden' && !e.closest('[hidden], dialog:not([open]), .unseen'); };
const small = [];
for (const e of document.querySelectorAll('body *')) {
  if (!seen(e) || !([...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim())) ) continue;
  const size = parseFloat(getComputedStyle(e).fontSize);
  if (size < (phone ? 16 : 14) - 0.01) small.push(`${e.id || e.tagName}: ${size.toFixed(1)} px`);
}
const targets = [];
for (const e of document.querySelectorAll('button, input, select, a, [tabindex]')) {
  if (!seen(e)) continue;
  if (e.tagName === 'A' && e.closest('p')) continue;  // a link inside a sentence is exempt
  const t = e.type === 'radio' ? e.closest('label') : e;
  const r = t.getBoundingClientRect();
  if (r.width < 24 - 0.01 || r.height < 24 - 0.01) targets.push(`${e.id || e.textContent.trim() || e.tagName}: ${r.width.toFixed(1)}x${r.height.toFixed(1)}`);
}
const cut = [...document.querySelectorAll('input[type=text]')].filter((b) => seen(b) && b.scrollWidth > b.clientWidth + 1)
  .map((b) => `${b.id}: ${b.value}`);
const outside = [...document.querySelectorAll('body *')].filter((e) => seen(e) && !e.closest('.scroll') &&
  e.getBoundingClientRect().right > document.documentElement.clientWidth + 0.5).map((e) => e.id || e.tagName);
const replica = document.querySelector('.replica').getBoundingClientRect();
return {small, targets, cut, outside: outside.slice(0, 5), sideways: document.documentElement.scrollWidth - innerWidth,
        replica: [replica.width, replica.height], text: parseFloat(getComputedStyle(document.getElementById('Label6')).fontSize)};
"""


def sizes(url, width, height, phone):
    driver = browser.chromium(width, height)
    try:
        # The screen itself, not a window on it: a phone's whole width, a computer's whole height.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 3 if phone else 1, "mobile": phone})
        ready(driver, url)
        press(driver, 2, ["1.0002", "120", None])  # an M2 of several digits before the point
        press(driver, 0, [None, "100", "1980.768"])  # a result longer than its box
        seen = driver.execute_script(MEASURE, phone)
        name = f"{width}x{height}"
        print(f"{name}: window {seen['replica'][0]:.0f}x{seen['replica'][1]:.0f} px, its text {seen['text']:.1f} px")
        check(not seen["small"], f"{name}: text below {'16' if phone else '14'} px: {seen['small'][:6]}")
        check(not seen["targets"], f"{name}: targets below 24x24: {seen['targets'][:6]}")
        check(not seen["cut"], f"{name}: boxes that cut their text: {seen['cut']}")
        check(seen["sideways"] <= 0 and not seen["outside"], f"{name}: sideways scrolling {seen['sideways']} px, {seen['outside']}")
        if not phone:
            check(seen["replica"][1] >= height / 2, f"{name}: the window is {seen['replica'][1]:.0f} px high")
        m1 = driver.find_element(By.ID, "Text_M1")
        check(m1.get_attribute("title") == m1.get_attribute("value") or
              m1.get_property("scrollWidth") <= m1.get_property("clientWidth"), f"{name}: M1's tooltip")
    finally:
        driver.quit()


# --- The keyboard alone. ------------------------------------------------------------------------

def tab_to(driver, element, most=120):
    for _ in range(most):
        if driver.switch_to.active_element == element:
            return True
        ActionChains(driver).send_keys(Keys.TAB).perform()
    return False


def keyboard(driver, url):
    ready(driver, url)
    keys = lambda *k: ActionChains(driver).send_keys(*k).perform()  # noqa: E731
    # Enter in a box calculates; Escape closes About.
    driver.execute_script("document.querySelectorAll('input[type=radio]')[2].click()")
    m1 = driver.find_element(By.ID, "Text_M1")
    check(tab_to(driver, m1), "Tab reaches M1")
    keys("2")
    check(tab_to(driver, driver.find_element(By.ID, "Text_Teta")), "Tab reaches Teta")
    keys("10", Keys.ENTER)
    time.sleep(0.05)
    check(driver.find_element(By.ID, "Text_M2").get_attribute("value") == "2.385", "Enter in a box calculates")
    about = driver.find_element(By.ID, "Form_About")
    check(tab_to(driver, driver.find_element(By.ID, "Mn_About")), "Tab reaches About")
    keys(Keys.ENTER)
    overlap = driver.execute_script("""
        const a = document.getElementById('Form_About').getBoundingClientRect();
        return [...document.querySelectorAll('#Form1 input[type=text]')].filter((b) => { const r = b.getBoundingClientRect();
            return r.left < a.right && a.left < r.right && r.top < a.bottom && a.top < r.bottom; }).map((b) => b.id);""")
    check(about.get_attribute("open") is not None and not overlap, f"About open, over no box: {overlap}")
    keys(Keys.ESCAPE)
    check(about.get_attribute("open") is None, "Escape closes About")

    # The gas with the arrows: the quantities follow.
    check(tab_to(driver, by_name(driver, "Gas")), "Tab reaches the gas")
    keys(Keys.ARROW_DOWN)
    time.sleep(0.05)
    gamma = across(table_cells(driver, "quantities-table")).get("\u03b3", [""])[0]
    check(gamma == "1.6666666666666667", f"the gas chosen with the keyboard: gamma {gamma}")

    def fill_and_enter(field_id, text):
        field = driver.find_element(By.ID, field_id)
        check(tab_to(driver, field), f"Tab reaches {field_id}")
        keys(text, Keys.ENTER)  # a box reached with Tab has its text selected, so typing replaces it
        time.sleep(0.05)

    fill_and_enter("chain-thetas", "3 6")
    check(len(table_cells(driver, "chain-table")[0]) == 4, "corners from the keyboard")
    fill_and_enter("table-step", "0.5")
    check(len(table_cells(driver, "table-table")) == 6, "a table from the keyboard")
    fill_and_enter("body-alpha", "2")
    check(across(table_cells(driver, "body-forces")).get("\u03b1 (\u00b0)") == ["2"], "a body from the keyboard")
    fill_and_enter("sweep-step", "1")
    csv_text = driver.find_element(By.ID, "sweep-csv").get_attribute("data-csv")
    check(len(csv_text.splitlines()) == 18, f"a sweep from the keyboard: {len(csv_text.splitlines())} lines")


# --- The dark scheme: every text against what lies under it. ------------------------------------

def dark_contrast(driver, url):
    ready(driver, url)
    browser.dark(driver)
    press(driver, 2, ["2", "10", None])
    pairs = driver.execute_script("""
        const rgb = (s) => s.match(/[\\d.]+/g).map(Number);
        const under = (e) => { for (let x = e; x; x = x.parentElement) { const c = rgb(getComputedStyle(x).backgroundColor);
            if (c.length < 4 || c[3] > 0) return c.slice(0, 3); } return [255, 255, 255]; };
        const out = [];
        for (const e of document.querySelectorAll('body *')) {
          const r = e.getBoundingClientRect();
          if (!r.width || e.closest('[hidden], dialog:not([open]), .unseen')) continue;
          if (![...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim()) && !(e.value && e.type === 'text')) continue;
          out.push([e.id || e.tagName + ':' + e.textContent.trim().slice(0, 20), rgb(getComputedStyle(e).color).slice(0, 3), under(e)]);
        }
        return [out, getComputedStyle(document.body).backgroundColor];""")
    texts, page = pairs
    low = []
    for name, ink, back in texts:
        ratio = browser.contrast(ink, back)
        if ratio < 4.5:
            low.append(f"{name} {ratio:.2f}:1")
    print(f"dark scheme: {len(texts)} texts, the lowest contrast "
          f"{min(browser.contrast(i, b) for _, i, b in texts):.2f}:1")
    check(page not in ("rgb(255, 255, 255)", "rgb(240, 240, 240)"), f"the page around the window is dark: {page}")
    check(not low, f"dark scheme texts below 4.5:1: {low[:6]}")
    browser.dark(driver, False)


def main():
    global CLI
    site, CLI = sys.argv[1], sys.argv[2]
    if not os.path.exists(os.path.join(site, "index.html")):
        print(f"skipped: no page in {site}; ./quickstart.sh web (or cmake --preset web) builds it")
        return SKIPPED
    url, stop = browser.serve(site)
    try:
        driver = browser.chromium(1280, 800)
        try:
            panels_once(driver, url)
            keyboard(driver, url)
            dark_contrast(driver, url)
            refused_gases(driver, url)
            differential(driver, url, random.Random(23))
        finally:
            driver.quit()
        sizes(url, 1280, 800, phone=False)
        sizes(url, 360, 740, phone=True)
    finally:
        stop()
    print("web panels:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
