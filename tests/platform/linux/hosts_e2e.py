#!/usr/bin/env python3
"""The Linux saver under the programs that run screen savers, and on screens of every kind, each
case on a private display: xscreensaver (one and two monitors), xsecurelock, xss-lock, a window
given by --window-id, swayidle on sway and on KWin (Wayland, two outputs, also of different scales
side by side or stacked), full screen on two X11 monitors and while a monitor comes and goes, a
screen 30 pixels wide and an 8-bit display.

xscreensaver, sway and KWin run as a throwaway user (the cases need root), with a copy of the
saver named drevanti on that user's PATH, so that the lines the README gives are the lines that
run here.

usage: hosts_e2e.py CASE --saver BIN --probe BIN --shots DIR [--kwin-outputs BIN]
"""

import contextlib
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", ".."))
from e2e.hosts import (Kwin, ThrowawayUser, compositor, no_window_but, private_bus,  # noqa: E402
                       xscreensaver_runs)
from e2e.pictures import Picture  # noqa: E402
from e2e.processes import (command_line_of, environment_of, processes_of, program_env,  # noqa: E402
                           run, seconds_since_start, usage, wait_gone)
from e2e.report import Failure, check, log, main, shot_path, wait_for  # noqa: E402
from e2e.scene import (MARKER, MARKER_X, bar_row, ink_height, load_layout,  # noqa: E402
                       scene_problems, status_box, wait_for_bars, wait_for_scenes)
from e2e.screens import XServer  # noqa: E402

SAVER_TITLE = "シュタイナー問題"
# Two monitors side by side, of different sizes: (x, y, width, height).
TWO_MONITORS = ((0, 0, 1280, 720), (1280, 0, 1024, 768))
TWO_MONITOR_SCREEN = (2304, 768)
ONE_MONITOR = ((0, 0, 1280, 720),)
# How long a host may take to show the first frame, and the saver to end once stopped.
START_LIMIT = 15.0
STOP_LIMIT = 2.0
# Every monitor shows its scale bar within this time of the saver's start.
DRAW_LIMIT = 2.0
# A hosted saver ends within this time of SIGTERM or SIGINT.
SIGNAL_LIMIT = 0.2
# A monitor added (deleted) while the saver runs is covered (its window gone) within this time.
HOT_PLUG_LIMIT = 1.0


@contextlib.contextmanager
def saver_on_path(saver, env):
    """The environment with the saver on PATH as drevanti, and the folder that holds it."""
    with tempfile.TemporaryDirectory(prefix="drevanti-path-") as folder:
        os.symlink(saver, os.path.join(folder, "drevanti"))
        yield dict(env, PATH=f"{folder}:{os.environ['PATH']}"), folder


def case_xscreensaver(args, monitors, dpi=None):
    """xscreensaver runs drevanti on each monitor; with an Xft.dpi set on the display, drawn at
    its density on the logical screen of the monitor's size over dpi / 96."""
    two = len(monitors) > 1
    with XServer(size=TWO_MONITOR_SCREEN if two else monitors[0][2:],
                 monitors=monitors if two else (), probe=args.probe) as server, \
            ThrowawayUser(f"xss{len(monitors)}", args.saver) as user:
        if dpi:
            server.merge_resources(f"Xft.dpi: {dpi}\n")
        # The programs line the README gives.
        user.write(".xscreensaver", "programs: drevanti --root \\n\n")
        xscreensaver_runs(server, user, {"DISPLAY": server.env["DISPLAY"]}, monitors,
                          os.path.join(user.bin, "drevanti"),
                          f"xscreensaver-{len(monitors)}" + (f"-{dpi}dpi" if dpi else ""),
                          scale=dpi / 96 if dpi else 1)


def savers_of(args, server, locker, monitors, name):
    """The savers a locker started, one per monitor, once every monitor shows its scene."""
    shot, seconds = wait_for_scenes(server.screenshot, monitors, locker.alive, name, START_LIMIT)
    shot.save_png(shot_path(name))
    log(f"{name}: every monitor drawn {seconds:.2f} s after the start")
    savers = processes_of(args.saver, locker.pid)
    check(len(savers) == len(monitors), f"{len(savers)} savers for {len(monitors)} monitor(s)")
    usage(savers[:1])
    return savers


