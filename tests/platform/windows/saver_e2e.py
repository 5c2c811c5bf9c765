#!/usr/bin/env python3
"""drevanti.scr as a user meets it: run under wine, each case on an X display of its own (Xvfb).

    saver_e2e.py --saver drevanti.scr --helpers DIR --prefix WINEPREFIX --shots DIR CASE

CASE is one of
    prepare              makes the wine prefix the other cases share
    fullscreen_scene     /s draws the scene, covers the screen and hides the pointer
    fullscreen_stops     a key, a click and a one-pixel movement each end it, exit code 0
    two_monitors         /s covers both monitors, each with its own scene; one key ends both
    screensaver_setting  the screen-saver-active setting is given back as it was
    settings_form        /c shows the settings form; OK, Cancel and the close control end it
    preview              /p HWND draws inside a host window, ignores input, ends with the host
    dpi_scaling          at 125 %, 150 % and 200 % it covers the screen with the scene of the
                         logical screen at the scale; the form grows
    exit_at_once         /a and a preview without a window end at once
    measure              prints start-up time, time from input to exit and CPU use (no checks)

Screenshots (PNG) of every case go to --shots. The helpers (spi_tool, window_tool, preview_host)
run in the same wine session and look at the saver through the Windows API.
"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from e2e.pictures import BLACK, DARK  # noqa: E402
from e2e.processes import (Program, command_line_of, cpu_seconds, environment_of,  # noqa: E402
                           pids_where)
from e2e.report import check, log, main, shot_path, wait_for  # noqa: E402
from e2e.scene import (LAYOUT, MARKER_X, bar_row, ink_height, load_layout,  # noqa: E402
                       scene_problems, status_box, wait_for_scenes)
from e2e.screens import XServer  # noqa: E402

SCREEN_W, SCREEN_H = 1280, 720
SCREEN = (0, 0, SCREEN_W, SCREEN_H)
# Wine starts slowly on a new display: the first frame may take this long.
FIRST_FRAME_TIMEOUT = 15.0
# A key, a click or a movement ends the saver within this time.
STOP_TIMEOUT = 2.0
WINE = shutil.which("wine") or "/usr/lib/wine/wine64"


def wine_env(args):
    """The environment of a wine session in the test's prefix, without a display."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    return dict(env, WINEPREFIX=args.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")


def wine(env, *command, timeout=120):
    """Runs a wine program to its end (its output into a file, not a pipe: wine's background
    programs may hold a pipe open long after); its exit code and output."""
    program = Program([WINE, *command], env)
    code, _ = program.wait_end(timeout, " ".join(command))
    return code, program.output().strip()


def wineserver(env, *flags):
    for flag in flags:
        Program(["wineserver", flag], env).wait_end(60, "wineserver " + flag)


