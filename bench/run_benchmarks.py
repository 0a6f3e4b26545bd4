#!/usr/bin/python3
"""Runs every benchmark and prints one table: each figure, its floor measured in the same run,
their ratio, and the goal. Usage: run_benchmarks.py BUILD_DIR"""

import json
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build/default"
# Every window started here keeps its history in a scratch folder, never in the user's own.
scratch_data = tempfile.TemporaryDirectory()
os.environ["XDG_DATA_HOME"] = scratch_data.name
bench = os.path.join(build, "bench")
STARTUP_RUNS = 15
PRESSES = 1000


def google_benchmark(program, *args, env=None):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([os.path.join(bench, program), f"--benchmark_out={out.name}", "--benchmark_out_format=json", *args],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen", **(env or {})))
        report = json.load(open(out.name))
    results = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name") in (None, "median"):
            scale = {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
            results[re.sub(r"/repeats:\d+$", "", b["run_name"])] = b["real_time"] * scale
    return results


def probe(platform, *args):
    """Median first-frame time and peak memory over several fresh processes."""
    frames, startup_rss, press_rss = [], [], []
    for run in range(STARTUP_RUNS):
        env = dict(os.environ, QT_QPA_PLATFORM=platform)
        env["VELHORN_LAUNCH_NS"] = str(time.monotonic_ns())
        result = subprocess.run([os.path.join(bench, "startup_probe"), *args], capture_output=True,
                                text=True, env=env, timeout=60)
        values = dict(line.split() for line in result.stdout.splitlines() if line.strip())
        if "first_frame_ms" not in values:
            raise SystemExit(f"startup_probe {' '.join(args)} on {platform} failed in run {run}:\n{result.stderr}")
        frames.append(float(values["first_frame_ms"]))
        startup_rss.append(int(values["peak_rss_kib_startup"]))
        press_rss.append(int(values["peak_rss_kib_after_presses"]))
    return statistics.median(frames), statistics.median(startup_rss), statistics.median(press_rss)


def with_xvfb(run):
    number = next(n for n in range(90, 200) if not os.path.exists(f"/tmp/.X{n}-lock"))
    display = f":{number}"
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                              stderr=subprocess.DEVNULL)
    deadline = time.time() + 10  # until the server takes a client
    while subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                         capture_output=True).returncode != 0 and time.time() < deadline:
        time.sleep(0.05)
    saved = os.environ.get("DISPLAY")
    os.environ["DISPLAY"] = display
    try:
        return run()
    finally:
        server.terminate()  # a clean exit removes the server's socket for the next one
        server.wait()
        if saved is None:
            del os.environ["DISPLAY"]
        else:
            os.environ["DISPLAY"] = saved


rows = []


def row(figure, value, unit, floor, goal_ratio=None, goal_absolute=None):
    ratio = value / floor if floor else float("nan")
    met = []
    if goal_ratio is not None:
        met.append(("yes" if ratio <= goal_ratio else "NO") + f" (<= {goal_ratio}x)")
    if goal_absolute is not None:
        met.append(("yes" if value <= goal_absolute else "NO") + f" (<= {goal_absolute:g} {unit})")
    rows.append((figure, f"{value:.3g} {unit}", f"{floor:.3g} {unit}" if floor else "-",
                 f"{ratio:.2f}" if floor else "-", ", ".join(met) or "-"))


flow = google_benchmark("flow_bench")
nu = flow["BM_Nu"]
targets = [5, 26.38, 76.92, 120, 130]
updates = [3, 2, 4, 7, 11]
for i, (target, k) in enumerate(zip(targets, updates)):
    row(f"inverse of nu = {target} ({k} updates)", flow[f"BM_Invert/{i}"], "ns", (k + 1) * nu, goal_ratio=1.2)
row("nu(M), one call", nu, "ns", None)

value = google_benchmark("press_bench")
row("parse + round + display, one box", value["BM_BoxConversion"] / 1e3, "us",
    value["BM_BoxConversionFloor"] / 1e3, goal_absolute=1)
row("press in M2 mode, without the window", value["BM_PressValue"] / 1e3, "us", value["BM_PressValueFloor"] / 1e3)

# The window keeps its history in a scratch data folder; beside it, the same presses with the
# folder under a plain file, where no history can be kept.
data = tempfile.TemporaryDirectory()
calc = google_benchmark("calculator_bench", env={"XDG_DATA_HOME": data.name})
open(os.path.join(data.name, "blocked"), "w").close()
unkept = google_benchmark("calculator_bench", "--benchmark_filter=BM_Press/", env={"XDG_DATA_HOME": os.path.join(data.name, "blocked", "data")})
for mode, name in enumerate(["M1", "Teta", "M2"]):
    row(f"press in {name} mode, until idle (median)", calc[f"BM_Press/{mode}"] / 1e6, "ms",
        calc["BM_PressFloor"] / 1e6, goal_absolute=1)