def case_xsecurelock(args):
    with XServer(size=TWO_MONITOR_SCREEN, monitors=TWO_MONITORS, probe=args.probe) as server, \
            saver_on_path(args.saver, server.env) as (env, _):
        server.run(["xsetroot", "-solid", MARKER_X])
        # The README's line.
        locker = server.start(["sh", "-c", 'XSECURELOCK_SAVER="$(command -v drevanti)" '
                               "exec xsecurelock"], program_env(env), "xsecurelock")
        savers = savers_of(args, server, locker, TWO_MONITORS, "xsecurelock")
        for pid in savers:
            window = environment_of(pid).get("XSCREENSAVER_WINDOW", "")
            check(window.isdigit(), f"XSCREENSAVER_WINDOW is {window!r}")
            check("-root" in command_line_of(pid), f"started as {command_line_of(pid)}")
        no_window_but(server, server.top_windows())
        locker.process.send_signal(signal.SIGTERM)
        wait_gone(savers, STOP_LIMIT, "the savers after SIGTERM to xsecurelock")


def case_xss_lock(args):
    """xss-lock starts drevanti when the X server's screen saver activates. It asks
    systemd-logind for its session, which a test machine does not run: a private system bus with
    a stand-in for that one service (fake_logind.py) answers instead."""
    with XServer(probe=args.probe) as server, \
            saver_on_path(args.saver, server.env) as (env, folder):
        env["DBUS_SYSTEM_BUS_ADDRESS"] = private_bus(
            "system", folder, lambda argv: server.start(argv, env, "the private bus"))
        logind = server.start(["/usr/bin/python3", os.path.join(HERE, "fake_logind.py")], env,
                              "the logind stand-in")
        check(logind.first_line(10) == "ready", "the logind stand-in did not start")
        # The README's line.
        locker = server.start(["sh", "-c", "exec xss-lock -- drevanti"], program_env(env),
                              "xss-lock")
        time.sleep(1.0)
        server.run(["xset", "s", "activate"])
        savers = savers_of(args, server, locker, ONE_MONITOR, "xss-lock")
        server.run(["xdotool", "key", "a"])
        wait_gone(savers, STOP_LIMIT, "the saver after a key")
        time.sleep(0.3)
        locker.alive()
        logind.stop()
        check("SetLockedHint(True,)" in logind.output() and "SetLockedHint(False,)" in
              logind.output(), f"xss-lock did not see the saver start and end: {logind.output()!r}")


def case_window_id(args):
    """A window given by --window-id, as xscreensaver's settings preview passes it: drawn in at
    its size and followed when resized; input, the window and the pointer left alone; SIGTERM,
    SIGINT and the window's end each end the saver at once with exit code 0."""
    with XServer(probe=args.probe) as server:
        def host_window(width, height):
            host = server.start([args.probe, "window", str(width), str(height)], server.env,
                                "the host window")
            return host, host.first_line(10)

        host, window = host_window(640, 400)
        before = server.top_windows()
        saver = server.start([args.saver, "--root", "--window-id", window], what="the saver")
        area = [(0, 0, 640, 400)]
        drawn = wait_for_bars(server.screenshot, area, saver.alive, saver.started, DRAW_LIMIT,
                              "window")
        shot, seconds = wait_for_scenes(server.screenshot, area, saver.alive, "window", START_LIMIT)
        shot.save_png(shot_path("window-id"))
        log(f"--window-id: scale bar drawn {drawn:.2f} s, whole scene seen {seconds + drawn:.2f} s"
            " after start")
        no_window_but(server, before)
        check(server.pointer_shows(), "the pointer is hidden")
        for action in (["mousemove", "100", "100"], ["key", "a"], ["click", "1"],
                       ["mousemove", "300", "200"]):
            server.run(["xdotool", *action])
        saver.still_running_after(1.0, "input")
        info = server.run(["xwininfo", "-id", window])
        check("Map State: IsViewable" in info and "Width: 640" in info,
              f"the host's window was changed:\n{info}")
        server.run(["xdotool", "windowsize", window, "800", "500"])
        _, seconds = wait_for_scenes(server.screenshot, [(0, 0, 800, 500)], saver.alive, "resized",
                                     START_LIMIT)
        log(f"resized to 800x500: a new instance at the new size after {seconds:.2f} s")
        host.stop()
        saver.expect_end(STOP_LIMIT, "the window destroyed")

        for stop in (signal.SIGTERM, signal.SIGINT):
            host, window = host_window(320, 240)
            saver = server.start([args.saver, "--window-id", window], what="the saver")
            wait_for_scenes(server.screenshot, [(0, 0, 320, 240)], saver.alive, "window",
                            START_LIMIT)
            saver.process.send_signal(stop)
            saver.expect_end(SIGNAL_LIMIT, stop.name)
            host.stop()

        code, _, error = run([args.saver, "--window-id", "0x7ffff00"], program_env(server.env))
        check(code != 0 and "there is no window 0x7ffff00" in error,
              f"a window that does not exist: exit {code}, {error.strip()!r}")
        log(f"no such window: exit {code}, {error.strip()}")


