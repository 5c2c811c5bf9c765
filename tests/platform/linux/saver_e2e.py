#!/usr/bin/env python3
"""End-to-end tests of the drevanti program as a person meets it, each on a private X server:
the real binary, driven with xdotool and x11_probe and looked at with ImageMagick's import.
Screenshots are kept as PNG files in the --shots folder.

usage: saver_e2e.py CASE --saver BIN --probe BIN --shots DIR [--wakeup-check BIN]
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from e2e.pictures import BLACK, DARK, LIGHT, YELLOW, Colour  # noqa: E402
from e2e.processes import program_env, run  # noqa: E402
from e2e.report import check, log, main, shot_path, wait_for  # noqa: E402
from e2e.scene import (LAYOUT, bar_row, ink_height, load_layout, status_box,  # noqa: E402
                       wait_for_scenes)
from e2e.screens import XServer  # noqa: E402

SCREEN_W, SCREEN_H = 1280, 720
SAVER_TITLE = "シュタイナー問題"
FORM_TITLE = "シュタイナー問題設定画面"
FORM_W, FORM_H = 340, 246
# How long a stop may take, from the input to the end of the process.
STOP_LIMIT = 1.0
# How long the saver may take to show its first frame.
START_LIMIT = 10.0


def start_saver(server, args, extra=(), scale=1):
    """Starts the saver and waits until its first scene is on the screen."""
    saver = server.start([args.saver, *extra], what="the saver")
    shot, _ = wait_for_scenes(server.screenshot, [(0, 0, SCREEN_W, SCREEN_H)], saver.alive,
                              "no scene on the screen", START_LIMIT, scale)
    return saver, shot


def find(server, title):
    """The window of that title: its id and client area (x, y, width, height), or None."""
    found = server.run([server.probe, "find", title], check_status=False).split()
    return (found[0], tuple(int(v) for v in found[1:])) if len(found) == 5 else None


def case_scene(args):
    with XServer(probe=args.probe) as server:
        saver, shot = start_saver(server, args)
        shot.save_png(shot_path("saver-scene"))
        window, area = find(server, SAVER_TITLE)
        check(area == (0, 0, SCREEN_W, SCREEN_H), f"the window covers {area}, not the screen")
        # Black background: the tree's thin lines and small circles cover very little.
        black = shot.count(BLACK)
        check(black > 0.97 * SCREEN_W * SCREEN_H, f"only {black} black pixels")
        for corner in [(SCREEN_W - 1, SCREEN_H - 1), (0, SCREEN_H - 1), (SCREEN_W - 1, 0)]:
            check(shot.pixel(*corner) == (0, 0, 0), f"corner {corner} is not black")
        # Terminals: yellow outlines of radius 4, hollow: a circle's middle row has its two ends
        # 8 pixels apart and nothing yellow between (edges drawn over it may cut a few rows).
        yellow = set(shot.positions(YELLOW))
        hollow = [(x + 4, y) for x, y in yellow
                  if (x + 8, y) in yellow and not any((x + d, y) in yellow for d in range(1, 8))]
        check(len(hollow) >= 2, f"only {len(hollow)} hollow radius-4 circles")
        # Edges: white lines outside the status label.
        text = shot.count(LIGHT, LAYOUT["label"])
        edges = shot.count(LIGHT) - text
        check(edges >= 50, f"only {edges} white pixels outside the label: no edges")
        log(f"scene: window {window}, {len(yellow)} yellow, {text} label and {edges} other white "
            f"pixels; first tree on screen {time.monotonic() - saver.started:.2f} s after start "
            "(screenshot polling)")
        server.run(["xdotool", "key", "a"])
        saver.expect_end(STOP_LIMIT, "key")


def case_scaled(args):
    """With Xft.dpi: 192 in the display's resources the saver lays its instances out on the
    logical screen of half the size and draws them at two device pixels to each of the scene's;
    a new Xft.dpi while it runs is followed."""
    screen = (0, 0, SCREEN_W, SCREEN_H)
    with XServer(probe=args.probe) as server:
        server.merge_resources("Xft.dpi: 192\n")
        saver, shot = start_saver(server, args, scale=2)
        shot.save_png(shot_path("saver-scaled-2"))
        bar_x, bar_y, length, thick = bar_row(screen, 2)
        log(f"Xft.dpi 192: scale 2, logical {SCREEN_W // 2}x{SCREEN_H // 2}; the bar on device "
            f"columns {bar_x}..{bar_x + length - 1}, rows {bar_y}..{bar_y + thick - 1}; the status "
            f"text {ink_height(shot, status_box(screen, 2), 2)} pixels high")
        server.merge_resources("Xft.dpi: 96\n")
        shot, seconds = wait_for_scenes(server.screenshot, [screen], saver.alive,
                                        "after Xft.dpi went back to 96", START_LIMIT)
        shot.save_png(shot_path("saver-scaled-back-to-1"))
        log(f"Xft.dpi 96 while it runs: the scene at scale 1 {seconds:.2f} s later")
        server.run(["xdotool", "key", "a"])
        saver.expect_end(STOP_LIMIT, "key")


def case_dpi_out_of_range(args):
    """An Xft.dpi that is no density a desktop has (too large for a font, too small to see,
    infinite) is ignored: the scene is drawn at scale 1, and one line on standard error names
    the value."""
    with XServer(probe=args.probe) as server:
        for dpi in ("1000000", "inf", "1e309", "9600", "12"):
            server.merge_resources(f"Xft.dpi: {dpi}\n")
            saver, shot = start_saver(server, args)
            shot.save_png(shot_path(f"saver-dpi-{dpi}"))
            server.run(["xdotool", "key", "a"])
            saver.expect_end(STOP_LIMIT, "key")
            lines = saver.output().splitlines()
            check(len(lines) == 1 and f"Xft.dpi '{dpi}' ignored" in lines[0],
                  f"Xft.dpi {dpi}: the saver said {lines}, not one line naming the value")
            log(f"Xft.dpi {dpi}: the scene at scale 1; {lines[0]}")


def case_window_manager(args):
    """On a desktop with a window manager the saver still covers the whole screen, above
    everything, without decorations, and still ends on a key."""
    with XServer(window_manager=True, probe=args.probe) as server:
        saver, shot = start_saver(server, args)
        shot.save_png(shot_path("saver-with-window-manager"))
        _, area = find(server, SAVER_TITLE)
        check(area == (0, 0, SCREEN_W, SCREEN_H), f"the window is at {area}")
        check(shot.pixel(SCREEN_W - 1, SCREEN_H - 1) == (0, 0, 0), "a corner is not black")
        check(not server.pointer_shows(), "the pointer shows over the saver")
        server.run(["xdotool", "key", "a"])
        saver.expect_end(STOP_LIMIT, "key")


def case_ends_on(args, action, xdotool):
    with XServer(probe=args.probe) as server:
        # An argument the saver does not know is ignored.
        saver, _ = start_saver(server, args, extra=["--anything"] if action == "click" else [])
        server.run(["xdotool", *xdotool])
        saver.expect_end(STOP_LIMIT, action)


def case_still_pointer(args):
    with XServer(probe=args.probe) as server:
        server.run(["xdotool", "mousemove", "640", "360"])
        saver, _ = start_saver(server, args)
        window, _ = find(server, SAVER_TITLE)
        # Events at the position the pointer has had all along: the saver goes on.
        server.run(["xdotool", "mousemove", "640", "360"])
        server.run([args.probe, "motion", window, "640", "360"])
        saver.still_running_after(1.0, "a move to the same position")
        # The same kind of event one pixel further on does end it.
        server.run([args.probe, "motion", window, "641", "360"])
        saver.expect_end(STOP_LIMIT, "motion event one pixel away")


def screen_saver_settings(server):
    keep, section = [], None
    for line in server.run(["xset", "q"]).splitlines():
        if line and not line.startswith(" "):
            section = line.split(":")[0]
        if section in ("Screen Saver", "DPMS (Energy Star)"):
            keep.append(line)
    check(any("timeout" in line for line in keep), "xset q shows no screen saver settings")
    return keep


def case_pointer_and_screen_saver(args):
    with XServer(probe=args.probe) as server:
        # Settings that differ from the server's defaults, so that giving back the defaults
        # instead of what was there would show.
        server.run(["xset", "s", "420", "60"])
        server.run(["xset", "s", "noblank"])
        before = screen_saver_settings(server)
        server.run(["xdotool", "mousemove", "300", "200"])
        check(server.pointer_shows(), "the pointer is not visible before the saver starts")
        saver, _ = start_saver(server, args)
        check(not server.pointer_shows(), "the pointer shows over the saver")
        server.run(["xdotool", "key", "Escape"])
        saver.expect_end(STOP_LIMIT, "key")
        check(server.pointer_shows(), "the pointer stays hidden after the saver")
        after = screen_saver_settings(server)
        check(before == after, "screen saver settings changed:\n" + "\n".join(before) +
              "\n---\n" + "\n".join(after))
        log("pointer hidden while running, visible after; screen saver settings kept:\n" +
            "\n".join(before))


def case_no_display(args):
    """No display named, and one named that nobody answers: each said in so many words."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    for display, says in ((None, "neither DISPLAY nor WAYLAND_DISPLAY is set"),
                          (":9987", "no X server answers at DISPLAY=:9987")):
        if display:
            env["DISPLAY"] = display
        code, _, error = run([args.saver], program_env(env))
        check(code != 0, "the saver claims success without a display")
        check(f"drevanti: cannot open the display: {says}" in error,
              f"unclear message: {error.strip()!r}")
        log(f"exit {code}: {error.strip()}")


