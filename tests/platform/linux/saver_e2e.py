#!/usr/bin/env python3
"""End-to-end tests of the drevanti program as a person meets it, each on a private X server.

Every case starts its own Xvfb (the server picks a free display number and reports it through
-displayfd, so parallel tests never share a display), runs the real binary there, drives it with
xdotool and a small Xlib probe, and reads the screen with ImageMagick's import. Screenshots are
kept as PNG files in the --shots folder.

usage: saver_e2e.py CASE --saver BIN --probe BIN --shots DIR [--wakeup-check BIN]
"""

import argparse
import json
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SCREEN_W, SCREEN_H = 1280, 720
SAVER_TITLE = "シュタイナー問題"
FORM_TITLE = "シュタイナー問題設定画面"
FORM_W, FORM_H = 340, 246
# The scene's layout, as the saver's own code has it (x11_probe layout; see load_layout).
LAYOUT = None
# The status label and the scale bar on the test screen, in pixels.
LABEL = BAR_Y = BAR_X0 = BAR_X1 = None
# How long a stop may take, from the input to the end of the process.
STOP_LIMIT = 1.0
# How long the saver may take to show its first frame.
START_LIMIT = 10.0
# Where a failing case leaves its last screenshot.
FAILURE_SHOT = None


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- Pictures ------------------------------------------------------------------------------------


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def positions(self, predicate, box=None, needle=None):
        """(x, y) of the pixels inside box (x, y, w, h; default the whole image) for which
        predicate holds. Rows whose bytes do not contain needle are skipped unread."""
        x0, y0, w, h = box or (0, 0, self.width, self.height)
        found = []
        for y in range(max(y0, 0), min(y0 + h, self.height)):
            row = self.rgb[3 * (y * self.width + x0):3 * (y * self.width + x0 + w)]
            if needle is not None and needle not in row:
                continue
            for i in range(0, len(row), 3):
                if predicate(row[i], row[i + 1], row[i + 2]):
                    found.append((x0 + i // 3, y))
        return found

    def count(self, predicate, box=None, needle=None):
        return len(self.positions(predicate, box, needle))

    def count_black(self):
        blank = bytes(3 * self.width)
        total = 0
        for y in range(self.height):
            row = self.rgb[3 * y * self.width:3 * (y + 1) * self.width]
            total += self.width if row == blank else self.count(is_black, (0, y, self.width, 1))
        return total

    def save_png(self, path):
        raw = b"".join(b"\x00" + self.rgb[3 * y * self.width:3 * (y + 1) * self.width]
                       for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def parse_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    check(fields[0] == b"P6", "screenshot is not a binary PPM")
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    pixels = data[pos + 1:]
    if maxval > 255:  # two bytes a sample: keep the high ones
        pixels = pixels[0::2]
    return Image(width, height, bytes(pixels[:3 * width * height]))


YELLOW = b"\xff\xff\x00"


def is_black(r, g, b):
    return r == 0 and g == 0 and b == 0


def is_red(r, g, b):
    return r == 255 and g == 0 and b == 0


def is_yellow(r, g, b):
    return r == 255 and g == 255 and b == 0


def is_white(r, g, b):
    return r >= 200 and g >= 200 and b >= 200


def is_dark(r, g, b):
    return r < 80 and g < 80 and b < 80


# --- The X server and the programs on it ---------------------------------------------------------


class XServer:
    """A private Xvfb, optionally with the openbox window manager, of the given size and depth,
    optionally divided into monitors: (width, height, x, y) each."""

    def __init__(self, window_manager=False, size=(SCREEN_W, SCREEN_H), depth=24, monitors=()):
        self.window_manager = window_manager
        self.size, self.depth, self.monitors = size, depth, monitors
        self.processes = []

    def __enter__(self):
        try:
            return self._start()
        except BaseException:
            # __exit__ does not run when __enter__ fails: stop what did start.
            self.__exit__(None, None, None)
            raise

    def _start(self):
        read_end, write_end = os.pipe()
        server = subprocess.Popen(
            # -noreset: the many short-lived clients (xdotool, import, the probe) must not make
            # the server start over, refusing connections meanwhile, each time the last one leaves.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{self.size[0]}x{self.size[1]}x{self.depth}", "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(server)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            check(time.monotonic() < deadline and server.poll() is None, "Xvfb did not start")
            chunk = os.read(read_end, 16)
            check(chunk, "Xvfb closed its display pipe")
            number += chunk
        os.close(read_end)
        self.env = dict(os.environ)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.env.pop("WAYLAND_DISPLAY", None)
        for i, (w, h, x, y) in enumerate(self.monitors):
            # RandR 1.5 monitors; the first takes the screen's one output, the others none.
            self.run(["xrandr", "--setmonitor", f"DREVANTI-{i + 1}",
                      f"{w}/{w * 254 // 960}x{h}/{h * 254 // 960}+{x}+{y}",
                      "screen" if i == 0 else "none"])
        if self.window_manager:
            home = tempfile.mkdtemp(prefix="drevanti-wm-")
            wm_env = dict(self.env, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
            wm_log = tempfile.TemporaryFile()
            for attempt in range(3):
                wm = subprocess.Popen(["openbox"], env=wm_env, stdout=wm_log,
                                      stderr=subprocess.STDOUT)
                self.processes.append(wm)

                def managing():
                    check(wm.poll() is None, "openbox ended")
                    return "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(
                        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])

                try:
                    self.wait_for(managing, 10, "openbox did not start")
                    break
                except Failure:
                    if attempt == 2 or wm.poll() is None:
                        wm_log.seek(0)
                        raise Failure("openbox did not start: " +
                                      wm_log.read().decode(errors="replace"))
        return self

    def __exit__(self, kind, value, traceback):
        if kind is Failure and FAILURE_SHOT:
            # What the screen showed when the case failed, and which windows there were.
            try:
                self.screenshot().save_png(FAILURE_SHOT)
                print(self.run(["xwininfo", "-root", "-tree"], check_status=False),
                      file=sys.stderr)
            except Exception as error:  # the failure itself matters more
                print(f"no failure screenshot: {error}", file=sys.stderr)
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def run(self, command, check_status=True):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=20)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.strip()}")
        return result.stdout

    def wait_for(self, condition, seconds, message):
        deadline = time.monotonic() + seconds
        while True:
            value = condition()
            if value:
                return value
            check(time.monotonic() < deadline, message)
            time.sleep(0.1)

    def top_windows(self):
        """The ids of the root window's children."""
        listing = self.run(["xwininfo", "-root", "-children"])
        return {line.split()[0] for line in listing.splitlines() if line.strip().startswith("0x")}

    def bus_traces(self):
        """What a program that reached for a session bus leaves on this display, where none is
        named: libdbus launches one through the X server, leaving a window that holds its
        address and the bus's daemon."""
        traces = [f"window {w} holds a session bus's address" for w in sorted(self.top_windows())
                  if "_DBUS_SESSION_BUS_ADDRESS" in self.run(["xprop", "-id", w],
                                                             check_status=False)]
        daemons = subprocess.run(["pgrep", "-x", "dbus-daemon"], capture_output=True, text=True)
        for pid in daemons.stdout.split():
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    display = f"DISPLAY={self.env['DISPLAY']}".encode()
                    if display in environ.read().split(b"\0"):
                        traces.append(f"a session bus daemon (pid {pid}) runs for this display")
            except OSError:
                pass
        return traces

    def screenshot(self, box=None):
        """The screen, or the part of it in box (width, height, x, y)."""
        crop = ["-crop", "%dx%d+%d+%d" % box] if box else []
        data = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root",
                               *crop, "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=20, check=True).stdout
        return parse_ppm(data)


def program_env(env):
    """The environment for a program built from this project. In a sanitizer build the leaks
    reported at exit lie in libraries SDL loads (D-Bus, fontconfig's cache, X11 extensions it
    unloads again, so their frames cannot even be named): leak detection is off for it. Memory
    errors still abort; the unit tests check the backend's own code for leaks."""
    env = dict(env)
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


class Program:
    """drevanti running on the server, its output collected."""

    def __init__(self, server, command):
        self.log = tempfile.TemporaryFile()
        self.started = time.monotonic()
        self.process = subprocess.Popen(command, env=program_env(server.env), stdout=self.log,
                                        stderr=subprocess.STDOUT)

    def running(self):
        return self.process.poll() is None

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def wait_end(self, seconds):
        """Waits for the end; returns (exit code, seconds waited)."""
        start = time.monotonic()
        try:
            code = self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            raise Failure(f"still running {seconds} s later; output:\n{self.output()}")
        return code, time.monotonic() - start

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()


# --- The saver -----------------------------------------------------------------------------------


def start_saver(server, args, extra=()):
    """Starts the saver and waits until its first frame with a tree is on the screen."""
    saver = Program(server, [args.saver, *extra])

    def drawn():
        check(saver.running(), f"the saver ended by itself; output:\n{saver.output()}")
        shot = server.screenshot()
        bar = shot.count(is_red, (BAR_X0, BAR_Y, BAR_X1 - BAR_X0 + 1, 1))
        if bar == BAR_X1 - BAR_X0 + 1 and shot.count(is_yellow, needle=YELLOW) > 0:
            return shot
        return None

    shot = server.wait_for(drawn, START_LIMIT, "no scene with a tree on the screen")
    return saver, shot


def saver_window(server, args):
    found = server.run([args.probe, "find", SAVER_TITLE], check_status=False).split()
    check(len(found) == 5, f"no window titled {SAVER_TITLE}")
    return found[0], [int(v) for v in found[1:]]


def expect_stop(saver, action):
    code, seconds = saver.wait_end(STOP_LIMIT)
    check(code == 0, f"{action}: exit code {code}; output:\n{saver.output()}")
    check(seconds <= STOP_LIMIT, f"{action}: ended {seconds:.2f} s after the input")
    print(f"{action}: exit 0 after {seconds * 1000:.0f} ms")


def case_scene(args):
    with XServer() as server:
        saver, shot = start_saver(server, args)
        try:
            shot.save_png(os.path.join(args.shots, "saver-scene.png"))
            window, (x, y, w, h) = saver_window(server, args)
            check((x, y, w, h) == (0, 0, SCREEN_W, SCREEN_H),
                  f"the window covers {w}x{h}+{x}+{y}, not the screen")
            # Black background: the tree's thin lines and small circles cover very little.
            black = shot.count_black()
            check(black > 0.97 * SCREEN_W * SCREEN_H, f"only {black} black pixels")
            for corner in [(SCREEN_W - 1, SCREEN_H - 1), (0, SCREEN_H - 1), (SCREEN_W - 1, 0)]:
                check(shot.pixel(*corner) == (0, 0, 0), f"corner {corner} is not black")
            # The red scale bar with its two ticks, and nothing red beyond its ends.
            tick = int(LAYOUT["tick"])
            for x in (BAR_X0, BAR_X1):
                check(shot.count(is_red, (x, BAR_Y - tick, 1, tick + 1)) == tick + 1,
                      f"no red tick at x={x}")
            check(not is_red(*shot.pixel(BAR_X0 - 1, BAR_Y)), "the bar starts left of W-200")
            check(not is_red(*shot.pixel(BAR_X1 + 1, BAR_Y)), "the bar runs past W-100")
            # "0" and "100" below the ticks.
            check(shot.count(is_white, (BAR_X0, BAR_Y + 1, 12, 16)) >= 5, "no '0' under the bar")
            check(shot.count(is_white, (BAR_X1, BAR_Y + 1, 30, 16)) >= 12, "no '100' under the bar")
            # Terminals: yellow outlines of radius 4, at least four of them, hollow.
            yellow = set(shot.positions(is_yellow, needle=YELLOW))
            check(len(yellow) >= 4 * 12,
                  f"only {len(yellow)} yellow pixels: fewer than four terminal circles")
            # A circle's middle row has its two ends 8 pixels apart and nothing yellow between.
            hollow = [(x + 4, y) for x, y in yellow
                      if (x + 8, y) in yellow and not any((x + d, y) in yellow for d in range(1, 8))]
            # (Edges drawn over the circles may cut a few middle rows.)
            check(len(hollow) >= 2, f"only {len(hollow)} hollow radius-4 circles")
            # Status text: white in the label's rectangle, which is opaque black elsewhere.
            text = shot.count(is_white, LABEL)
            check(text >= 100, f"only {text} white pixels in the status label")
            # Edges: white lines outside the label.
            edges = shot.count(is_white) - text
            check(edges >= 50, f"only {edges} white pixels outside the label: no edges")
            print(f"scene ok: window {window}, {len(yellow)} yellow, {text} label and {edges} other "
                  f"white pixels; first tree on screen {time.monotonic() - saver.started:.2f} s "
                  "after start (screenshot polling)")
            server.run(["xdotool", "key", "a"])
            expect_stop(saver, "key")
        finally:
            saver.stop()


def case_window_manager(args):
    """On a desktop with a window manager the saver still covers the whole screen, above
    everything, without decorations, and still ends on a key."""
    with XServer(window_manager=True) as server:
        saver, shot = start_saver(server, args)
        try:
            shot.save_png(os.path.join(args.shots, "saver-with-window-manager.png"))
            _, geometry = saver_window(server, args)
            check(geometry == [0, 0, SCREEN_W, SCREEN_H], f"the window is at {geometry}")
            check(shot.pixel(SCREEN_W - 1, SCREEN_H - 1) == (0, 0, 0), "a corner is not black")
            check(shot.count(is_white, LABEL) >= 100, "no status text at the top-left corner")
            state = server.run([args.probe, "cursor"])
            check(state.startswith("hidden"), f"pointer over the saver: {state.strip()}")
            server.run(["xdotool", "key", "a"])
            expect_stop(saver, "key")
        finally:
            saver.stop()


def case_ends_on(args, action):
    with XServer() as server:
        # An argument the saver does not know is ignored.
        saver, _ = start_saver(server, args, extra=["--anything"] if action == "click" else [])
        try:
            if action == "key":
                server.run(["xdotool", "key", "a"])
            elif action == "modifier key":
                server.run(["xdotool", "key", "shift"])
            elif action == "click":
                server.run(["xdotool", "click", "1"])
            elif action == "one-pixel move":
                server.run(["xdotool", "mousemove_relative", "--", "0", "1"])
            expect_stop(saver, action)
        finally:
            saver.stop()


def case_still_pointer(args):
    with XServer() as server:
        server.run(["xdotool", "mousemove", "640", "360"])
        saver, _ = start_saver(server, args)
        try:
            window, _ = saver_window(server, args)
            # Events at the position the pointer has had all along: the saver goes on.
            server.run(["xdotool", "mousemove", "640", "360"])
            server.run([args.probe, "motion", window, "640", "360"])
            time.sleep(1.0)
            check(saver.running(), f"a move to the same position ended it:\n{saver.output()}")
            # The same kind of event one pixel further on does end it.
            server.run([args.probe, "motion", window, "641", "360"])
            expect_stop(saver, "motion event one pixel away")
        finally:
            saver.stop()


def screen_saver_settings(server):
    lines = server.run(["xset", "q"]).splitlines()
    keep, section = [], None
    for line in lines:
        if line and not line.startswith(" "):
            section = line.split(":")[0]
        if section in ("Screen Saver", "DPMS (Energy Star)"):
            keep.append(line)
    check(any("timeout" in line for line in keep), "xset q shows no screen saver settings")
    return keep


def case_pointer_and_screen_saver(args):
    with XServer() as server:
        # Settings that differ from the server's defaults, so that giving back the defaults
        # instead of what was there would show.
        server.run(["xset", "s", "420", "60"])
        server.run(["xset", "s", "noblank"])
        before = screen_saver_settings(server)
        server.run(["xdotool", "mousemove", "300", "200"])
        check(server.run([args.probe, "cursor"]).startswith("visible"),
              "the pointer is not visible before the saver starts")
        saver, _ = start_saver(server, args)
        try:
            state = server.run([args.probe, "cursor"])
            check(state.startswith("hidden"), f"pointer over the saver: {state.strip()}")
            server.run(["xdotool", "key", "Escape"])
            expect_stop(saver, "key")
        finally:
            saver.stop()
        state = server.run([args.probe, "cursor"])
        check(state.startswith("visible"), f"pointer after the saver: {state.strip()}")
        after = screen_saver_settings(server)
        check(before == after, "screen saver settings changed:\n" + "\n".join(before) +
              "\n---\n" + "\n".join(after))
        print("pointer hidden while running, visible after; screen saver settings kept:")
        print("\n".join(before))


def case_no_display(args):
    """No display named, and one named that nobody answers: each said in so many words."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    for display, says in ((None, "neither DISPLAY nor WAYLAND_DISPLAY is set"),
                          (":9987", "no X server answers at DISPLAY=:9987")):
        if display:
            env["DISPLAY"] = display
        result = subprocess.run([args.saver], env=program_env(env), capture_output=True,
                                text=True, timeout=20)
        check(result.returncode != 0, "the saver claims success without a display")
        check(f"drevanti: cannot open the display: {says}" in result.stderr,
              f"unclear message: {result.stderr.strip()!r}")
        print(f"exit {result.returncode}: {result.stderr.strip()}")


# --- The settings form ---------------------------------------------------------------------------

# Client-area rectangles (x, y, w, h), from the form's twips at 15 twips per pixel.
OK_BUTTON = (120, 192, 73, 25)
CANCEL_BUTTON = (216, 192, 81, 25)
LABELS = {"lblComment": (104, 88, 169, 25), "lblSteiner": (56, 8, 185, 49),
          "lblName": (144, 136, 121, 33)}


def is_face(r, g, b):
    return 190 <= r <= 235 and 190 <= g <= 235 and 185 <= b <= 230


def start_form(server, args):
    form = Program(server, [args.saver, "--settings"])

    def shown():
        check(form.running(), f"the form ended by itself; output:\n{form.output()}")
        found = server.run([args.probe, "find", FORM_TITLE], check_status=False).split()
        return found if len(found) == 5 else None

    found = server.wait_for(shown, START_LIMIT, f"no window titled {FORM_TITLE}")
    window, origin = found[0], (int(found[1]), int(found[2]))
    check((int(found[3]), int(found[4])) == (FORM_W, FORM_H),
          f"client area {found[3]}x{found[4]}, not {FORM_W}x{FORM_H}")
    time.sleep(0.3)  # the first frame after mapping
    return form, window, origin


def on_screen(origin, box):
    return (origin[0] + box[0], origin[1] + box[1], box[2], box[3])


def centre(origin, box):
    return origin[0] + box[0] + box[2] // 2, origin[1] + box[1] + box[3] // 2


def focus_marked(shot, origin, button):
    """The focused button has a black outer frame; an unfocused one a white top-left edge."""
    x, y, w, _ = on_screen(origin, button)
    return shot.count(is_dark, (x + 2, y, w - 4, 1)) == w - 4


def case_form_look(args):
    with XServer(window_manager=True) as server:
        form, window, origin = start_form(server, args)
        try:
            shot = server.screenshot()
            shot.save_png(os.path.join(args.shots, "settings-form.png"))
            client = on_screen(origin, (0, 0, FORM_W, FORM_H))
            face = shot.count(is_face, client)
            check(face > 0.8 * FORM_W * FORM_H, f"only {face} pixels of the dialog's light face")
            for name, box in LABELS.items():
                ink = shot.count(is_dark, on_screen(origin, box))
                check(ink >= 20, f"{name}: only {ink} dark text pixels")
            for name, box in (("cmdOk", OK_BUTTON), ("cmdCancel", CANCEL_BUTTON)):
                x, y, w, h = on_screen(origin, box)
                check(shot.count(is_dark, (x + 2, y + h - 1, w - 4, 1)) == w - 4,
                      f"{name}: no dark lower edge")
                ink = shot.count(is_dark, (x + 4, y + 4, w - 8, h - 8))
                check(ink >= 10, f"{name}: no caption")
            # Fixed size: the window manager is told it can be neither smaller nor larger.
            hints = server.run(["xprop", "-id", window, "WM_NORMAL_HINTS"])
            for bound in ("minimum", "maximum"):
                check(f"program specified {bound} size: {FORM_W} by {FORM_H}" in hints,
                      f"no fixed {bound} size in the size hints:\n{hints}")
            check(focus_marked(shot, origin, OK_BUTTON), "OK, focused at first, is not marked")
            check(not focus_marked(shot, origin, CANCEL_BUTTON), "Cancel is marked too")
            # The title bar the window manager draws above the client area.
            title_bar = (origin[0], max(origin[1] - 18, 0), FORM_W, 14)
            check(shot.count(lambda r, g, b: not is_black(r, g, b), title_bar) > 0.8 * FORM_W * 14,
                  "no title bar above the form")
            # Tab gives Cancel the mark.
            server.run(["xdotool", "key", "Tab"])
            time.sleep(0.3)
            tabbed = server.screenshot()
            tabbed.save_png(os.path.join(args.shots, "settings-form-tab.png"))
            check(focus_marked(tabbed, origin, CANCEL_BUTTON), "Tab: Cancel is not marked")
            check(not focus_marked(tabbed, origin, OK_BUTTON), "Tab: OK is still marked")
            # Neither another key nor a click on a label ends it.
            server.run(["xdotool", "key", "x"])
            server.run(["xdotool", "mousemove", *map(str, centre(origin, LABELS["lblComment"])),
                        "click", "1"])
            time.sleep(0.5)
            check(form.running(), "a letter key or a label click closed the form")
            # Space presses the focused button.
            server.run(["xdotool", "key", "space"])
            expect_stop(form, "Space on the focused button")
        finally:
            form.stop()


def case_form_button(args, box, name):
    with XServer(window_manager=True) as server:
        form, _, origin = start_form(server, args)
        try:
            x, y = centre(origin, box)
            server.run(["xdotool", "mousemove", str(x), str(y), "click", "1"])
            expect_stop(form, f"click on {name}")
        finally:
            form.stop()


def case_form_close(args):
    with XServer(window_manager=True) as server:
        form, window, _ = start_form(server, args)
        try:
            server.run([args.probe, "close", window])
            expect_stop(form, "close request")
        finally:
            form.stop()


def case_late_wakeup(args):
    """SDL's wake-up message reaching a window that is already gone must not turn a clean exit
    into exit code 1; any other X error must stay fatal."""
    with XServer() as server:
        late = subprocess.run([args.wakeup_check, "send-event"], env=program_env(server.env),
                              capture_output=True, text=True, timeout=20)
        check(late.returncode == 0, f"a late wake-up ended the program with {late.returncode}: "
              f"{late.stderr.strip()}")
        other = subprocess.run([args.wakeup_check, "map-window"], env=program_env(server.env),
                               capture_output=True, text=True, timeout=20)
        check(other.returncode != 0 and "BadWindow" in other.stderr,
              f"another X error was swallowed: exit {other.returncode}, {other.stderr.strip()!r}")
        print("late wake-up: exit 0; another BadWindow: exit", other.returncode)


CASES = {
    "scene": case_scene,
    "window-manager": case_window_manager,
    "key": lambda a: case_ends_on(a, "key"),
    "modifier": lambda a: case_ends_on(a, "modifier key"),
    "click": lambda a: case_ends_on(a, "click"),
    "move": lambda a: case_ends_on(a, "one-pixel move"),
    "still-pointer": case_still_pointer,
    "pointer-and-screen-saver": case_pointer_and_screen_saver,
    "no-display": case_no_display,
    "form-look": case_form_look,
    "form-ok": lambda a: case_form_button(a, OK_BUTTON, "OK"),
    "form-cancel": lambda a: case_form_button(a, CANCEL_BUTTON, "Cancel"),
    "form-close": case_form_close,
    "late-wakeup": case_late_wakeup,
}


def load_layout(probe):
    """The scene's layout from the code that draws it, and where it puts things on the test
    screen."""
    global LAYOUT, LABEL, BAR_Y, BAR_X0, BAR_X1
    LAYOUT = json.loads(subprocess.run([probe, "layout"], capture_output=True, text=True,
                                       check=True).stdout)
    LABEL = tuple(LAYOUT["label"])
    BAR_Y = int(LAYOUT["bar_y"])
    BAR_X0, BAR_X1 = bar_ends(SCREEN_W)


def bar_ends(width):
    """The scale bar's left and right end on a screen of the given width."""
    right = width - int(LAYOUT["bar_right_margin"])
    return right - int(LAYOUT["bar_length"]), right


def main(cases):
    """Runs the case the command line names, from cases; the exit code."""
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(cases))
    parser.add_argument("--saver", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--wakeup-check")
    parser.add_argument("--runs", type=int, default=5, help="how often the Wayland cases start the saver")
    parser.add_argument("--usage-seconds", type=float, default=3.0,
                        help="how long the Wayland cases measure the saver's CPU share")
    args = parser.parse_args()
    args.saver = os.path.abspath(args.saver)
    os.makedirs(args.shots, exist_ok=True)
    load_layout(args.probe)
    global FAILURE_SHOT
    FAILURE_SHOT = os.path.join(args.shots, f"failed-{args.case}.png")
    try:
        cases[args.case](args)
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        print(f"(screen at the failure: {FAILURE_SHOT})", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(CASES))