def swayidle_runs(args, user, env, outputs, grab, alive, end, name, last_run_step=None,
                  scales=None):
    """The README's swayidle line, with an idle time of one second, args.runs times under a
    running compositor: each time every output shows its own scene (grab gives one shot per
    output, in device pixels; scales, when given, are the outputs' device pixels to a logical
    one), the time from the saver's start to that, its CPU share and memory are printed, and
    end(env) stops it (swayidle first, so that it does not start the saver again). In the last
    run last_run_step(), when given, comes before the end."""
    figures = []
    for run_number in range(1, args.runs + 1):
        idle = user.start(["swayidle", "-w", "timeout", "1", "drevanti"], env)

        def running():
            alive()
            idle.alive()

        savers = wait_for(lambda: running() or user.savers(), START_LIMIT,
                          "swayidle did not start drevanti", 0.01)
        check(len(savers) == 1, f"{len(savers)} saver processes: one covers every output")
        while True:
            running()
            shots = grab()
            # The shot's time, not the time its pixels took to check.
            since_start = seconds_since_start(savers[0])
            problems = [f"run {run_number}, output {i + 1}: {p}" for i, (shot, o, scale) in
                        enumerate(zip(shots, outputs, scales or [1] * len(outputs)))
                        for p in scene_problems(shot, o, scale)]
            if not problems:
                break
            check(since_start < START_LIMIT, "; ".join(problems))
        if run_number == 1:
            for i, shot in enumerate(shots):
                shot.save_png(shot_path(f"{name}-{i + 1}"))
        log(f"run {run_number}: every output drawn {since_start:.2f} s after the saver started")
        figures.append((since_start, *usage(savers, args.usage_seconds, f"run {run_number}")))
        if run_number == args.runs and last_run_step:
            last_run_step()
        idle.stop()
        end(env)
        wait_gone(savers, STOP_LIMIT + 1, f"run {run_number}: the saver, told to end")
    first, cpu, rss, wakeups = (max(column) for column in zip(*figures))
    log(f"{name}: every output drawn in {args.runs} of {args.runs} runs, at most {first:.2f} s "
        f"after the saver started; CPU at most {cpu:.1f} % of one core, at most {wakeups:.1f} "
        f"wake-ups a second, at most {rss:.1f} MB resident")


def grim(env, *output):
    """A picture of the compositor's outputs (or of one), taken as root (quicker than as the
    user): the sooner it comes, the closer the time to the first frame printed."""
    return subprocess.run(["grim", "-t", "ppm", *output, "-"], env={**os.environ, **env},
                          capture_output=True, timeout=30)