# --- The settings form ---------------------------------------------------------------------------

# Client-area rectangles (x, y, w, h), from the form's twips at 15 twips per pixel.
OK_BUTTON = (120, 192, 73, 25)
CANCEL_BUTTON = (216, 192, 81, 25)
LABELS = {"lblComment": (104, 88, 169, 25), "lblSteiner": (56, 8, 185, 49),
          "lblName": (144, 136, 121, 33)}
FACE = Colour((190, 235), (190, 235), (185, 230))


def start_form(server, args):
    form = server.start([args.saver, "--settings"], what="the form")
    window, area = wait_for(lambda: form.alive() or find(server, FORM_TITLE), START_LIMIT,
                            f"no window titled {FORM_TITLE}")
    check(area[2:] == (FORM_W, FORM_H), f"client area {area[2:]}, not {FORM_W}x{FORM_H}")
    time.sleep(0.3)  # the first frame after mapping
    return form, window, area[:2]


def on_screen(origin, box, inset=0):
    return (origin[0] + box[0] + inset, origin[1] + box[1] + inset, box[2] - 2 * inset,
            box[3] - 2 * inset)


def click(server, origin, box):
    x, y, w, h = on_screen(origin, box)
    server.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"])


def focus_marked(shot, origin, button):
    """The focused button has a black outer frame; an unfocused one a white top-left edge."""
    x, y, w, _ = on_screen(origin, button)
    return shot.count(DARK, (x + 2, y, w - 4, 1)) == w - 4


