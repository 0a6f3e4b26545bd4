#!/usr/bin/python3
"""Drives the built calculator in a real X session from outside, as a person would: mouse
clicks and typing through xdotool, what is shown read from screenshots and from the
accessibility tree. Usage: real_window_test.py path/to/velhorn"""

import os
import re
import subprocess
import sys
import tempfile
import time

LIGHT_YELLOW = (255, 255, 192)
BLACK = (0, 0, 0)
RED = (255, 0, 0)
BLUE = (0, 0, 255)
GREY = (200, 200, 200)

# Where controls stand in the window's client area, in pixels (twips / 15).
CONTROLS = {
    "Option_M1": (8, 16, 57, 21, "Frame4"), "Text_M1": (72, 16, 41, 19, "Frame4"),
    "Option_Teta": (8, 48, 57, 17, "Frame4"), "Text_Teta": (72, 48, 41, 19, "Frame4"),
    "Option_M2": (8, 80, 49, 17, "Frame4"), "Text_M2": (72, 80, 41, 19, "Frame4"),
    "Command1": (16, 136, 129, 33, None), "Picture1": (160, 8, 225, 289, None),
}
FRAMES = {"Frame4": (16, 16), "Frame2": (16, 168)}
CHART_BORDER = 2
CLIENT_HEIGHT = 316

failures = []
passes = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    (passes if condition else failures).append(what)


class Session:
    """An X server with a window manager, an accessibility bus, and the program."""

    def __init__(self, program):
        self.processes = []
        start_x_session(self.spawn)
        bus = subprocess.run(["dbus-launch", "--sh-syntax"], capture_output=True, text=True, check=True).stdout
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = re.search(r"DBUS_SESSION_BUS_ADDRESS='([^']*)'", bus).group(1)
        self.bus_pid = int(re.search(r"DBUS_SESSION_BUS_PID=(\d+)", bus).group(1))
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        time.sleep(1)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8")
        self.program = self.spawn([program], env=env)

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        stop(self.processes)
        os.kill(self.bus_pid, 9)


def start_x_session(spawn):
    """An X server on a free display, with a window manager; DISPLAY names it."""
    number = next(n for n in range(90, 200) if not os.path.exists(f"/tmp/.X{n}-lock"))
    os.environ["DISPLAY"] = f":{number}"
    spawn(["Xvfb", os.environ["DISPLAY"], "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"])
    wait_for(lambda: subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True).returncode == 0,
             "the X server")
    spawn(["openbox"])


def stop(processes):
    # Politely, so the X server removes its socket and lock for whoever comes next.
    for process in reversed(processes):
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def report():
    print(f"{len(passes)} passed, {len(failures)} failed")
    return 1 if failures else 0


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout.strip()