def sway_outputs(user, output_lines):
    """A headless sway run by the user with as many outputs as lines of its configuration given:
    the compositor, the environment of its clients, and swaymsg(*argv) for its IPC."""
    runtime = user.runtime_dir()
    config = user.write("sway.conf", "".join(line + "\n" for line in output_lines))
    sway = compositor(user, ["sway", "-c", config],
                      {"XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
                       "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1",
                       "WLR_HEADLESS_OUTPUTS": str(len(output_lines))}, runtime)
    env = {"XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": "wayland-1"}

    def swaymsg(*argv):
        sock = next(f for f in os.listdir(runtime) if f.startswith("sway-ipc."))
        return user.succeed(["swaymsg", *argv], dict(env, SWAYSOCK=f"{runtime}/{sock}"))

    return sway, env, swaymsg


def grab_each(env, names):
    """A picture of each output named, at its own device pixels."""
    shots = [grim(env, "-o", name) for name in names]
    check(all(s.returncode == 0 for s in shots), "grim failed: " +
          "".join(s.stderr.decode() for s in shots))
    return [Picture.from_ppm(s.stdout) for s in shots]


def log_bars(names, places, scales):
    """Each output's scale bar as the scene check found it: device place and thickness."""
    for name, place, scale in zip(names, places, scales):
        bar_x, bar_y, length, thick = bar_row(place, scale)
        log(f"{name} at scale {scale:g}, {place[2]}x{place[3]} device pixels: the bar on device "
            f"columns {bar_x}..{bar_x + length - 1}, rows {bar_y}..{bar_y + thick - 1} "
            f"({thick} thick)")


def case_sway(args, scale=1):
    """swayidle on a headless sway with two outputs starts drevanti, which covers both; a key (a
    virtual keyboard) ends it. With a scale, the first output has it: its scene is laid out on
    the logical size and drawn at its device pixels, as grim takes them."""
    outputs = ((0, 0, 1280, 720), (1280, 0, 1024, 768))
    with ThrowawayUser("sway", args.saver) as user:
        sway, env, swaymsg = sway_outputs(
            user, [f"output HEADLESS-1 resolution 1280x720 position 0 0 scale {scale}",
                   f"output HEADLESS-2 resolution 1024x768 position {1280 // scale} 0"])

        def grab():
            if scale != 1:
                return grab_each(env, [f"HEADLESS-{i + 1}" for i in range(len(outputs))])
            shot = grim(env)
            check(shot.returncode == 0, f"grim failed: {shot.stderr.decode()}")
            return [Picture.from_ppm(shot.stdout)] * len(outputs)

        def add_output():
            # An output plugged in while the saver runs (this sway cannot take one away).
            added = time.monotonic()
            swaymsg("create_output")
            # Shots as fast as grim takes them, judged afterwards: judging one takes longer.
            shots = []
            while time.monotonic() - added < HOT_PLUG_LIMIT:
                if (shot := grim(env, "-o", "HEADLESS-3")).returncode == 0:
                    shots.append((time.monotonic() - added, Picture.from_ppm(shot.stdout)))
            problems = ["no shot of HEADLESS-3"]
            for seconds, shot in shots:
                problems = scene_problems(shot, (0, 0, shot.width, shot.height))
                if not problems:
                    shot.save_png(shot_path("sway-added"))
                    return log(f"an output added during the run: its own {shot.width}x"
                               f"{shot.height} scene {seconds:.2f} s after it was created")
            raise Failure(f"the added output {HOT_PLUG_LIMIT:g} s after it was created: " +
                          "; ".join(problems))

        per_output = (0, 0, 1280, 720), (0, 0, 1024, 768)

        def judged_scaled():
            shot = grab()[0]
            bar_x, bar_y, length, thick = bar_row(per_output[0], scale)
            log(f"HEADLESS-1 at scale {scale}: logical {round(1280 / scale)}x{round(720 / scale)}; "
                f"the bar on device columns {bar_x}..{bar_x + length - 1}, rows {bar_y}.."
                f"{bar_y + thick - 1}; the status text "
                f"{ink_height(shot, status_box(per_output[0], scale), scale)} pixels high")
            # The same session at scale 1: the window follows, and costs what it costs there.
            savers = user.savers()
            usage(savers, args.usage_seconds, f"HEADLESS-1 at scale {scale}")
            swaymsg("output", "HEADLESS-1", "scale", "1")
            _, seconds = wait_for_scenes(lambda: grab()[0], [per_output[0]], sway.alive,
                                         "HEADLESS-1 back at scale 1", START_LIMIT)
            log(f"HEADLESS-1 set to scale 1 while it runs: its scene at scale 1 {seconds:.2f} s "
                "later")
            usage(savers, args.usage_seconds, "HEADLESS-1 at scale 1, the same session")
            add_output()

        swayidle_runs(args, user, env, per_output if scale != 1 else outputs, grab, sway.alive,
                      lambda env: user.succeed(["wtype", "-s", "300", "a"], env),
                      f"sway-scale-{scale}" if scale != 1 else "sway",
                      judged_scaled if scale != 1 else add_output, (scale, 1))


