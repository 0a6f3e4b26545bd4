#!/usr/bin/python3
"""The Windows build, proven: Velhorn.exe's version record and icon read back from the file, the
program run under Wine in a real X session, clicked and typed into, read back from
screenshots, and velhorn-cli.exe run under Wine as a console program, its output read back. Runs only where the cross-built Qt is cached (packaging/windows/build-windows.sh
has run once); elsewhere it reports itself skipped. Usage: windows_test.py SOURCE_DIR VELHORN_CLI"""

import csv
import io
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from real_window_test import (BLACK, BLUE, CONTROLS, FRAMES, LIGHT_YELLOW, RED, check, report, screenshot,  # noqa: E402
                              start_x_session, stop, wait_for, xdotool)

SKIPPED = 77
CLIENT = (407, 316)
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


def run(*argv, **kwargs):
    return subprocess.run(argv, capture_output=True, text=True, **kwargs)


def version_record(exe):
    fields = {}
    for line in run("exiftool", "-s", "-FileVersion", "-ProductVersion", "-ProductName", "-InternalName",
                    "-OriginalFileName", exe).stdout.splitlines():
        name, _, value = line.partition(":")
        fields[name.strip()] = value.strip()
    return fields


def icon_images(exe, scratch):
    ico = os.path.join(scratch, "icon.ico")
    with open(ico, "wb") as out:
        subprocess.run(["wrestool", "--extract", "--type=14", exe], stdout=out, check=True)
    # identify's own lines name each image's size and colour depth: "ICO 32x32 ... 4-bit sRGB".
    return [" ".join(re.search(r" (\d+x\d+) .* (\d+-bit)", line).groups())
            for line in run("identify", ico).stdout.splitlines()]


def command_line(folder, scratch, native):
    """velhorn-cli.exe is a console program that answers on standard output and standard error,
    with the bytes of this machine's own velhorn-cli."""
    exe = os.path.join(folder, "velhorn-cli.exe")
    header = run("x86_64-w64-mingw32-objdump", "-p", exe).stdout
    check("(Windows CUI)" in header, "velhorn-cli.exe is a console program")
    env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)

    def cli(*args, stdin=None):
        result = subprocess.run([WINE, exe, *args], input=stdin, capture_output=True, text=True, env=env, timeout=120)
        return result.returncode, result.stdout.replace("\r\n", "\n"), result.stderr.replace("\r\n", "\n")

    status, out, _ = cli("--format", "csv", "solve", "--M1", "2", "--theta", "10")
    rows = list(csv.DictReader(io.StringIO(out)))
    fan = {k: float(v) for k, v in rows[0].items()} if status == 0 and rows else {}
    check(fan and (round(fan["M2"], 3), round(fan["p2_p1"], 3), round(fan["T2_T1"], 3)) == (2.385, 0.548, 0.842),
          f"velhorn-cli.exe solves M1 = 2, theta = 10 as the window does: {out.strip()[-80:]}")
    status, out, err = cli("--format", "json", "batch", stdin="M2,theta\n2.385,10\n2,abc\n")
    records = json.loads(out) if out.strip() else []
    check(status == 1 and [r["line"] for r in records] == [2] and "line 3" in err,
          f"velhorn-cli.exe reads a batch from standard input and names its bad line: {status}, {err.strip()}")
    status, _, err = cli("solve", "--M1", "2", "--theta", "150")
    check(status == 1 and "theta must be from -26.3798 up to but not including 104.074" in err,
          f"velhorn-cli.exe names the turning angles that have a solution: {err.strip()}")
    # A gas other than air: about one state in a hundred lies so near a midpoint between two
    # doubles that long double cannot tell which is nearer, and quad precision settles it.
    draw = random.Random(7)
    fans = "M1,theta\n" + "".join(f"{draw.uniform(1, 5):.6f},{draw.uniform(0, 30):.4f}\n" for _ in range(20000))
    shocks = "M1,theta\n" + "".join(f"{draw.uniform(1.5, 5):.6f},{draw.uniform(0, 20):.4f}\n" for _ in range(20000))
    for name, command, cases in (("fans", ["batch"], fans), ("shocks", ["shock", "--batch"], shocks)):
        argv = ["--gamma", "1.3", "--format", "csv", *command, "-"]
        _, out, _ = cli(*argv, stdin=cases)
        mine = subprocess.run([native, *argv], input=cases, capture_output=True, text=True).stdout
        differ = sum(a != b for a, b in zip(out.splitlines(), mine.splitlines()))
        check(out.count("\n") == mine.count("\n") > 19000 and differ == 0,
              f"velhorn-cli.exe gives this build's bytes for 20 000 {name} of gamma 1.3: {differ} lines differ")


class WineSession:
    """An X server with a window manager, and the exe under Wine in a scratch prefix."""

    def __init__(self, exe, scratch):
        self.processes = []
        start_x_session(self.spawn)
        self.env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run([WINE, "wineboot", "-i"], env=self.env, capture_output=True, timeout=120)
        self.program = self.spawn([WINE, exe], env=self.env, cwd=os.path.dirname(exe))

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True)
        stop(self.processes)