def case_form_look(args):
    with XServer(window_manager=True, probe=args.probe) as server:
        form, window, origin = start_form(server, args)
        shot = server.screenshot()
        shot.save_png(shot_path("settings-form"))
        face = shot.count(FACE, on_screen(origin, (0, 0, FORM_W, FORM_H)))
        check(face > 0.8 * FORM_W * FORM_H, f"only {face} pixels of the dialog's light face")
        for name, box in LABELS.items():
            ink = shot.count(DARK, on_screen(origin, box))
            check(ink >= 20, f"{name}: only {ink} dark text pixels")
        for name, box in (("cmdOk", OK_BUTTON), ("cmdCancel", CANCEL_BUTTON)):
            x, y, w, h = on_screen(origin, box)
            check(shot.count(DARK, (x + 2, y + h - 1, w - 4, 1)) == w - 4,
                  f"{name}: no dark lower edge")
            check(shot.count(DARK, on_screen(origin, box, 4)) >= 10, f"{name}: no caption")
        # Fixed size: the window manager is told it can be neither smaller nor larger.
        hints = server.run(["xprop", "-id", window, "WM_NORMAL_HINTS"])
        for bound in ("minimum", "maximum"):
            check(f"program specified {bound} size: {FORM_W} by {FORM_H}" in hints,
                  f"no fixed {bound} size in the size hints:\n{hints}")
        check(focus_marked(shot, origin, OK_BUTTON), "OK, focused at first, is not marked")
        check(not focus_marked(shot, origin, CANCEL_BUTTON), "Cancel is marked too")
        # The title bar the window manager draws above the client area.
        title_bar = (origin[0], max(origin[1] - 18, 0), FORM_W, 14)
        check(shot.count(BLACK, title_bar) < 0.2 * FORM_W * 14, "no title bar above the form")
        # Tab gives Cancel the mark.
        server.run(["xdotool", "key", "Tab"])
        time.sleep(0.3)
        tabbed = server.screenshot()
        tabbed.save_png(shot_path("settings-form-tab"))
        check(focus_marked(tabbed, origin, CANCEL_BUTTON), "Tab: Cancel is not marked")
        check(not focus_marked(tabbed, origin, OK_BUTTON), "Tab: OK is still marked")
        # Neither another key nor a click on a label ends it.
        server.run(["xdotool", "key", "x"])
        click(server, origin, LABELS["lblComment"])
        form.still_running_after(0.5, "a letter key or a label click")
        # Space presses the focused button.
        server.run(["xdotool", "key", "space"])
        form.expect_end(STOP_LIMIT, "Space on the focused button")