# Two outputs of different densities, as a laptop's panel and an external monitor: each output's
# sway configuration (the first at scale 2: 960x600 logical pixels), its device size and scale.
MIXED_OUTPUTS = {
    "side-by-side": ("output HEADLESS-1 resolution 1920x1200 position 0 0 scale 2",
                     "output HEADLESS-2 resolution 800x600 position 960 0 scale 1"),
    "stacked": ("output HEADLESS-1 resolution 1920x1200 position 0 0 scale 2",
                "output HEADLESS-2 resolution 800x600 position 0 600 scale 1"),
}
MIXED_DEVICES = ((0, 0, 1920, 1200), (0, 0, 800, 600))
MIXED_SCALES = (2, 1)


def case_sway_mixed(args, arrangement):
    """swayidle on a headless sway whose two outputs have different scales, laid out as the
    arrangement says, starts drevanti, which covers each output with its own scene at its own
    density (the outputs' logical rectangles, as sway reports them, are printed); a key ends
    it."""
    names = ("HEADLESS-1", "HEADLESS-2")
    with ThrowawayUser("sway", args.saver) as user:
        sway, env, swaymsg = sway_outputs(user, MIXED_OUTPUTS[arrangement])
        for output in json.loads(swaymsg("-t", "get_outputs", "-r")):
            log(f"{output['name']}: logical {output['rect']}, scale {output['scale']:g}")
        swayidle_runs(args, user, env, MIXED_DEVICES, lambda: grab_each(env, names), sway.alive,
                      lambda env: user.succeed(["wtype", "-s", "300", "a"], env),
                      f"sway-{arrangement}", lambda: log_bars(names, MIXED_DEVICES, MIXED_SCALES),
                      MIXED_SCALES)


def case_kwin(args, scale=1):
    """swayidle under KWin's virtual backend with two outputs (KDE's idle protocol) starts
    drevanti, which covers both; SIGTERM, as a session's end sends it, ends it. KWin's own
    screenshot interface, on a session bus of the test's, shows what is on each output, in its
    device pixels. With a scale (KWin offers a fractional one) the outputs of 1280x720 logical
    pixels have that many more device pixels, on which the scene is drawn."""
    with ThrowawayUser("kwin", args.saver) as user, Kwin(user, scale) as kwin:
        def terminate(env):
            for pid in user.savers():
                os.kill(pid, signal.SIGTERM)

        def judged_scaled():
            shot = kwin.grab()[0]
            bar_x, bar_y, length, thick = bar_row(kwin.places[0], scale)
            log(f"Virtual-0 at scale {scale:g}: logical 1280x720; the bar on device columns "
                f"{bar_x}..{bar_x + length - 1}, rows {bar_y}..{bar_y + thick - 1}; the status "
                f"text {ink_height(shot, status_box(kwin.places[0], scale), scale)} pixels high")

        swayidle_runs(args, user, kwin.env, kwin.places, kwin.grab, kwin.process.alive, terminate,
                      f"kwin-scale-{scale:g}" if scale != 1 else "kwin", judged_scaled,
                      (scale, scale))