row("press in M2 mode with the history written (floor: not kept)", calc["BM_Press/2"] / 1e6, "ms",
    unkept["BM_Press/2"] / 1e6, goal_ratio=1.2)
row("History window opened on 100 000 presses, to its first rows", calc["BM_OpenHistory"] / 1e6, "ms", None,
    goal_absolute=100)
row("press in M2 mode, History window open on 100 000 (floor: closed)", calc["BM_PressHistoryOpen"] / 1e6, "ms",
    calc["BM_Press/2"] / 1e6, goal_ratio=1.2)
row("grafik alone", calc["BM_Grafik"] / 1e3, "us", calc["BM_GrafikFloor"] / 1e3)
row("chart repaint from its image", calc["BM_ChartRepaint"] / 1e3, "us", calc["BM_ChartRepaintFloor"] / 1e3)

for platform, label in (("offscreen", "offscreen"), ("xcb", "Xvfb")):
    run = (lambda p=platform: (probe(p, str(PRESSES)), probe(p, "--minimal"), probe(p, "--minimal-text")))
    (velhorn, minimal, text) = with_xvfb(run) if platform == "xcb" else run()
    row(f"start-up to first frame, {label}", velhorn[0], "ms", minimal[0], goal_ratio=1.25)
    row(f"  same, floor with one line of text", velhorn[0], "ms", text[0])
    if platform == "offscreen":
        row("peak memory after start-up", velhorn[1] / 1024, "MiB", minimal[1] / 1024, goal_ratio=1.25)
        row("  same, floor with one line of text", velhorn[1] / 1024, "MiB", text[1] / 1024)
        row(f"peak memory after {PRESSES} presses", velhorn[2] / 1024, "MiB", minimal[2] / 1024, goal_ratio=1.25)

# The command line: a batch, its floor and numpy beside it, a table, one solve, and memory.
cli = os.path.join(build, "cli", "velhorn-cli")
one_core = ["taskset", "-c", "0"]
here = os.path.dirname(os.path.abspath(__file__))


def timed(argv, check=True, **kwargs):
    start = time.perf_counter()
    subprocess.run(argv, check=check, **kwargs)
    return time.perf_counter() - start