def window(title):
    return [w for w in xdotool("search", "--onlyvisible", "--name", f"^{title}$").split() if w]


def geometry(wid):
    values = dict(re.findall(r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", wid)))
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def main():
    source, native = sys.argv[1], sys.argv[2]
    script = os.path.join(source, "packaging", "windows", "build-windows.sh")
    cache = run(script, "--qt-prefix").stdout.strip()
    if not os.path.isdir(cache):
        print(f"skipped: no cross-built Qt at {cache}; packaging/windows/build-windows.sh makes it once")
        return SKIPPED
    built = run(script)
    if built.returncode != 0:
        print(built.stdout[-3000:], built.stderr[-3000:])
        return 1
    archive = built.stdout.strip().splitlines()[-1]
    with tempfile.TemporaryDirectory() as scratch:
        subprocess.run(["unzip", "-q", archive, "-d", scratch], check=True)
        folder = os.path.join(scratch, os.path.basename(archive)[:-len(".zip")])
        exe = os.path.join(folder, "Velhorn.exe")

        record = version_record(exe)
        check(record.get("FileVersion") == "1.00" and record.get("ProductVersion") == "1.00",
              f"file and product version 1.00: {record}")
        check(record.get("ProductName") == "Velhorn" and record.get("InternalName") == "Velhorn"
              and record.get("OriginalFileName") == "Velhorn.exe", "product, internal and original file names")
        images = icon_images(exe, scratch)
        check(sorted(images) == sorted(["32x32 4-bit", "16x16 4-bit", "32x32 1-bit"]),
              f"one icon in three images, 32 and 16 px in 16 colours and 32 px black and white: {images}")

        command_line(folder, scratch, native)

        session = WineSession(exe, scratch)
        try:
            main_window = wait_for(lambda: window("Velhorn"), "the main window", timeout=60)[0]
            time.sleep(1)
            width, height = geometry(main_window)[2:]
            menu = height - CLIENT[1]
            check(width == CLIENT[0] and 0 < menu < 40, f"client area {CLIENT[0]} x {CLIENT[1]} below the menu: {width} x {height}")
            # Wine's window position is its own; the chart's light yellow says where the client is.
            shown = screenshot()
            yellow = wait_for(lambda: next(((x, y) for y in range(0, 768, 2) for x in range(0, 1024, 2)
                                            if shown(x, y) == LIGHT_YELLOW), None), "the chart")
            while shown(yellow[0] - 1, yellow[1]) == LIGHT_YELLOW:
                yellow = (yellow[0] - 1, yellow[1])
            while shown(yellow[0], yellow[1] - 1) == LIGHT_YELLOW:
                yellow = (yellow[0], yellow[1] - 1)
            border = 2
            client = (yellow[0] - CONTROLS["Picture1"][0] - border, yellow[1] - CONTROLS["Picture1"][1] - border)

            def click(control):
                left, top, w, h, frame = CONTROLS[control]
                fx, fy = FRAMES[frame] if frame else (0, 0)
                xdotool("mousemove", client[0] + fx + left + w // 2, client[1] + fy + top + h // 2, "click", 1)
                time.sleep(0.3)

            click("Option_M2")
            for control, text in (("Text_M1", "2"), ("Text_Teta", "10")):
                click(control)
                xdotool("type", "--delay", 30, text)
            click("Command1")
            time.sleep(1)
            shots = os.environ.get("VELHORN_SHOTS", scratch)
            subprocess.run(["import", "-window", "root", os.path.join(shots, "wine-press.png")])
            pixel = screenshot()
            px, py, pw, ph = CONTROLS["Picture1"][:4]
            cx, cy, cw, ch = client[0] + px + 2, client[1] + py + 2, pw - 4, ph - 4

            def ink(M, nu, colour):
                sx, sy = cx + int((M - 0.5) / 5 * cw), cy + int((-nu + 80) / 85 * ch)
                return any(pixel(sx + dx, sy + dy) == colour for dx in (-1, 0, 1) for dy in (-1, 0, 1))

            check(ink(1, 40, BLACK) and ink(3, 0, BLACK), "the press drew the chart's axes")
            check(ink(1.5, 26.38, RED) and ink(2, 13.19, RED), "M1 = 2 is marked in red where the mapping puts it")
            check(ink(1.69, 36.38, BLUE) and ink(2.385, 18.19, BLUE), "M2 = 2.385 is marked in blue")

            xdotool("mousemove", client[0] + 20, client[1] - menu // 2, "click", 1)
            check(wait_for(lambda: window("About"), "the About window", timeout=15) != [], "the About window opens")
            subprocess.run(["import", "-window", "root", os.path.join(shots, "wine-about.png")])

            for title in ("About", "Velhorn"):
                for wid in window(title):
                    xdotool("windowactivate", "--sync", wid)
                    xdotool("key", "alt+F4")
                    time.sleep(1)
            try:
                session.program.wait(timeout=20)
                ended = True
            except subprocess.TimeoutExpired:
                ended = False
            check(ended, "closing both windows ends the program")
        finally:
            session.close()
    return report()


if __name__ == "__main__":
    sys.exit(main())