def case_kwin_mixed(args, scales):
    """swayidle under KWin's virtual backend whose two outputs, of 1280x720 device pixels each,
    have scales of their own (set through KWin's output management, as its display settings set
    them), side by side, starts drevanti, which covers each with its own scene at its own density;
    SIGTERM ends it."""
    check(args.kwin_outputs, "this case needs --kwin-outputs")
    with ThrowawayUser("kwin", args.saver) as user, Kwin(user) as kwin:
        tool = os.path.join(user.bin, "kwin_outputs")
        shutil.copy(args.kwin_outputs, tool)
        layout, x = [], 0
        for name, scale, (_, _, width, _) in zip(Kwin.OUTPUTS, scales, kwin.places):
            layout += [name, f"{scale:g}", str(x), "0"]
            x += round(width / scale)
        user.succeed([tool, *layout], kwin.env)
        log("KWin's outputs laid out: " + " ".join(layout))

        def terminate(env):
            for pid in user.savers():
                os.kill(pid, signal.SIGTERM)

        swayidle_runs(args, user, kwin.env, kwin.places, kwin.grab, kwin.process.alive, terminate,
                      "kwin-" + "-beside-".join(f"{s:g}" for s in scales),
                      lambda: log_bars(Kwin.OUTPUTS, kwin.places, scales), scales)


# --- Full screen on unusual screens ---------------------------------------------------------------


def case_two_monitors(args):
    with XServer(size=TWO_MONITOR_SCREEN, monitors=TWO_MONITORS, probe=args.probe) as server:
        for action, before in ((["key", "a"], None),
                               (["mousemove_relative", "--", "0", "1"], ["mousemove", "1600", "300"])):
            server.run(["xsetroot", "-solid", MARKER_X])
            if before:
                server.run(["xdotool", *before])
            windows = server.top_windows()
            saver = server.start([args.saver], what="the saver")
            drawn = wait_for_bars(server.screenshot, TWO_MONITORS, saver.alive, saver.started,
                                  DRAW_LIMIT, "full screen")
            shot, seconds = wait_for_scenes(server.screenshot, TWO_MONITORS, saver.alive,
                                            "full screen", START_LIMIT)
            shot.save_png(shot_path("two-monitors"))
            log(f"two monitors: both scale bars drawn {drawn:.2f} s, both whole scenes seen "
                f"{seconds + drawn:.2f} s after start")
            no_window_but(server, windows, own=len(TWO_MONITORS))
            check(not server.pointer_shows(), "the pointer shows")
            server.run(["xdotool", *action])
            saver.expect_end(STOP_LIMIT, " ".join(action))
            check(server.pointer_shows(), "the pointer stays hidden")