def peak_rss_kib(argv, stdin):
    # Through bench/peak_rss: wait4 here would report this Python process's own peak instead.
    result = subprocess.run([os.path.join(bench, "peak_rss"), *argv], stdin=stdin, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise SystemExit(f"{argv} failed with status {result.returncode}:\n{result.stderr}")
    return int(result.stderr.split()[-1])


with tempfile.TemporaryDirectory() as scratch:
    cases = os.path.join(scratch, "cases.csv")
    draw = random.Random(1)
    with open(cases, "w") as out:
        out.write("M1,theta\n")
        out.writelines(f"{draw.uniform(1, 5):.6f},{draw.uniform(0, 30):.4f}\n" for _ in range(10 ** 6))
    result = os.path.join(scratch, "fans.csv")
    with open(result, "w") as out:
        batch = min(timed(one_core + [cli, "--format", "csv", "batch", cases], stdout=out) for _ in range(3))
    floor = dict(line.split() for line in subprocess.run(one_core + [os.path.join(bench, "batch_floor"), cases],
                                                         capture_output=True, text=True, check=True).stdout.splitlines())
    row("batch of 10^6 M1,theta cases to CSV", batch, "s", float(floor["core_seconds"]), goal_ratio=1.5, goal_absolute=1)
    # The same batch on every core (--jobs defaults to them) against one thread, neither pinned.
    with open(result, "w") as out:
        threaded = min(timed([cli, "--format", "csv", "batch", cases], stdout=out) for _ in range(3))
        single = min(timed([cli, "--format", "csv", "batch", "--jobs", "1", cases], stdout=out) for _ in range(3))
    row(f"  same, --jobs {os.cpu_count()}, unpinned (floor: --jobs 1; goal: 1.7x faster)", threaded, "s", single,
        goal_ratio=0.59)
    numpy_env = {k: v for k, v in os.environ.items() if k not in ("OPENBLAS_CORETYPE", "OPENBLAS_L2_SIZE")}
    numpy = timed(one_core + ["/usr/bin/python3", os.path.join(here, "numpy_batch.py"), cases, result], env=numpy_env,
                  stderr=subprocess.DEVNULL)
    row("  same batch in numpy, vectorised (floor: velhorn-cli)", numpy, "s", batch)
    with open(result, "w") as out:
        table = min(timed(one_core + [cli, "--format", "csv", "table", "--M", "1", "100.9999", "0.0001"], stdout=out)
                    for _ in range(3))
    row("gas table of 10^6 rows to CSV", table, "s", None, goal_absolute=0.5)
    # Oblique shocks: 10^6 M1,theta cases, every quantity of each shock and its limits, to CSV.
    shocks = os.path.join(scratch, "shocks.csv")
    with open(shocks, "w") as out:
        out.write("M1,theta\n")
        out.writelines(f"{draw.uniform(1.5, 5):.6f},{draw.uniform(0, 20):.4f}\n" for _ in range(10 ** 6))
    with open(result, "w") as out:
        # Some cases are detached shocks, refused line by line, so velhorn-cli ends with status 1.
        shock_batch = min(timed(one_core + [cli, "--format", "csv", "shock", "--batch", shocks], check=False,
                                stdout=out, stderr=subprocess.DEVNULL) for _ in range(3))
    row("10^6 oblique shocks (M1, theta) to CSV", shock_batch, "s", None, goal_absolute=1)
    with open(result, "w") as out:
        body_sweep = min(timed(one_core + [cli, "--format", "csv", "body", "--shape", "biconvex", "--thickness", "0.05",
                                           "--facets", "20", "--M", "2.5", "--alpha", "-5", "4.99", "0.01"], stdout=out)
                         for _ in range(5))
    row("sweep of 1000 alpha, 20-facet biconvex, shock-expansion", body_sweep * 1e3, "ms", None, goal_absolute=50)

# The Python module on 10^6 cases, NumPy beside it (both NumPy scripts on one core, as NumPy runs).
if os.path.isdir(os.path.join(build, "python", "velhorn")):
    result = subprocess.run(["/usr/bin/python3", os.path.join(here, "python_bench.py"), build], capture_output=True,
                            text=True, check=True, env=numpy_env)
    py = {name: float(value) for name, value in (line.split() for line in result.stdout.splitlines())}
    cores = f"{py['cores']:.0f} cores"
    row(f"velhorn.fan(M1=a, theta=b), 10^6 cases, {cores} (floor: numpy, Newton until converged)",
        py["velhorn_fan"], "s", py["numpy_fan_converged"], goal_ratio=1.0)
    row("  same (floor: numpy_batch.py's fixed Newton passes)", py["velhorn_fan"], "s", py["numpy_batch_fan"],
        goal_ratio=1.0)
    row("  same on one core (floor: numpy, Newton until converged)", py["velhorn_fan_one_core"], "s",
        py["numpy_fan_converged"])
    row(f"velhorn.mach_from_nu, 10^6 values, {cores} (floor: numpy, Newton until converged)",
        py["velhorn_mach_from_nu"], "s", py["numpy_mach_from_nu_converged"])
    row("  same on one core", py["velhorn_mach_from_nu_one_core"], "s", py["numpy_mach_from_nu_converged"])
    row(f"velhorn.nu, 10^6 values (one state: nu, mu, ratios), one core", py["velhorn_nu_one_core"], "s", None)
else:
    print(f"no Python module in {build}; pybind11-dev builds it", file=sys.stderr)


def spawned(argv):
    """Seconds from starting a program, as a shell does, to its exit, output to /dev/null."""
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)])
    os.waitpid(pid, 0)
    return time.perf_counter() - start


solves = sorted(spawned([cli, "solve", "--M1", "2", "--theta", "10"]) for _ in range(101))
print_floor = sorted(spawned([os.path.join(bench, "print_floor"), "M2"]) for _ in range(101))
row("one solve, shell to printed answer (median; floor: C++ printing a line)", solves[50] * 1e3, "ms",
    print_floor[50] * 1e3, goal_absolute=5)
# The batch's peak moves by about 2 % from one run to the next, with 10 lines as with 10^7; the
# medians of seven runs show whether it grows with its input.
lines = {}
for count in (10, 10 ** 7):
    peaks = []
    for _ in range(7):
        feed = subprocess.Popen(["sh", "-c", f"echo M1,theta; yes 2.5,10 | head -n {count}"], stdout=subprocess.PIPE)
        peaks.append(peak_rss_kib([cli, "--format", "csv", "batch"], feed.stdout))
        feed.stdout.close()
        feed.wait()
    lines[count] = statistics.median(peaks)
row("peak memory, batch of 10^7 lines (floor: 10 lines; medians of 7)", lines[10 ** 7] / 1024, "MiB",
    lines[10] / 1024, goal_ratio=1.02)

