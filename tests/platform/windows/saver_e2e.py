#!/usr/bin/env python3
"""drevanti.scr as a user meets it: run under wine, each case on an X display of its own (Xvfb).

    saver_e2e.py --saver drevanti.scr --helpers DIR --prefix WINEPREFIX --out DIR CASE

CASE is one of
    prepare              makes the wine prefix the other cases share
    fullscreen_scene     /s draws the scene, covers the screen and hides the pointer
    fullscreen_stops     a key, a click and a one-pixel movement each end it, exit code 0
    two_monitors         /s covers both monitors, each with its own scene; one key ends both
    screensaver_setting  the screen-saver-active setting is given back as it was
    settings_form        /c shows the settings form; OK, Cancel and the close control end it
    preview              /p HWND draws inside a host window, ignores input, ends with the host
    dpi_scaling          at 125 % and 150 % it still covers the screen; the form grows
    exit_at_once         /a and a preview without a window end at once
    measure              prints start-up time, time from input to exit and CPU use (no checks)

Screenshots (PNG) of every case go to --out. The helpers (spi_tool, window_tool, preview_host)
run in the same wine session and look at the saver through the Windows API.
"""

import argparse
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1280, 720
# Wine starts slowly on a new display: the first frame may take this long.
FIRST_FRAME_TIMEOUT = 15.0
# A key, a click or a movement ends the saver within this time.
STOP_TIMEOUT = 2.0

MAIN_TITLE = "シュタイナー問題"
SETTINGS_TITLE = "シュタイナー問題設定画面"


class CheckFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


# ---------------------------------------------------------------------------------------------
# Pictures


class Colour:
    """A box in RGB space: each channel within its (low, high) bounds."""

    def __init__(self, red, green, blue):
        self.bounds = (red, green, blue)
        # Per channel a table that turns a value into 1 inside the bounds and 0 outside.
        self.tables = [bytes(1 if low <= v <= high else 0 for v in range(256))
                       for low, high in self.bounds]

    def __call__(self, rgb):
        return all(low <= v <= high for v, (low, high) in zip(rgb, self.bounds))


RED = Colour((201, 255), (0, 59), (0, 59))
YELLOW = Colour((201, 255), (201, 255), (0, 79))
WHITE = Colour((171, 255), (171, 255), (171, 255))
BLACK = Colour((0, 0), (0, 0), (0, 0))
DARK = Colour((0, 99), (0, 99), (0, 99))


class Picture:
    """An RGB screenshot."""

    def __init__(self, ppm):
        # Binary PPM (P6): magic, width, height, maximum value, one blank, then the pixels.
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        check(fields[0] == b"P6" and fields[3] == b"255", "screenshot is not an 8-bit PPM")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[pos + 1:]
        self.channels = (self.pixels[0::3], self.pixels[1::3], self.pixels[2::3])
        self.ppm = ppm

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return (0, 0, 0)
        i = y * self.width + x
        return tuple(channel[i] for channel in self.channels)

    def count(self, left, top, right, bottom, colour):
        """Pixels of the colour in [left, right) x [top, bottom)."""
        left, right = max(left, 0), min(right, self.width)
        top, bottom = max(top, 0), min(bottom, self.height)
        if left >= right or top >= bottom:
            return 0
        hits = -1
        for channel, table in zip(self.channels, colour.tables):
            area = b"".join(channel[y * self.width + left:y * self.width + right]
                            for y in range(top, bottom))
            bits = int.from_bytes(area.translate(table), "big")
            hits = bits if hits < 0 else hits & bits
        return bin(hits).count("1")

    def area(self, left, top, right, bottom):
        return max(min(right, self.width) - max(left, 0), 0) * max(
            min(bottom, self.height) - max(top, 0), 0)

    def not_black(self, left, top, right, bottom):
        return self.area(left, top, right, bottom) - self.count(left, top, right, bottom, BLACK)


# The scene's layout, as the saver's own code has it (window_tool layout, read by Session).
LAYOUT = None