class Session(XServer):
    """An X display of its own with a wineserver of its own for that display. The screen may be
    divided into monitors, (x, y, width, height) each."""

    def __init__(self, args, size=(SCREEN_W, SCREEN_H), monitors=()):
        super().__init__(size=size, monitors=monitors)
        self.args = args

    def open(self):
        if self.monitors:
            # Wine then reads the monitors from Xinerama, which Xvfb fills in from RandR's
            # monitors. Its display driver reads this when the session starts, below.
            self.x11_driver_setting("add", "/d", "N")
        super().open()
        self.env.update(wine_env(self.args), DISPLAY=self.env["DISPLAY"])
        # A wineserver left from another display would draw there: start one for this display.
        wineserver(self.env, "-k", "-w", "-p")
        # The session's background programs, started before anything is timed.
        wine(self.env, "wineboot")
        log(f"display {self.env['DISPLAY']}")
        if not LAYOUT:
            load_layout([WINE, self.tool("window_tool"), "layout"], self.env)

    def close(self):
        wineserver(getattr(self, "env", wine_env(self.args)), "-k", "-w")
        super().close()
        if self.monitors:
            self.x11_driver_setting("delete")

    def x11_driver_setting(self, verb, *value):
        """Adds or deletes UseXRandR of wine's display driver, in a wine session of its own
        without a display, which is over (and has saved the registry) on return."""
        env = wine_env(self.args)
        wineserver(env, "-k", "-w")
        code, _ = wine(env, "reg", verb, "HKCU\\Software\\Wine\\X11 Driver", "/v", "UseXRandR",
                       *value, "/f")
        check(code == 0, f"reg {verb} UseXRandR failed ({code})")
        wineserver(env, "-w")

    def tool(self, name):
        return os.path.join(self.args.helpers, name + ".exe")

    def start_saver(self, *args):
        return self.start([WINE, self.args.saver, *args], self.env, "the saver")

    def helper(self, name, *args, ok=True):
        """Runs a helper program; its output, or None when it failed and ok is False. Just after
        a window comes or goes wine may have no foreground window to answer for: a helper whose
        answer is needed is asked again for up to a second."""
        for _ in range(5 if ok else 1):
            code, text = wine(self.env, self.tool(name), *args, timeout=60)
            if code == 0:
                return text
            time.sleep(0.2)
        check(not ok, f"{name} {' '.join(args)} failed ({code})")

    def set_dpi(self, dpi):
        """The desktop's text size for programs started from now on (None: the default, 96)."""
        key = "HKCU\\Control Panel\\Desktop"
        wine(self.env, "reg", *(["add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi)]
                                if dpi else ["delete", key, "/v", "LogPixels"]), "/f")

    def xdotool(self, *args):
        self.run(["xdotool", *args])

    def wait_for_scene(self, program, area=SCREEN, scale=1):
        """The first screenshot that shows the whole scene in the area, drawn at the scale, and
        the seconds it took."""
        return wait_for_scenes(self.screenshot, [area], program.alive,
                               f"no scene after {FIRST_FRAME_TIMEOUT:.0f} s", FIRST_FRAME_TIMEOUT,
                               scale)

    def wait_for_window(self, name, program):
        """The window's handle, client area on the screen and style, once it has a client area
        (wine may answer between the window's creation and its sizing)."""
        def sized():
            program.alive()
            found = (self.find(name) or "0 0 0 0 0 0").split()
            return "0" not in found[3:5] and [int(v) for v in found[:5]] + [int(found[5], 16)]

        return wait_for(sized, FIRST_FRAME_TIMEOUT, f"no {name} window with a client area", 0.2)

    def find(self, name):
        return self.helper("window_tool", "find", name, ok=False)


def prepare(args):
    """The shared prefix: made once, then set up for a display without a window manager and with
    a font for the Japanese captions."""
    env = wine_env(args)
    if not os.path.exists(os.path.join(args.prefix, "system.reg")):
        log(f"making the wine prefix {args.prefix}")
        check(wine(env, "wineboot", "--init", timeout=240)[0] == 0, "wineboot --init failed")
    settings = [
        # Without a window manager, wine manages its windows itself (no 2 s wait on destroy).
        ["HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N"],
        # The GUI font has no Japanese: link it to IPAGothic (fonts-ipafont-gothic).
        ["HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink",
         "/v", "Tahoma", "/t", "REG_MULTI_SZ", "/d", "ipag.ttf,IPAGothic\\0MSGOTHIC.TTC,MS UI Gothic"],
    ]
    for setting in settings:
        check(wine(env, "reg", "add", *setting, "/f")[0] == 0, f"reg add {setting[0]} failed")
    wineserver(env, "-w")


def fullscreen_scene(args):
    with Session(args) as s:
        check(s.helper("window_tool", "cursor") == "shown", "the pointer is hidden before start")
        saver = s.start_saver("/s")
        pic, seconds = s.wait_for_scene(saver)
        log(f"first full scene after {seconds:.2f} s")
        pic.save_png(shot_path("fullscreen_scene"))

        _, left, top, width, height, style = s.wait_for_window("main", saver)
        check((left, top, width, height) == SCREEN,
              f"the window does not cover the screen: {[left, top, width, height]}")
        check(style & 0x80000000, f"the window is not WS_POPUP (style {style:08x})")
        check(not style & 0x00C00000, f"the window has a title bar (style {style:08x})")
        check(s.helper("window_tool", "cursor") == "hidden", "the pointer shows while it runs")

        # Frames follow one another: a second screenshot a moment later differs, and still shows
        # the whole scene (no black frame between trees).
        time.sleep(2.5)
        later = s.screenshot()
        check(not scene_problems(later, SCREEN), f"a later frame: {scene_problems(later, SCREEN)}")
        check(later.rgb != pic.rgb, "the picture did not change in 2.5 s")

        s.xdotool("key", "a")
        saver.expect_end(STOP_TIMEOUT, "key")
        check(s.helper("window_tool", "cursor") == "shown", "the pointer stays hidden after exit")
        check(s.find("main") is None, "the window is left")
        check(s.screenshot().count(BLACK) == SCREEN_W * SCREEN_H, "the screen is not empty after exit")


def fullscreen_stops(args):
    # The argument does not matter: /s, none and an unknown one all run full screen.
    runs = [
        ("a key", ["/s"], ["key", "a"]),
        ("a modifier key alone", ["/S"], ["key", "shift"]),
        ("a click", ["/x"], ["click", "1"]),
        ("a one-pixel movement", [], ["mousemove", "401", "300"]),
    ]
    with Session(args) as s:
        for what, saver_args, act in runs:
            s.xdotool("mousemove", "400", "300")
            saver = s.start_saver(*saver_args)
            s.wait_for_scene(saver)
            # The pointer standing still ends nothing.
            saver.still_running_after(0.5, "the pointer standing still before " + what)
            s.xdotool(*act)
            saver.expect_end(STOP_TIMEOUT, what)


def two_monitors(args):
    """Every monitor covered, each with a scene of its own size; nothing of the desktop shows."""
    monitors = ((0, 0, 1280, 720), (1280, 0, 1024, 768))
    with Session(args, size=(2304, 768), monitors=monitors) as s:
        s.run(["xsetroot", "-solid", MARKER_X])
        saver = s.start_saver("/s")
        pic, seconds = wait_for_scenes(s.screenshot, monitors, saver.alive, "two monitors",
                                       FIRST_FRAME_TIMEOUT)
        log(f"both monitors drawn after {seconds:.2f} s")
        pic.save_png(shot_path("two_monitors"))
        check(s.helper("window_tool", "cursor") == "hidden", "the pointer shows")
        s.xdotool("key", "a")
        saver.expect_end(STOP_TIMEOUT, "a key, for both")


def screensaver_setting(args):
    with Session(args) as s:
        for before in ("0", "1"):
            s.helper("spi_tool", "set", before)
            check(s.helper("spi_tool", "get") == before, f"spi_tool cannot set {before}")
            saver = s.start_saver("/s")
            s.wait_for_scene(saver)
            check(s.helper("spi_tool", "get") == "1", "not switched on while running")
            s.xdotool("key", "space")
            saver.expect_end(STOP_TIMEOUT, "key")
            after = s.helper("spi_tool", "get")
            check(after == before, f"set to {before} before the run, {after} after it")
            log(f"screen-saver-active {before} before, {after} after")


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
    x, y, w, h = next(box for _, label, box, _ in EXPECTED_CONTROLS if label == text)
    s.xdotool("mousemove", str(found[1] + x + w // 2), str(found[2] + y + h // 2), "click", "1")


def settings_form(args):
    with Session(args) as s:
        form, found = open_settings(s, "/c")
        _, left, top, width, height, style = found
        check((width, height) == (340, 246), f"client area {width} x {height}")
        check(style & 0x00C00000 == 0x00C00000, f"no title bar (style {style:08x})")
        check(style & 0x00080000, f"no close control (style {style:08x})")
        check(not style & 0x00040000, f"the border is sizable (style {style:08x})")
        check(not style & 0x00030000, f"it has minimize or maximize boxes (style {style:08x})")
        controls = s.helper("window_tool", "controls", "settings").splitlines()
        check(controls == [f"{kind}|{text}|{' '.join(map(str, box))}|{tab}"
                           for kind, text, box, tab in EXPECTED_CONTROLS], f"controls: {controls}")
        pic = s.screenshot()
        pic.save_png(shot_path("settings_form"))
        # Something is written in each label and on each button.
        for _, text, (x, y, w, h), _ in EXPECTED_CONTROLS:
            check(pic.count(DARK, (left + x, top + y, w, h)) > 10, f"nothing written in {text}")

        # Tab moves between the two buttons only; Escape does nothing.
        check(s.helper("window_tool", "focus", "settings") == "OK", "OK has no focus at first")
        for focused in ("Cancel", "OK"):
            s.xdotool("key", "Tab")
            time.sleep(0.3)
            check(s.helper("window_tool", "focus", "settings") == focused, f"Tab misses {focused}")
        s.xdotool("key", "Escape")
        form.still_running_after(1.0, "Escape")

        check(s.helper("window_tool", "owner", "settings") == "0", "the form has an owner")
        click_control(s, found, "OK")
        form.expect_end(STOP_TIMEOUT, "OK")

        # /c:HWND, as the Screen Saver Settings page asks: the form belongs to that window.
        host, hwnd, _, _ = start_host(s, 320, 240)
        form, found = open_settings(s, f"/c:{hwnd}")
        owner = s.helper("window_tool", "owner", "settings")
        check(owner == str(hwnd), f"/c:{hwnd}: the form's owner is {owner}")
        s.helper("window_tool", "close", "settings")
        form.expect_end(STOP_TIMEOUT, "/c:HWND, owned by the host's window: WM_CLOSE")
        s.helper("window_tool", "close", "host")
        host.expect_end(10, "the host")

        ends = [
            ("Cancel", ["/c:1"], lambda found: click_control(s, found, "Cancel")),
            ("the close control", ["-C"], lambda found: s.xdotool(
                "mousemove", *s.helper("window_tool", "closebox", "settings").split(),
                "click", "1")),
            ("WM_CLOSE", ["/c"], lambda found: s.helper("window_tool", "close", "settings")),
            ("Enter on the focused button", ["/C"], lambda found: s.xdotool("key", "Return")),
        ]
        for what, saver_args, act in ends:
            form, found = open_settings(s, *saver_args)
            act(found)
            form.expect_end(STOP_TIMEOUT, what)


def start_host(s, width, height, *mode):
    host = s.start([WINE, s.tool("preview_host"), str(width), str(height), *mode], s.env,
                   "the preview host")
    hwnd, left, top, w, h = (int(v) for v in host.first_line(FIRST_FRAME_TIMEOUT).split())
    check((w, h) == (width, height), f"host client area {w} x {h}")
    return host, hwnd, left, top


def ignores_input(s, program, left, top):
    """Keys, clicks and movements over the preview do not end it, and the pointer stays."""
    s.xdotool("mousemove", str(left + 100), str(top + 100))
    s.xdotool("key", "a")
    s.xdotool("mousemove", str(left + 140), str(top + 120))
    s.xdotool("click", "1")
    program.still_running_after(1.5, "input to the preview")
    check(s.helper("window_tool", "cursor") == "shown", "the preview hides the pointer")


def wait_for_child(s, program, width, height):
    """The saver's window, filling the host's client area."""
    expected = f"DrevantiSaverWindow|シュタイナー問題|0 0 {width} {height}|0"
    start = time.monotonic()
    wait_for(lambda: program.alive() or expected in (
        s.helper("window_tool", "controls", "host", ok=False) or "").splitlines(),
        FIRST_FRAME_TIMEOUT, "no saver window filling the host", 0.2)
    log(f"preview window made after {time.monotonic() - start:.2f} s")


def preview(args):
    width, height = 480, 360
    with Session(args) as s:
        # The preview's drawing, in one program with its host (see preview_host.cpp).
        host, hwnd, left, top = start_host(s, width, height, "in-process")
        pic, seconds = s.wait_for_scene(host, (left, top, width, height))
        log(f"preview drawn after {seconds:.2f} s")
        pic.save_png(shot_path("preview"))
        outside = pic.count(BLACK, (left, top, width, height)) + SCREEN_W * SCREEN_H - \
            width * height - pic.count(BLACK)
        check(outside == 0, f"{outside} pixels drawn outside the host window")
        check(s.find("main") is None, "a top-level window")
        wait_for_child(s, host, width, height)
        ignores_input(s, host, left, top)
        s.helper("window_tool", "close", "host")
        host.expect_end(STOP_TIMEOUT, "closing the host window, the preview")

        # As the host protocol runs it: drevanti.scr /p HWND, a program of its own.
        host, hwnd, left, top = start_host(s, width, height)
        saver = s.start_saver("/p", str(hwnd))
        wait_for_child(s, saver, width, height)
        ignores_input(s, saver, left, top)
        s.helper("window_tool", "close", "host")
        saver.expect_end(STOP_TIMEOUT, "closing the host window, /p")
        host.expect_end(10, "the host")

        # The host's program ending takes its window along, and the preview with it.
        host, hwnd, left, top = start_host(s, 320, 240)
        saver = s.start_saver(f"/p:{hwnd}")
        wait_for_child(s, saver, 320, 240)
        host.process.kill()
        saver.expect_end(STOP_TIMEOUT, "killing the host program, /p")


def dpi_scaling(args):
    """At 125 %, 150 % and 200 % the saver still covers every physical pixel, with the scene of
    the logical screen (the physical size over the scale) drawn at the scale, and the settings
    form grows with the text size."""
    expected = {120: ((425, 308), (150, 240, 91, 31)), 144: ((510, 369), (180, 288, 110, 38)),
                192: None}
    with Session(args) as s:
        try:
            for dpi, form_expected in sorted(expected.items()):
                s.set_dpi(dpi)
                saver = s.start_saver("/s")
                shot, _ = s.wait_for_scene(saver, scale=dpi / 96)
                shot.save_png(shot_path(f"scene_{dpi}_dpi"))
                bar_x, bar_y, length, thick = bar_row(SCREEN, dpi / 96)
                log(f"{dpi} DPI: scale {dpi / 96:g}, logical {round(SCREEN_W * 96 / dpi)}x"
                    f"{round(SCREEN_H * 96 / dpi)}; the bar on columns {bar_x}.."
                    f"{bar_x + length - 1}, rows {bar_y}..{bar_y + thick - 1}; the status text "
                    f"{ink_height(shot, status_box(SCREEN, dpi / 96), dpi / 96)} pixels high")
                found = s.wait_for_window("main", saver)
                check(tuple(found[1:5]) == SCREEN, f"at {dpi} DPI the window covers {found[1:5]}")
                check(s.helper("window_tool", "awareness", "main") == "per-monitor",
                      "the saver is not per-monitor DPI aware")
                s.xdotool("key", "a")
                saver.expect_end(STOP_TIMEOUT, f"{dpi} DPI: key")
                if not form_expected:
                    continue
                client, ok_box = form_expected
                form, found = open_settings(s, "/c")
                check(tuple(found[3:5]) == client, f"at {dpi} DPI the form's client is {found[3:5]}")
                first = s.helper("window_tool", "controls", "settings").splitlines()[0]
                check(first == "Button|OK|%d %d %d %d|1" % ok_box, f"at {dpi} DPI: {first}")
                s.screenshot().save_png(shot_path(f"settings_form_{dpi}_dpi"))
                s.helper("window_tool", "close", "settings")
                form.expect_end(STOP_TIMEOUT, f"{dpi} DPI: full screen {SCREEN_W} x {SCREEN_H}, "
                                f"form {client[0]} x {client[1]}; WM_CLOSE")
        finally:
            s.set_dpi(None)


def exit_at_once(args):
    with Session(args) as s:
        for saver_args in (["/a"], ["-A", "12"], ["/p"], ["/p", "123456"]):
            s.start_saver(*saver_args).expect_end(10, " ".join(saver_args))
        check(s.screenshot().count(BLACK) == SCREEN_W * SCREEN_H, "something was drawn")


def measure(args):
    """Figures for the record, not checks."""
    with Session(args) as s:
        for run in range(1, 4):
            s.xdotool("mousemove", "400", "300")
            saver = s.start_saver("/s")
            log(f"run {run}: start to first full scene {s.wait_for_scene(saver)[1]:.2f} s")
            time.sleep(1)
            s.xdotool("key", "a")
            saver.expect_end(10, f"run {run}: key")
        saver = s.start_saver("/s")
        s.wait_for_scene(saver)
        # The wineserver of this prefix (others may run for other prefixes).
        wineserver_pid, = pids_where(
            lambda pid: os.path.basename(command_line_of(pid)[0]).startswith("wineserver") and
            environment_of(pid).get("WINEPREFIX") == args.prefix)
        pids = {"saver": saver.pid, "wineserver": wineserver_pid}
        before, start = {k: cpu_seconds(p) for k, p in pids.items()}, time.monotonic()
        time.sleep(30)
        log(f"CPU over {time.monotonic() - start:.0f} s: " + ", ".join(
            f"{k} {100 * (cpu_seconds(p) - before[k]) / (time.monotonic() - start):.1f} % of one core"
            for k, p in pids.items()))
        s.xdotool("key", "a")
        saver.expect_end(10, "key")


if __name__ == "__main__":
    main({f.__name__: f for f in (prepare, fullscreen_scene, fullscreen_stops, two_monitors,
                                  screensaver_setting, settings_form, preview, dpi_scaling,
                                  exit_at_once, measure)},
         "--saver", "--helpers", "--prefix", "--shots")