def wait_for(predicate, what, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit("timed out waiting for " + what)


# --- the accessibility tree -------------------------------------------------------------------

def atspi():
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    return Atspi


def application():
    Atspi = atspi()
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Velhorn":
            return app
    return None


def walk(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def text_of(node):
    Atspi = atspi()
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def box_text(quantity):
    for node in walk(application()):
        if node.get_role_name() == "text" and node.get_name() == quantity:
            return text_of(node)
    return None


def windows(title):
    return [node for node in (application().get_child_at_index(i) for i in range(application().get_child_count()))
            if node is not None and node.get_name() == title and node.get_state_set().contains(atspi().StateType.SHOWING)]


def message_texts():
    """The texts of the message boxes on screen."""
    texts = []
    for window in windows("Velhorn"):
        if window.get_role_name() in ("dialog", "alert"):
            texts += [n.get_name() for n in walk(window) if n.get_role_name() == "label" and n.get_name()]
    return texts


def screen_rect(name):
    Atspi = atspi()
    for node in walk(application()):
        if node.get_name() == name:
            e = node.get_extents(Atspi.CoordType.SCREEN)
            return e.x, e.y, e.width, e.height
    return None


# --- the screen -------------------------------------------------------------------------------

def screenshot():
    png = tempfile.mktemp(suffix=".png")
    subprocess.run(["import", "-window", "root", png], check=True)
    ppm = subprocess.run(["convert", png, "ppm:-"], capture_output=True, check=True).stdout
    os.unlink(png)
    match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    width = int(match.group(1))
    data = ppm[match.end():]
    return lambda x, y: tuple(data[3 * (y * width + x):3 * (y * width + x) + 3])


class Window:
    def __init__(self):
        self.id = wait_for(self.find, "the main window")
        wait_for(lambda: application() and screen_rect("Chart of Nu against M"), "the accessibility tree")
        x, y, w, h = screen_rect("Chart of Nu against M")
        # The client area's corner, found from where the chart stands in it.
        self.client = (x - CONTROLS["Picture1"][0], y - CONTROLS["Picture1"][1])
        self.chart = (x + CHART_BORDER, y + CHART_BORDER, w - 2 * CHART_BORDER, h - 2 * CHART_BORDER)

    def menu_height(self):
        height = int(re.search(r"HEIGHT=(\d+)", xdotool("getwindowgeometry", "--shell", self.id)).group(1))
        return height - CLIENT_HEIGHT

    @staticmethod
    def find():
        for wid in xdotool("search", "--onlyvisible", "--name", "^Velhorn$").split():
            if xdotool("getwindowgeometry", "--shell", wid).find("WIDTH=407") >= 0:
                return wid
        return None

    def centre(self, control):
        left, top, width, height, frame = CONTROLS[control]
        fx, fy = FRAMES[frame] if frame else (0, 0)
        return self.client[0] + fx + left + width // 2, self.client[1] + fy + top + height // 2

    def click(self, control):
        xdotool("mousemove", *self.centre(control), "click", 1)
        time.sleep(0.25)

    def type_into(self, control, text):
        self.click(control)
        xdotool("key", "ctrl+a", "BackSpace")
        xdotool("type", "--delay", 20, text)

    def chart_pixel(self, pixel, M, nu):
        x, y, w, h = self.chart
        return pixel(x + int((M - 0.5) / 5 * w), y + int((-nu + 80) / 85 * h))

    def ink_near(self, pixel, M, nu, colour):
        x, y, w, h = self.chart
        px, py = x + int((M - 0.5) / 5 * w), y + int((-nu + 80) / 85 * h)
        return any(pixel(px + dx, py + dy) == colour for dx in (-1, 0, 1) for dy in (-1, 0, 1))

    def chart_is_blank(self, pixel):
        x, y, w, h = self.chart
        return all(pixel(x + i, y + j) == LIGHT_YELLOW for i in range(0, w, 4) for j in range(0, h, 4))


def window_icons(wid):
    """The images of the window's icon as the window manager reads them: (size, ARGB pixels)."""
    out = subprocess.run(["xprop", "-id", wid, "-notype", "32c", "_NET_WM_ICON"], capture_output=True, text=True).stdout
    values = [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()] if "=" in out else []
    icons = []
    while len(values) >= 2:
        width, height = values[0], values[1]
        icons.append(((width, height), values[2:2 + width * height]))
        values = values[2 + width * height:]
    return icons


def in_colour(pixels):
    return any(p >> 24 and len({(p >> 16) & 255, (p >> 8) & 255, p & 255}) > 1 for p in pixels)


def chart_settles_to(win, expected, timeout=5):
    """Whether the chart area comes to look as it did in `expected` within the timeout."""
    x, y, w, h = win.chart
    deadline = time.time() + timeout
    while time.time() < deadline:
        pixel = screenshot()
        if all(pixel(x + i, y + j) == expected(x + i, y + j) for i in range(0, w, 2) for j in range(0, h, 2)):
            return True
        time.sleep(0.2)
    return False


def press_ok():
    xdotool("key", "Return")
    time.sleep(0.3)


def calculate(win, option, inputs):
    win.click(option)
    for control, text in inputs:
        win.type_into(control, text)
    win.click("Command1")
    time.sleep(0.3)


def main():
    session = Session(sys.argv[1])
    try:
        win = Window()
        check(win.chart_is_blank(screenshot()), "at start the chart is plain light yellow")
        icons = window_icons(win.id)
        check(sorted(size for size, _ in icons) == [(16, 16), (32, 32)] and all(in_colour(p) for _, p in icons),
              "the window icon has one colour image at 16 and one at 32 px: " + str([size for size, _ in icons]))

        win.click("Command1")
        wait_for(message_texts, "the no-option message", timeout=5)
        check(message_texts() == ["Choose an output option"], "no option: 'Choose an output option'")
        press_ok()
        check(message_texts() == [], "OK closes the message box")
        check(win.chart_is_blank(screenshot()), "and the chart is still blank")

        win.click("Picture1")
        pixel = screenshot()
        check(all(win.ink_near(pixel, 1, nu, BLACK) for nu in (5, 40, 70)), "clicking the chart draws the nu axis")
        check(all(win.ink_near(pixel, M, 0, BLACK) for M in (1.5, 3, 4.5)), "and the M axis")
        check(all(win.ink_near(pixel, M, nu, RED) for M, nu in ((1.5, 11.905), (2, 26.38), (3, 49.757), (5, 76.92))),
              "and the red curve through its points")

        calculate(win, "Option_M2", [("Text_M1", "2"), ("Text_Teta", "10")])
        shown = {q: box_text(q) for q in ("M2", "Nu1", "Nu2", "p2/p1", "T2/T1")}
        check(shown == {"M2": "2.385", "Nu1": "26.38", "Nu2": "36.38", "p2/p1": "0.548", "T2/T1": "0.842"},
              "M2 mode, M1 = 2, Teta = 10: " + str(shown))
        pixel = screenshot()
        check(win.ink_near(pixel, 1.5, 26.38, RED) and win.ink_near(pixel, 2, 13.19, RED),
              "state 1 is marked in red")
        check(win.ink_near(pixel, 2.385, 18.19, BLUE) and win.ink_near(pixel, 1.69, 36.38, BLUE),
              "state 2 is marked in blue")
        x, y = win.centre("Text_M2")
        check(pixel(x + 12, y + 5) == GREY, "the output box is grey")
        marked = pixel

        # Another window covers the chart, then goes away: the chart is still whole.
        cx, cy, cw, ch = win.chart
        cover = subprocess.Popen(["display", "-geometry", f"{cw}x{ch}+{cx}+{cy}", "-size", f"{cw}x{ch}", "xc:gray40"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: screenshot()(cx + cw // 2, cy + ch // 2) != marked(cx + cw // 2, cy + ch // 2),
                 "the covering window")
        cover.kill()
        cover.wait()
        check(chart_settles_to(win, marked), "the chart and its markers survive being covered")

        # Minimised and restored, the window is shown again: the chart must come back whole.
        xdotool("windowminimize", "--sync", win.id)
        time.sleep(0.3)
        xdotool("windowactivate", "--sync", win.id)
        check(chart_settles_to(win, marked), "the chart and its markers survive minimising and restoring")
        # Resizing repaints every widget from scratch; nothing moves and the chart stays drawn.
        xdotool("windowsize", "--sync", win.id, 700, 500)
        check(chart_settles_to(win, marked), "enlarging the window moves nothing and keeps the chart and its markers")
        xdotool("windowsize", "--sync", win.id, 407, 316 + win.menu_height())
        time.sleep(0.5)

        calculate(win, "Option_M1", [("Text_M2", "3"), ("Text_Teta", "20")])
        shown = {q: box_text(q) for q in ("M1", "Nu1", "Nu2", "p2/p1", "T2/T1")}
        check(shown == {"M1": "2.125", "Nu1": "29.757", "Nu2": "49.757", "p2/p1": "0.259", "T2/T1": "0.68"},
              "M1 mode, M2 = 3, Teta = 20: " + str(shown))

        calculate(win, "Option_Teta", [("Text_M1", "1.5"), ("Text_M2", "2")])
        shown = {q: box_text(q) for q in ("Teta", "Nu1", "Nu2", "p2/p1", "T2/T1")}
        check(shown == {"Teta": "14.475", "Nu1": "11.905", "Nu2": "26.38", "p2/p1": "0.469", "T2/T1": "0.806"},
              "Teta mode, M1 = 1.5, M2 = 2: " + str(shown))

        win.click("Option_M2")
        for control, text in [("Text_M1", "0.5"), ("Text_Teta", "10")]:
            win.type_into(control, text)
        win.click("Command1")
        wait_for(message_texts, "the Mach message", timeout=5)
        check(message_texts() == ["M1 must be greater then 1"], "M1 = 0.5: 'M1 must be greater then 1'")
        press_ok()
        check(win.chart_is_blank(screenshot()) is False and box_text("Nu1") == "", "chart redrawn, boxes kept")

        for _ in range(2):
            xdotool("mousemove", win.client[0] + 20, win.client[1] - 8, "click", 1)
            time.sleep(0.5)
        check(len(windows("About")) == 1, "choosing About twice opens one About window")
        check(len(xdotool("search", "--onlyvisible", "--name", "^About$").split()) == 1,
              "and the window system sees one")
    finally:
        session.close()
    return report()


if __name__ == "__main__":
    sys.exit(main())