def scene_problems(pic, left, top, width, height):
    """What is missing from the saver's scene drawn in the area (left, top, width x height)."""
    problems = []
    bar_y, tick = int(LAYOUT["bar_y"]), int(LAYOUT["tick"])
    x1 = width - int(LAYOUT["bar_right_margin"])
    x0 = x1 - int(LAYOUT["bar_length"])
    bar = [pic.at(left + x, top + bar_y) for x in range(x0, x1 + 1)]
    if sum(1 for c in bar if RED(c)) < len(bar) - 6:
        problems.append("no red scale bar at y = %d from x = %d to %d" % (bar_y, x0, x1))
    ticks = [pic.at(left + x, top + y) for x in (x0, x1) for y in range(bar_y - tick, bar_y)]
    if sum(1 for c in ticks if RED(c)) < 2 * tick - 1:
        problems.append("no red end ticks on the scale bar")
    for x in (x0 - 1, x1 + 1):
        if RED(pic.at(left + x, top + bar_y)):
            problems.append("the scale bar reaches past its ends at x = %d" % x)
    # The texts "0" and "100" below the bar's ends.
    if pic.count(left + x0, top + bar_y + 1, left + x0 + 12, top + bar_y + 20, WHITE) < 4:
        problems.append('no "0" under the left end of the scale bar')
    if pic.count(left + x1, top + bar_y + 1, left + x1 + 24, top + bar_y + 20, WHITE) < 8:
        problems.append('no "100" under the right end of the scale bar')
    if pic.count(left, top, left + width, top + height, YELLOW) < 40:
        problems.append("no yellow terminal circles")
    lx, ly, lw, lh = LAYOUT["label"]
    if pic.count(left + lx, top + ly, left + lx + lw, top + ly + lh, WHITE) < 60:
        problems.append("no white status text in the label %s" % (LAYOUT["label"],))
    black = pic.count(left, top, left + width, top + height, BLACK)
    if black < 0.85 * width * height:
        problems.append("the background is not black (%d of %d pixels)" % (black, width * height))
    return problems


# ---------------------------------------------------------------------------------------------
# A wine session on an X display of its own