# The page in headless Chromium from a local server: its size, when it is ready for input (floor: a
# blank page that marks itself ready), and one press from click to painted result (floor: the
# core's press alone).
site = os.path.join(os.path.dirname(os.path.abspath(build)), "web")
if os.path.exists(os.path.join(site, "index.html")):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
    import browser

    size = sum(os.path.getsize(os.path.join(site, f)) for f in os.listdir(site))
    row("the page, all its files (floor: the core and its loader)", size / 1024, "KiB",
        os.path.getsize(os.path.join(site, "velhorn.js")) / 1024, goal_absolute=300 * 1000 / 1024)
    with tempfile.TemporaryDirectory() as blank:
        with open(os.path.join(blank, "index.html"), "w") as f:
            f.write("<!doctype html><script>document.documentElement.dataset.ready = performance.now()</script>")
        url, stop = browser.serve(site)
        blank_url, stop_blank = browser.serve(blank)
        driver = browser.chromium()
        try:
            browser.open_page(driver, url)  # once to warm the server and the disk cache
            ready = statistics.median(browser.open_page(driver, url) for _ in range(15))
            blank_ready = statistics.median(browser.open_page(driver, blank_url) for _ in range(15))
            row("the page ready for input, local server (median of 15)", ready, "ms", blank_ready, goal_absolute=150)
            browser.open_page(driver, url)
            press_ms = driver.execute_script("""
                const $ = (id) => document.getElementById(id);
                document.querySelectorAll('input[type=radio]')[2].click();
                $('Text_M1').value = '2'; $('Text_Teta').value = '10';
                const times = [];
                for (let i = 0; i < 500; i++) {
                  const t0 = performance.now();
                  $('Command1').click();
                  $('Picture1').getContext('2d').getImageData(0, 0, 1, 1);  // the drawing is done
                  times.push(performance.now() - t0);
                }
                const median = (a) => a.sort((x, y) => x - y)[a.length >> 1];
                return median(times);""")
            core_ms = driver.execute_script("""
                return VelhornCore().then((core) => {
                  const t0 = performance.now();
                  for (let i = 0; i < 500; i++) core.press(2, '2', '10', '', '.', '');
                  return (performance.now() - t0) / 500; });""")
            row("a press, click to painted result (median of 500)", press_ms, "ms", core_ms, goal_absolute=2)
            # The bodies panel: 1 000 incidences of a biconvex section of 10 facets a side, from the
            # Sweep button to the plotted canvas (floor: the core's sweep alone, without drawing).
            sweep_ms, sweep_core_ms = driver.execute_async_script("""
                const done = arguments[arguments.length - 1];
                const $ = (id) => document.getElementById(id);
                const wait = () => { if (!document.documentElement.dataset.panels) return setTimeout(wait, 5);
                  $('body-shape').value = 'biconvex'; $('body-shape').dispatchEvent(new Event('change'));
                  $('body-size').value = '0.1'; $('body-facets').value = '10'; $('body-M').value = '2.5';
                  $('sweep-over').value = '0'; $('sweep-from').value = '-5'; $('sweep-to').value = '4.99';
                  $('sweep-step').value = '0.01';
                  const drawn = [], alone = [];
                  for (let i = 0; i < 3; i++) {
                    const t0 = performance.now();
                    $('sweep-form').requestSubmit();
                    $('sweep-plot').getContext('2d').getImageData(0, 0, 1, 1);
                    drawn.push(performance.now() - t0);
                  }
                  window.velhornCore.then((c) => {
                    for (let i = 0; i < 3; i++) {
                      const t0 = performance.now();
                      c.sweepPanel('air', 'biconvex', '0.1', '0.5', 10, 0, '-5', '4.99', '0.01', '2.5', 0);
                      alone.push(performance.now() - t0);
                    }
                    const median = (a) => a.sort((x, y) => x - y)[a.length >> 1];
                    done([median(drawn), median(alone)]);
                  });
                };
                wait();""")
            row("a sweep of 1000 alpha, 20 facets, drawn (median of 3; floor: the core alone)", sweep_ms, "ms",
                sweep_core_ms, goal_absolute=50)
        finally:
            driver.quit()
            stop()
            stop_blank()
else:
    print(f"no page in {site}; ./quickstart.sh web builds it", file=sys.stderr)

widths = [max(len(r[i]) for r in rows + [("figure", "measured", "floor", "ratio", "goal met")]) for i in range(5)]
header = ("figure", "measured", "floor", "ratio", "goal met")
print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print("| " + " | ".join(c.ljust(w) for c, w in zip(r, widths)) + " |")