def case_hot_plug(args):
    """Full screen while a monitor comes and goes, twice: the monitor added gets a window of its own
    (above everything, on the monitor, the pointer hidden) with its own scene within a second;
    the monitor deleted loses its window and the desktop shows there again; the remaining
    monitor's demonstration goes on, and a key still ends the saver."""
    first, added = TWO_MONITORS
    with XServer(size=TWO_MONITOR_SCREEN, monitors=(first,), probe=args.probe) as server:
        server.run(["xsetroot", "-solid", MARKER_X])
        # The pointer rests where the monitor appears: it must be hidden there too.
        server.run(["xdotool", "mousemove", "1600", "300"])
        saver = server.start([args.saver], what="the saver")
        wait_for_scenes(server.screenshot, (first,), saver.alive, "full screen", START_LIMIT)
        for cycle in (1, 2):
            server.set_monitor(2, added)
            changed = time.monotonic()
            # The latency: from the change to the first grab of the bar's row that shows the bar.
            drawn = wait_for_bars(server.screenshot, [added], saver.alive, changed, HOT_PLUG_LIMIT,
                                  "the added monitor")
            # Then its whole scene, with nothing of the desktop, within the same second.
            wait_for_scenes(lambda: server.screenshot(added), [(0, 0, *added[2:])], saver.alive,
                            "monitor added", START_LIMIT)
            seconds = time.monotonic() - changed
            check(seconds <= HOT_PLUG_LIMIT,
                  f"the added monitor showed its whole scene only {seconds:.2f} s after the change")
            shot, _ = wait_for_scenes(server.screenshot, TWO_MONITORS, saver.alive,
                                      "both monitors", START_LIMIT)
            shot.save_png(shot_path(f"hot-plug-{cycle}"))
            windows = server.windows_titled(SAVER_TITLE)
            check(sorted(windows.values()) == sorted(TWO_MONITORS), f"the windows: {windows}")
            new = next(i for i, place in windows.items() if place == added)
            check("Override Redirect State: yes" in server.run(["xwininfo", "-id", new]),
                  "the new window is left to the window manager")
            check(not server.pointer_shows(), "the pointer shows over the new monitor")
            log(f"cycle {cycle}: monitor added, its scale bar drawn within {drawn:.2f} s of the "
                f"change, its whole scene seen {seconds:.2f} s after it (screenshot polling)")
            server.run(["xrandr", "--delmonitor", "DREVANTI-2"])
            changed = time.monotonic()
            wait_for(lambda: saver.alive() or list(server.windows_titled(SAVER_TITLE).values()) ==
                     [first], HOT_PLUG_LIMIT, "the deleted monitor's window stays", 0.02)
            gone = time.monotonic() - changed
            check(server.screenshot().count(MARKER, added) == added[2] * added[3],
                  "the deleted monitor's place does not show the desktop")
            log(f"cycle {cycle}: monitor deleted, its window gone within {gone:.2f} s")
            wait_for_scenes(server.screenshot, (first,), saver.alive, "after the monitor went",
                            START_LIMIT)
        server.run(["xdotool", "key", "a"])
        saver.expect_end(STOP_LIMIT, "key")
        check(server.pointer_shows(), "the pointer stays hidden")


def case_narrow_screen(args):
    """A screen 30 pixels wide has no room for an instance: the saver stays black, idle, and
    still ends on a key."""
    with XServer(size=(30, 200), probe=args.probe) as server:
        saver = server.start([args.saver], what="the saver")
        saver.still_running_after(2.0, "a screen 30 pixels wide")
        cpu, _, _ = usage([saver.pid], 2.0)
        check(cpu < 20, f"it spins: {cpu:.0f} % of one core")
        server.run(["xdotool", "key", "a"])
        saver.expect_end(STOP_LIMIT, "key")


def case_depth_8(args):
    with XServer(depth=8, probe=args.probe) as server:
        code, _, error = run([args.saver], program_env(server.env))
        check(code != 0, "the saver claims success on an 8-bit display")
        check("drevanti: cannot draw on this display" in error, f"unclear message: {error.strip()!r}")
        check(server.pointer_shows(), "the pointer stays hidden")
        log(f"8-bit display: exit {code}: {error.strip()}")


if __name__ == "__main__":
    main({"xscreensaver": lambda a: case_xscreensaver(a, ONE_MONITOR),
          "xscreensaver-two-monitors": lambda a: case_xscreensaver(a, TWO_MONITORS),
          "xscreensaver-192dpi": lambda a: case_xscreensaver(a, ONE_MONITOR, 192),
          "xsecurelock": case_xsecurelock,
          "xss-lock": case_xss_lock,
          "window-id": case_window_id,
          "sway": case_sway,
          "sway-scale-2": lambda a: case_sway(a, 2),
          "sway-side-by-side": lambda a: case_sway_mixed(a, "side-by-side"),
          "sway-stacked": lambda a: case_sway_mixed(a, "stacked"),
          "kwin": case_kwin,
          "kwin-scale-1.5": lambda a: case_kwin(a, 1.5),
          "kwin-1.5-beside-1": lambda a: case_kwin_mixed(a, (1.5, 1)),
          "kwin-1-beside-2": lambda a: case_kwin_mixed(a, (1, 2)),
          "two-monitors": case_two_monitors,
          "hot-plug": case_hot_plug,
          "narrow-screen": case_narrow_screen,
          "depth-8": case_depth_8},
         "--saver", "--probe", "--shots",
         setup=lambda args: load_layout([args.probe, "layout"]), runs=5, usage_seconds=3.0,
         kwin_outputs=None)