class Session:
    """Xvfb on a display number it picks itself, and a wineserver of its own for that display.
    The screen may be divided into monitors, (width, height, x, y) each."""

    def __init__(self, opts, size=(SCREEN_W, SCREEN_H), monitors=()):
        self.opts = opts
        self.size, self.monitors = size, monitors
        self.wine = shutil.which("wine") or "/usr/lib/wine/wine64"
        self.xvfb = None
        self.env = None
        self.display = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             # -noreset: monitors set with xrandr vanish when the server resets.
             "%dx%dx24" % self.size, "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                raise CheckFailed("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = wine_environment(self.opts.prefix)
        if self.monitors:
            # Wine then reads the monitors from Xinerama, which Xvfb fills in from RandR's
            # monitors. Its display driver reads this when the session starts, below.
            self.x11_driver_setting("add", "/d", "N")
        self.env["DISPLAY"] = self.display
        for i, (w, h, x, y) in enumerate(self.monitors):
            # RandR 1.5 monitors; the first takes the screen's one output, the others none.
            subprocess.run(["xrandr", "--setmonitor", "DREVANTI-%d" % (i + 1),
                            "%d/%dx%d/%d+%d+%d" % (w, w * 254 // 960, h, h * 254 // 960, x, y),
                            "screen" if i == 0 else "none"], env=self.env, check=True, timeout=30)
        # A wineserver left from another display would draw there: start one for this display.
        self.wineserver("-k")
        self.wineserver("-w")
        self.wineserver("-p")
        # The session's background programs, started before anything is timed.
        subprocess.run([self.wine, "wineboot"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120,
                       check=False)
        log("display %s" % self.display)
        global LAYOUT
        if LAYOUT is None:
            LAYOUT = json.loads(self.helper("window_tool", "layout"))
        return self

    def __exit__(self, *exc):
        self.wineserver("-k")
        self.wineserver("-w")
        self.xvfb.terminate()
        self.xvfb.wait()
        if self.monitors:
            self.env.pop("DISPLAY")
            self.x11_driver_setting("delete")
        return False

    def x11_driver_setting(self, verb, *value):
        """Adds or deletes UseXRandR of wine's display driver, in a wine session of its own
        without a display, which is over (and has saved the registry) on return."""
        self.wineserver("-k")
        self.wineserver("-w")
        subprocess.run([self.wine, "reg", verb, "HKCU\\Software\\Wine\\X11 Driver", "/v",
                        "UseXRandR", *value, "/f"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
        self.wineserver("-w")

    def wineserver(self, flag):
        subprocess.run(["wineserver", flag], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=False)

    def start(self, program, *args, **popen):
        return subprocess.Popen([self.wine, program, *args], env=self.env,
                                stdin=subprocess.DEVNULL,
                                stdout=popen.get("stdout", subprocess.DEVNULL),
                                stderr=subprocess.DEVNULL)

    def start_saver(self, *args):
        return self.start(self.opts.saver, *args)

    def helper(self, name, *args, ok=True):
        """Runs a helper program; its output, or None when it failed and ok is False."""
        # Into a file, not a pipe: wine's background programs may hold a pipe open long after.
        with tempfile.TemporaryFile() as output:
            done = subprocess.run(
                [self.wine, os.path.join(self.opts.helpers, name + ".exe"), *args], env=self.env,
                stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL, timeout=60,
                check=False)
            output.seek(0)
            text = output.read().decode("utf-8").strip()
        if done.returncode != 0:
            check(not ok, "%s %s failed (%d)" % (name, " ".join(args), done.returncode))
            return None
        return text

    def set_dpi(self, dpi):
        """The desktop's text size for programs started from now on (None: the default, 96)."""
        key = "HKCU\\Control Panel\\Desktop"
        command = (["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi)]
                   if dpi else ["reg", "delete", key, "/v", "LogPixels"])
        subprocess.run([self.wine, *command, "/f"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                       check=False)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def grab(self):
        shot = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                              capture_output=True, check=True, timeout=30)
        return Picture(shot.stdout)

    def save(self, pic, name):
        os.makedirs(self.opts.out, exist_ok=True)
        path = os.path.join(self.opts.out, name + ".png")
        subprocess.run(["convert", "ppm:-", path], input=pic.ppm, check=True, timeout=30)
        log("screenshot %s" % path)

    def wait_for_scene(self, process, left=0, top=0, width=SCREEN_W, height=SCREEN_H):
        """The first screenshot that shows the whole scene, and the seconds it took."""
        start = time.monotonic()
        problems = ["nothing seen"]
        while time.monotonic() - start < FIRST_FRAME_TIMEOUT:
            check(process.poll() is None, "the saver ended by itself (%s)" % process.poll())
            pic = self.grab()
            problems = scene_problems(pic, left, top, width, height)
            if not problems:
                return pic, time.monotonic() - start
            time.sleep(0.2)
        raise CheckFailed("no scene after %.0f s: %s" % (FIRST_FRAME_TIMEOUT, "; ".join(problems)))

    def wait_for_window(self, name, process, timeout=FIRST_FRAME_TIMEOUT):
        start = time.monotonic()
        while time.monotonic() - start < timeout:
            check(process.poll() is None, "the program ended by itself (%s)" % process.poll())
            found = self.helper("window_tool", "find", name, ok=False)
            if found:
                return [int(v) for v in found.split()[:5]] + [int(found.split()[5], 16)]
            time.sleep(0.2)
        raise CheckFailed("no %s window after %.0f s" % (name, timeout))


def wine_environment(prefix):
    env = dict(os.environ)
    env.pop("WAYLAND_DISPLAY", None)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def log(text):
    print(text, flush=True)


def ends_within(process, seconds, what):
    """Waits for the program to end; its exit code and the time it took."""
    start = time.monotonic()
    try:
        code = process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise CheckFailed("%s: still running %.1f s later" % (what, seconds))
    return code, time.monotonic() - start


def still_running_after(process, seconds, what):
    time.sleep(seconds)
    check(process.poll() is None, "%s: it ended (exit code %s)" % (what, process.poll()))


# ---------------------------------------------------------------------------------------------
# Cases


def prepare(opts):
    """The shared prefix: made once, then set up for a display without a window manager and with
    a font for the Japanese captions."""
    env = wine_environment(opts.prefix)
    env.pop("DISPLAY", None)
    wine = shutil.which("wine") or "/usr/lib/wine/wine64"
    if not os.path.exists(os.path.join(opts.prefix, "system.reg")):
        log("making the wine prefix %s" % opts.prefix)
        subprocess.run([wine, "wineboot", "--init"], env=env, check=True, timeout=240,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    settings = [
        # Without a window manager, wine manages its windows itself (no 2 s wait on destroy).
        ["HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N"],
        # The GUI font has no Japanese: link it to IPAGothic (fonts-ipafont-gothic).
        ["HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink",
         "/v", "Tahoma", "/t", "REG_MULTI_SZ", "/d", "ipag.ttf,IPAGothic\\0MSGOTHIC.TTC,MS UI Gothic"],
    ]
    for setting in settings:
        subprocess.run([wine, "reg", "add", *setting, "/f"], env=env, check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, timeout=120, check=False)


def fullscreen_scene(opts):
    with Session(opts) as s:
        check(s.helper("window_tool", "cursor") == "shown", "the pointer is hidden before start")
        saver = s.start_saver("/s")
        pic, seconds = s.wait_for_scene(saver)
        log("first full scene after %.2f s" % seconds)
        s.save(pic, "fullscreen_scene")

        hwnd, left, top, width, height, style = s.wait_for_window("main", saver)
        check((left, top, width, height) == (0, 0, SCREEN_W, SCREEN_H),
              "the window does not cover the screen: %s" % [left, top, width, height])
        check(style & 0x80000000, "the window is not WS_POPUP (style %08x)" % style)
        check(not style & 0x00C00000, "the window has a title bar (style %08x)" % style)
        check(s.helper("window_tool", "cursor") == "hidden", "the pointer shows while it runs")

        # Frames follow one another: a second screenshot a moment later differs, and still shows
        # the whole scene (no black frame between trees).
        time.sleep(2.5)
        later = s.grab()
        check(not scene_problems(later, 0, 0, SCREEN_W, SCREEN_H),
              "a later frame lacks: %s" % scene_problems(later, 0, 0, SCREEN_W, SCREEN_H))
        check(later.pixels != pic.pixels, "the picture did not change in 2.5 s")

        s.xdotool("key", "a")
        code, seconds = ends_within(saver, STOP_TIMEOUT, "key")
        check(code == 0, "exit code %d" % code)
        check(s.helper("window_tool", "cursor") == "shown", "the pointer stays hidden after exit")
        check(s.helper("window_tool", "find", "main", ok=False) is None, "the window is left")
        after = s.grab()
        check(after.not_black(0, 0, SCREEN_W, SCREEN_H) == 0,
              "the screen is not empty after exit")


def fullscreen_stops(opts):
    # The argument does not matter: /s, none and an unknown one all run full screen.
    runs = [
        ("a key", ["/s"], lambda s: s.xdotool("key", "a")),
        ("a modifier key alone", ["/S"], lambda s: s.xdotool("key", "shift")),
        ("a click", ["/x"], lambda s: s.xdotool("click", "1")),
        ("a one-pixel movement", [], lambda s: s.xdotool("mousemove", "401", "300")),
    ]
    with Session(opts) as s:
        for what, args, act in runs:
            s.xdotool("mousemove", "400", "300")
            saver = s.start_saver(*args)
            s.wait_for_scene(saver)
            # The pointer standing still ends nothing.
            still_running_after(saver, 0.5, "before " + what)
            started = time.monotonic()
            act(s)
            code, _ = ends_within(saver, STOP_TIMEOUT, what)
            seconds = time.monotonic() - started
            check(code == 0, "%s: exit code %d" % (what, code))
            log("%s ended it after %.2f s" % (what, seconds))


def two_monitors(opts):
    """Every monitor covered, each with a scene of its own size; nothing of the desktop shows."""
    monitors = ((1280, 720, 0, 0), (1024, 768, 1280, 0))
    with Session(opts, size=(2304, 768), monitors=monitors) as s:
        subprocess.run(["xsetroot", "-solid", "#ff00ff"], env=s.env, check=True, timeout=30)
        magenta = Colour((255, 255), (0, 0), (255, 255))
        saver = s.start_saver("/s")
        start = time.monotonic()
        problems = ["nothing seen"]
        while problems and time.monotonic() - start < FIRST_FRAME_TIMEOUT:
            check(saver.poll() is None, "the saver ended by itself (%s)" % saver.poll())
            pic = s.grab()
            problems = ["monitor %d: %s" % (i + 1, p) for i, (w, h, x, y) in enumerate(monitors)
                        for p in scene_problems(pic, x, y, w, h)]
            problems += ["monitor %d: the desktop shows" % (i + 1)
                         for i, (w, h, x, y) in enumerate(monitors)
                         if pic.count(x, y, x + w, y + h, magenta)]
            time.sleep(0.2)
        if problems:
            s.save(pic, "two_monitors_failed")
        check(not problems, "; ".join(problems))
        log("both monitors drawn after %.2f s" % (time.monotonic() - start))
        s.save(pic, "two_monitors")
        check(s.helper("window_tool", "cursor") == "hidden", "the pointer shows")
        s.xdotool("key", "a")
        code, seconds = ends_within(saver, STOP_TIMEOUT, "key")
        check(code == 0, "exit code %d" % code)
        log("a key ended both after %.2f s" % seconds)


def screensaver_setting(opts):
    with Session(opts) as s:
        for before in ("0", "1"):
            s.helper("spi_tool", "set", before)
            check(s.helper("spi_tool", "get") == before, "spi_tool cannot set %s" % before)
            saver = s.start_saver("/s")
            s.wait_for_scene(saver)
            check(s.helper("spi_tool", "get") == "1", "not switched on while running")
            s.xdotool("key", "space")
            code, _ = ends_within(saver, STOP_TIMEOUT, "key")
            check(code == 0, "exit code %d" % code)
            after = s.helper("spi_tool", "get")
            check(after == before, "set to %s before the run, %s after it" % (before, after))
            log("screen-saver-active %s before, %s after" % (before, after))


# The form's controls in tab order, in pixels at 96 DPI: the form's twips over 15.
EXPECTED_CONTROLS = [
    ("Button", "OK", (120, 192, 73, 25), 1),
    ("Button", "Cancel", (216, 192, 81, 25), 1),
    ("Static", "設定はありません。", (104, 88, 169, 25), 0),
    ("Static", "シュタイナー問題", (56, 8, 185, 49), 0),
    ("Static", "Drevanti team", (144, 136, 121, 33), 0),
]


def open_settings(s, *args):
    form = s.start_saver(*args)
    found = s.wait_for_window("settings", form)
    time.sleep(0.3)
    return form, found


def click_control(s, found, text):
    left, top = found[1], found[2]
    for _, label, (x, y, w, h), _ in EXPECTED_CONTROLS:
        if label == text:
            s.xdotool("mousemove", str(left + x + w // 2), str(top + y + h // 2), "click", "1")
            return
    raise CheckFailed("no control " + text)


def settings_form(opts):
    with Session(opts) as s:
        form, found = open_settings(s, "/c")
        _, left, top, width, height, style = found
        check((width, height) == (340, 246), "client area %d x %d" % (width, height))
        check(style & 0x00C00000 == 0x00C00000, "no title bar (style %08x)" % style)
        check(style & 0x00080000, "no close control (style %08x)" % style)
        check(not style & 0x00040000, "the border is sizable (style %08x)" % style)
        check(not style & 0x00030000, "it has minimize or maximize boxes (style %08x)" % style)
        controls = []
        for line in s.helper("window_tool", "controls", "settings").splitlines():
            kind, text, box, tabstop = line.split("|")
            controls.append((kind, text, tuple(int(v) for v in box.split()), int(tabstop)))
        check(controls == EXPECTED_CONTROLS, "controls: %s" % controls)
        pic = s.grab()
        s.save(pic, "settings_form")
        # Something is written in each label and on each button.
        for _, text, (x, y, w, h), _ in EXPECTED_CONTROLS:
            dark = pic.count(left + x, top + y, left + x + w, top + y + h, DARK)
            check(dark > 10, "nothing written in %s" % text)

        # Tab moves between the two buttons only; Escape does nothing.
        check(s.helper("window_tool", "focus", "settings") == "OK", "OK has no focus at first")
        s.xdotool("key", "Tab")
        time.sleep(0.3)
        check(s.helper("window_tool", "focus", "settings") == "Cancel", "Tab does not reach Cancel")
        s.xdotool("key", "Tab")
        time.sleep(0.3)
        check(s.helper("window_tool", "focus", "settings") == "OK", "Tab does not come back to OK")
        s.xdotool("key", "Escape")
        still_running_after(form, 1.0, "Escape")

        check(s.helper("window_tool", "owner", "settings") == "0", "the form has an owner")
        click_control(s, found, "OK")
        code, seconds = ends_within(form, STOP_TIMEOUT, "OK")
        check(code == 0, "OK: exit code %d" % code)
        log("OK ended it after %.2f s" % seconds)

        # /c:HWND, as the Screen Saver Settings page asks: the form belongs to that window.
        host, hwnd, _, _ = start_host(s, 320, 240)
        form, found = open_settings(s, "/c:%d" % hwnd)
        owner = s.helper("window_tool", "owner", "settings")
        check(owner == str(hwnd), "/c:%d: the form's owner is %s" % (hwnd, owner))
        s.helper("window_tool", "close", "settings")
        ends_within(form, STOP_TIMEOUT, "WM_CLOSE")
        s.helper("window_tool", "close", "host")
        host.wait(timeout=10)
        log("/c:HWND: the form is owned by the host's window")

        ends = [
            ("Cancel", ["/c:1"], lambda s, found: click_control(s, found, "Cancel")),
            ("the close control", ["-C"], lambda s, found: s.xdotool(
                "mousemove", *s.helper("window_tool", "closebox", "settings").split(),
                "click", "1")),
            ("WM_CLOSE", ["/c"], lambda s, found: s.helper("window_tool", "close", "settings")),
            ("Enter on the focused button", ["/C"], lambda s, found: s.xdotool("key", "Return")),
        ]
        for what, args, act in ends:
            form, found = open_settings(s, *args)
            act(s, found)
            code, seconds = ends_within(form, STOP_TIMEOUT, what)
            check(code == 0, "%s: exit code %d" % (what, code))
            log("%s ended it after %.2f s" % (what, seconds))


def start_host(s, width, height, *mode):
    host = s.start(os.path.join(s.opts.helpers, "preview_host.exe"), str(width), str(height),
                   *mode, stdout=subprocess.PIPE)
    ready, _, _ = select.select([host.stdout], [], [], FIRST_FRAME_TIMEOUT)
    check(ready, "the preview host shows no window")
    hwnd, left, top, w, h = (int(v) for v in host.stdout.readline().split())
    check((w, h) == (width, height), "host client area %d x %d" % (w, h))
    return host, hwnd, left, top


def ignores_input(s, process, left, top):
    """Keys, clicks and movements over the preview do not end it, and the pointer stays."""
    s.xdotool("mousemove", str(left + 100), str(top + 100))
    s.xdotool("key", "a")
    s.xdotool("mousemove", str(left + 140), str(top + 120))
    s.xdotool("click", "1")
    still_running_after(process, 1.5, "input to the preview")
    check(s.helper("window_tool", "cursor") == "shown", "the preview hides the pointer")


def wait_for_child(s, process, width, height):
    """The saver's window, filling the host's client area."""
    expected = "DrevantiSaverWindow|%s|0 0 %d %d|0" % (MAIN_TITLE, width, height)
    start = time.monotonic()
    while time.monotonic() - start < FIRST_FRAME_TIMEOUT:
        check(process.poll() is None, "the preview ended by itself (%s)" % process.poll())
        children = s.helper("window_tool", "controls", "host", ok=False) or ""
        if expected in children.splitlines():
            return time.monotonic() - start
        time.sleep(0.2)
    raise CheckFailed("no saver window filling the host: %r" % children)


def preview(opts):
    width, height = 480, 360
    with Session(opts) as s:
        # The preview's drawing, in one program with its host (see preview_host.cpp).
        host, hwnd, left, top = start_host(s, width, height, "in-process")
        pic, seconds = s.wait_for_scene(host, left, top, width, height)
        log("preview drawn after %.2f s" % seconds)
        s.save(pic, "preview")
        outside = pic.not_black(0, 0, SCREEN_W, SCREEN_H) - pic.not_black(
            left, top, left + width, top + height)
        check(outside == 0, "%d pixels drawn outside the host window" % outside)
        check(s.helper("window_tool", "find", "main", ok=False) is None, "a top-level window")
        wait_for_child(s, host, width, height)
        ignores_input(s, host, left, top)
        s.helper("window_tool", "close", "host")
        code, seconds = ends_within(host, STOP_TIMEOUT, "host window closed")
        check(code == 0, "exit code %d" % code)
        log("closing the host ended the preview after %.2f s" % seconds)

        # As the host protocol runs it: drevanti.scr /p HWND, a program of its own.
        host, hwnd, left, top = start_host(s, width, height)
        saver = s.start_saver("/p", str(hwnd))
        log("preview window made after %.2f s" % wait_for_child(s, saver, width, height))
        ignores_input(s, saver, left, top)
        s.helper("window_tool", "close", "host")
        code, seconds = ends_within(saver, STOP_TIMEOUT, "host window closed")
        check(code == 0, "exit code %d" % code)
        log("closing the host ended /p after %.2f s" % seconds)
        host.wait(timeout=10)

        # The host's program ending takes its window along, and the preview with it.
        host, hwnd, left, top = start_host(s, 320, 240)
        saver = s.start_saver("/p:%d" % hwnd)
        wait_for_child(s, saver, 320, 240)
        host.kill()
        host.wait()
        code, seconds = ends_within(saver, STOP_TIMEOUT, "host program killed")
        check(code == 0, "exit code %d" % code)
        log("killing the host ended /p after %.2f s" % seconds)


def dpi_scaling(opts):
    """At 125 % and 150 % the saver still covers every physical pixel, and the settings form
    grows with the text size."""
    expected = {120: ((425, 308), (150, 240, 91, 31)), 144: ((510, 369), (180, 288, 110, 38))}
    with Session(opts) as s:
        try:
            for dpi, (client, ok_box) in sorted(expected.items()):
                s.set_dpi(dpi)
                saver = s.start_saver("/s")
                pic, _ = s.wait_for_scene(saver)
                found = s.wait_for_window("main", saver)
                check(found[1:5] == [0, 0, SCREEN_W, SCREEN_H],
                      "at %d DPI the window covers %s" % (dpi, found[1:5]))
                check(s.helper("window_tool", "awareness", "main") == "per-monitor",
                      "the saver is not per-monitor DPI aware")
                s.xdotool("key", "a")
                ends_within(saver, STOP_TIMEOUT, "key")

                form, found = open_settings(s, "/c")
                check(tuple(found[3:5]) == client,
                      "at %d DPI the form's client area is %s" % (dpi, found[3:5]))
                first = s.helper("window_tool", "controls", "settings").splitlines()[0]
                check(first == "Button|OK|%d %d %d %d|1" % ok_box, "at %d DPI: %s" % (dpi, first))
                s.save(s.grab(), "settings_form_%d_dpi" % dpi)
                s.helper("window_tool", "close", "settings")
                ends_within(form, STOP_TIMEOUT, "WM_CLOSE")
                log("%d DPI: full screen %d x %d, form %d x %d" % ((dpi, SCREEN_W, SCREEN_H) + client))
        finally:
            s.set_dpi(None)


def exit_at_once(opts):
    with Session(opts) as s:
        for args in (["/a"], ["-A", "12"], ["/p"], ["/p", "123456"]):
            program = s.start_saver(*args)
            code, seconds = ends_within(program, 10, " ".join(args))
            check(code == 0, "%s: exit code %d" % (" ".join(args), code))
            log("%s ended after %.2f s" % (" ".join(args), seconds))
        pic = s.grab()
        check(pic.not_black(0, 0, SCREEN_W, SCREEN_H) == 0,
              "something was drawn")


def measure(opts):
    """Figures for the record, not checks."""
    def ticks(pid):
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime + stime

    def wineserver_pid():
        """The wineserver of this prefix (others may run for other prefixes)."""
        mark = ("WINEPREFIX=%s" % opts.prefix).encode()
        for entry in os.listdir("/proc"):
            try:
                with open("/proc/%s/comm" % entry) as comm:
                    if not comm.read().startswith("wineserver"):
                        continue
                with open("/proc/%s/environ" % entry, "rb") as environ:
                    if mark in environ.read().split(b"\0"):
                        return int(entry)
            except (OSError, ValueError):
                continue
        return None

    hz = os.sysconf("SC_CLK_TCK")
    with Session(opts) as s:
        for run in range(3):
            s.xdotool("mousemove", "400", "300")
            saver = s.start_saver("/s")
            _, seconds = s.wait_for_scene(saver)
            log("run %d: start to first full scene %.2f s" % (run + 1, seconds))
            time.sleep(1)
            started = time.monotonic()
            s.xdotool("key", "a")
            ends_within(saver, 10, "key")
            log("run %d: key to exit %.3f s" % (run + 1, time.monotonic() - started))
        saver = s.start_saver("/s")
        s.wait_for_scene(saver)
        server = wineserver_pid()
        with open("/proc/%d/comm" % saver.pid) as comm:
            log("saver process %d (%s), wineserver %s" % (saver.pid, comm.read().strip(), server))
        t0, c0 = time.monotonic(), ticks(saver.pid)
        s0 = ticks(server) if server else 0
        time.sleep(30)
        t1, c1 = time.monotonic(), ticks(saver.pid)
        s1 = ticks(server) if server else 0
        log("CPU over %.0f s: saver %.1f %% of one core, wineserver %.1f %%" % (
            t1 - t0, 100.0 * (c1 - c0) / hz / (t1 - t0), 100.0 * (s1 - s0) / hz / (t1 - t0)))
        s.xdotool("key", "a")
        ends_within(saver, 10, "key")


CASES = {f.__name__: f for f in (prepare, fullscreen_scene, fullscreen_stops, two_monitors,
                                 screensaver_setting,
                                 settings_form, preview, dpi_scaling, exit_at_once, measure)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--saver", required=True, help="drevanti.scr")
    parser.add_argument("--helpers", required=True, help="folder of the helper programs")
    parser.add_argument("--prefix", required=True, help="the wine prefix")
    parser.add_argument("--out", required=True, help="folder for screenshots")
    parser.add_argument("case", choices=sorted(CASES))
    opts = parser.parse_args()
    opts.saver = os.path.abspath(opts.saver)
    opts.prefix = os.path.abspath(opts.prefix)
    try:
        CASES[opts.case](opts)
    except CheckFailed as failure:
        print("FAILED: %s" % failure, flush=True)
        return 1
    print("%s: passed" % opts.case, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