def case_form_ends(args, action, act):
    with XServer(window_manager=True, probe=args.probe) as server:
        form, window, origin = start_form(server, args)
        act(server, window, origin)
        form.expect_end(STOP_LIMIT, action)


def case_late_wakeup(args):
    """SDL's wake-up message reaching a window that is already gone must not turn a clean exit
    into exit code 1; any other X error must stay fatal."""
    with XServer(probe=args.probe) as server:
        code, _, error = run([args.wakeup_check, "send-event"], program_env(server.env))
        check(code == 0, f"a late wake-up ended the program with {code}: {error.strip()}")
        code, _, error = run([args.wakeup_check, "map-window"], program_env(server.env))
        check(code != 0 and "BadWindow" in error,
              f"another X error was swallowed: exit {code}, {error.strip()!r}")
        log(f"late wake-up: exit 0; another BadWindow: exit {code}")


if __name__ == "__main__":
    main({"scene": case_scene,
          "scaled": case_scaled,
          "dpi-out-of-range": case_dpi_out_of_range,
          "window-manager": case_window_manager,
          "key": lambda a: case_ends_on(a, "key", ["key", "a"]),
          "modifier": lambda a: case_ends_on(a, "modifier key", ["key", "shift"]),
          "click": lambda a: case_ends_on(a, "click", ["click", "1"]),
          "move": lambda a: case_ends_on(a, "one-pixel move", ["mousemove_relative", "--", "0", "1"]),
          "still-pointer": case_still_pointer,
          "pointer-and-screen-saver": case_pointer_and_screen_saver,
          "no-display": case_no_display,
          "form-look": case_form_look,
          "form-ok": lambda a: case_form_ends(a, "click on OK",
                                              lambda s, _, at: click(s, at, OK_BUTTON)),
          "form-cancel": lambda a: case_form_ends(a, "click on Cancel",
                                                  lambda s, _, at: click(s, at, CANCEL_BUTTON)),
          "form-close": lambda a: case_form_ends(a, "close request",
                                                 lambda s, w, _: s.run([a.probe, "close", w])),
          "late-wakeup": case_late_wakeup},
         "--saver", "--probe", "--shots",
         setup=lambda args: load_layout([args.probe, "layout"]), wakeup_check=None)
