#!/usr/bin/env python3
"""The Linux saver under the programs that run screen savers, and on screens of every kind, each
case on a private display: xscreensaver (one and two monitors), xsecurelock, xss-lock, a window given by
--window-id, sway with swayidle (Wayland, two outputs), full screen on two X11 monitors and while a
monitor comes and goes, a screen 30 pixels wide and an 8-bit display.

xscreensaver and sway refuse to run as root: those cases run them as a throwaway user of their
own (made with useradd, so the cases need root), with a copy of the saver named drevanti on that
user's PATH, so that the lines the README gives are the lines that run here.

usage: hosts_e2e.py CASE --saver BIN --probe BIN --shots DIR
"""

import fcntl
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import saver_e2e
from saver_e2e import (SAVER_TITLE, YELLOW, Failure, Program, XServer, check, is_red, is_white,
                       is_yellow, parse_ppm, program_env)

# Two monitors side by side, of different sizes: (width, height, x, y).
TWO_MONITORS = ((1280, 720, 0, 0), (1024, 768, 1280, 0))
TWO_MONITOR_SCREEN = (2304, 768)
ONE_MONITOR = ((1280, 720, 0, 0),)
# The root window's colour before the saver starts: none of it may stay visible on a monitor.
MARKER = "#ff00ff"
MARKER_BYTES = b"\xff\x00\xff"
# How long a host may take to show the first frame, and the saver to end once stopped.
START_LIMIT = 15.0
STOP_LIMIT = 2.0
# A monitor added during full screen shows its own scene within this time.
HOTPLUG_LIMIT = 1.0
# Every monitor shows its scale bar within this time of the saver's start.
DRAW_LIMIT = 2.0
# A hosted saver ends within this time of SIGTERM or SIGINT.
SIGNAL_LIMIT = 0.2
# A monitor added or deleted during full screen is covered, or its window gone, within this time.
HOT_PLUG_LIMIT = 1.0


def log(text):
    print(text, flush=True)


def is_marker(r, g, b):
    return r == 255 and g == 0 and b == 255


def scene_problems(shot, monitor):
    """What is missing from the scene the saver should show on the monitor (w, h, x, y)."""
    w, h, x, y = monitor
    problems = []
    left, right = saver_e2e.bar_ends(w)
    bar_y = y + saver_e2e.BAR_Y
    bar = shot.count(is_red, (x + left, bar_y, right - left + 1, 1))
    if bar != right - left + 1:
        problems.append(f"scale bar {bar} of {right - left + 1} pixels at x {left}..{right}")
    if shot.count(is_red, (x + left - 2, bar_y, 1, 1)) or shot.count(is_red, (x + right + 2, bar_y, 1, 1)):
        problems.append("the scale bar runs past its ends")
    if shot.count(is_yellow, (x, y, w, h), YELLOW) < 12:
        problems.append("no yellow terminal")
    lx, ly, lw, lh = saver_e2e.LABEL
    if shot.count(is_white, (x + lx, y + ly, lw, lh)) < 50:
        problems.append("no status text in the label")
    # Counted only where nothing else is missing: counting a desktop that shows whole is slow.
    if problems:
        if any(MARKER_BYTES in shot.rgb[3 * (row * shot.width + x):3 * (row * shot.width + x + w)]
               for row in range(y, y + h)):
            problems.append("the desktop still visible")
    elif marker := shot.count(is_marker, (x, y, w, h), MARKER_BYTES):
        problems.append(f"{marker} pixels of the desktop still visible")
    return problems


def wait_for_scenes(grab, monitors, alive, what):
    """Polls screenshots until every monitor shows its own scene; returns (shot, seconds)."""
    start = time.monotonic()
    problems = ["nothing seen"]
    while time.monotonic() - start < START_LIMIT:
        alive()
        shot = grab()
        problems = [f"monitor {i + 1}: {p}" for i, m in enumerate(monitors)
                    for p in scene_problems(shot, m)]
        if not problems:
            return shot, time.monotonic() - start
        time.sleep(0.1)
    raise Failure(f"{what}: " + "; ".join(problems))


def wait_for_bars(server, monitors, alive, since, what):
    """Polls the scale bars' rows (cheap, unlike a whole screenshot) until every monitor shows its
    bar; checks that this took at most DRAW_LIMIT from since, and returns the seconds."""
    rows = []
    for w, h, x, y in monitors:
        left, right = saver_e2e.bar_ends(w)
        rows.append((right - left + 1, 1, x + left, y + saver_e2e.BAR_Y))
    while not all(server.screenshot(row).count(is_red) == row[0] for row in rows):
        alive()
        check(time.monotonic() - since <= DRAW_LIMIT,
              f"{what}: not every monitor shows its scale bar {DRAW_LIMIT} s after the start")
    return time.monotonic() - since


def no_bus_traces(server):
    traces = server.bus_traces()
    check(not traces, "; ".join(traces))


def no_window_of_its_own(server, before, own=0, host=None):
    """The saver made no top-level window since the list before but its own (own of them, titled
    as the saver's; those of the host, whose WM_CLASS names it, are the host's), and left no
    trace of a session bus."""
    new = server.top_windows() - before - set(saver_windows(server))
    if host:
        new = {w for w in new
               if f'"{host}"' not in server.run(["xprop", "-id", w, "WM_CLASS"], check_status=False)}
    check(len(saver_windows(server)) == own and not new,
          f"windows made besides the saver's own {own}: {sorted(new)}")
    no_bus_traces(server)


def live(pids):
    """The processes among pids that have not ended (zombies count as ended)."""
    alive = []
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat") as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] != "Z":
                    alive.append(pid)
        except OSError:
            pass
    return alive


def processes_of(executable, ancestor):
    """Live processes running the given file that descend from the ancestor process (other
    cases may run the same file meanwhile)."""
    target = os.path.realpath(executable)
    parents, running = {}, []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    parents[int(entry)] = int(stat.read().rsplit(")", 1)[1].split()[1])
                if os.path.realpath(f"/proc/{entry}/exe") == target:
                    running.append(int(entry))
            except OSError:
                pass

    def descends(pid):
        while pid > 1:
            if pid == ancestor:
                return True
            pid = parents.get(pid, 0)
        return False

    return live([pid for pid in running if descends(pid)])


def wait_gone(pids, seconds, what):
    start = time.monotonic()
    while live(pids):
        check(time.monotonic() - start < seconds, f"{what}: still running {seconds} s later")
        time.sleep(0.005)
    return time.monotonic() - start


def usage(pid, seconds=3.0):
    """CPU share of one core over the given time, and resident memory in MB."""
    def ticks():
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    t0, c0 = time.monotonic(), ticks()
    time.sleep(seconds)
    t1, c1 = time.monotonic(), ticks()
    with open(f"/proc/{pid}/status") as status:
        rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))
    return 100.0 * (c1 - c0) / os.sysconf("SC_CLK_TCK") / (t1 - t0), rss / 1024


class ThrowawayUser:
    """A user of its own for one case, with a fresh home and, when given, the saver on its PATH."""

    def __init__(self, name, saver=None):
        self.name, self.saver = name, saver

    def __enter__(self):
        check(os.geteuid() == 0, "this case makes a throwaway user: run it as root")
        # One useradd at a time: parallel cases share /etc/passwd.
        with open("/tmp/drevanti-e2e-useradd.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if subprocess.run(["id", "-u", self.name], capture_output=True).returncode != 0:
                subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/bin/sh",
                                self.name], check=True)
        self.home = tempfile.mkdtemp(prefix=f"{self.name}-home-")
        self.bin = tempfile.mkdtemp(prefix=f"{self.name}-bin-")
        os.chmod(self.bin, 0o755)
        if self.saver:
            shutil.copy(self.saver, os.path.join(self.bin, "drevanti"))
            os.chmod(os.path.join(self.bin, "drevanti"), 0o755)
        shutil.chown(self.home, self.name)
        self.processes = []
        return self

    def __exit__(self, *exc):
        subprocess.run(["pkill", "-KILL", "-u", self.name], check=False)
        for process in self.processes:
            process.wait()
        shutil.rmtree(self.home, ignore_errors=True)
        shutil.rmtree(self.bin, ignore_errors=True)
        return False

    def command(self, argv, env):
        # ASAN_OPTIONS as program_env sets it: hosts pass their environment on to the saver.
        base = {"HOME": self.home, "PATH": f"{self.bin}:/usr/bin:/bin", "LANG": "C.UTF-8",
                "ASAN_OPTIONS": program_env(os.environ)["ASAN_OPTIONS"]}
        return (["runuser", "-u", self.name, "--", "env", "-i"] +
                [f"{k}={v}" for k, v in {**base, **env}.items()] + argv)

    def start(self, argv, env, log_file):
        process = subprocess.Popen(self.command(argv, env), stdout=log_file,
                                   stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def run(self, argv, env):
        return subprocess.run(self.command(argv, env), capture_output=True, text=True, timeout=30)

    def write(self, name, text):
        path = os.path.join(self.home, name)
        with open(path, "w") as out:
            out.write(text)
        shutil.chown(path, self.name)
        return path

    def savers(self):
        return live([int(p) for p in subprocess.run(["pgrep", "-u", self.name, "-x", "drevanti"],
                                                     capture_output=True, text=True).stdout.split()])


def environment_of(pid):
    with open(f"/proc/{pid}/environ", "rb") as environ:
        return dict(item.decode().split("=", 1) for item in environ.read().split(b"\0") if b"=" in item)


def command_line_of(pid):
    with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
        return [part.decode() for part in cmdline.read().split(b"\0") if part]


# --- The hosts ------------------------------------------------------------------------------------

# What ~/.xscreensaver holds for the test: the daemon starts drevanti at once, without locking,
# fading or powering the monitors down; the programs line is the one the README gives.
XSCREENSAVER_SETTINGS = """mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
dpmsEnabled: False
timeout: 0:30:00
programs: drevanti --root \\n
"""


def start_first_saver(user, env, log_file, server):
    """Starts the xscreensaver daemon as the user and, once it answers, has it run the first screen
    saver of the list; returns a check that the daemon is still there, the time of the selection
    and the top-level windows there were before it."""
    daemon = user.start(["xscreensaver", "--no-splash"], env, log_file)

    def alive():
        check(daemon.poll() is None, "xscreensaver ended")

    deadline = time.monotonic() + START_LIMIT
    while user.run(["xscreensaver-command", "-time"], env).returncode != 0:
        alive()
        check(time.monotonic() < deadline, "xscreensaver does not answer")
        time.sleep(0.2)
    before = server.top_windows()
    selected = time.monotonic()
    check(user.run(["xscreensaver-command", "-select", "1"], env).returncode == 0,
          "xscreensaver-command -select 1 failed")
    return alive, selected, before


def case_xscreensaver(args, monitors):
    size = TWO_MONITOR_SCREEN if len(monitors) > 1 else (monitors[0][0], monitors[0][1])
    with XServer(size=size, monitors=monitors if len(monitors) > 1 else ()) as server, \
            ThrowawayUser(f"drevanti-xss{len(monitors)}", args.saver) as user:
        server.run(["xhost", f"+si:localuser:{user.name}"])
        server.run(["xsetroot", "-solid", MARKER])
        user.write(".xscreensaver", XSCREENSAVER_SETTINGS)
        env = {"DISPLAY": server.env["DISPLAY"]}
        daemon_log = tempfile.TemporaryFile()
        daemon_alive, selected, before = start_first_saver(user, env, daemon_log, server)
        drawn = wait_for_bars(server, monitors, daemon_alive, selected, "xscreensaver")
        shot, seconds = wait_for_scenes(server.screenshot, monitors, daemon_alive, "xscreensaver")
        shot.save_png(os.path.join(args.shots, f"xscreensaver-{len(monitors)}.png"))
        log(f"xscreensaver, {len(monitors)} monitor(s): every scale bar drawn {drawn:.2f} s, every "
            f"whole scene seen {seconds + drawn:.2f} s after -select")
        savers = user.savers()
        check(len(savers) == len(monitors), f"{len(savers)} saver processes for {len(monitors)} "
              "monitors")
        for pid in savers:
            check(command_line_of(pid) == ["drevanti", "--root"],
                  f"started as {command_line_of(pid)}")
        no_window_of_its_own(server, before, host="xscreensaver")
        for pid in savers:
            cpu, rss = usage(pid)
            log(f"saver {pid}: CPU {cpu:.1f} % of one core, {rss:.1f} MB resident")
        started = time.monotonic()
        check(user.run(["xscreensaver-command", "-deactivate"], env).returncode == 0,
              "xscreensaver-command -deactivate failed")
        wait_gone(savers, STOP_LIMIT, "after -deactivate")
        log(f"every saver gone {time.monotonic() - started:.2f} s after -deactivate")
        daemon_log.seek(0)
        output = daemon_log.read().decode(errors="replace")
        check("X Error" not in output and "drevanti:" not in output,
              f"the savers complained:\n{output}")


def case_xsecurelock(args):
    with XServer(size=TWO_MONITOR_SCREEN, monitors=TWO_MONITORS) as server:
        server.run(["xsetroot", "-solid", MARKER])
        bin_dir = tempfile.mkdtemp(prefix="drevanti-xsecurelock-")
        try:
            os.symlink(os.path.abspath(args.saver), os.path.join(bin_dir, "drevanti"))
            env = dict(server.env, PATH=f"{bin_dir}:{os.environ['PATH']}")
            # The README's line.
            locker = subprocess.Popen(["sh", "-c",
                                       'XSECURELOCK_SAVER="$(command -v drevanti)" exec xsecurelock'],
                                      env=program_env(env), stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            try:
                def alive():
                    check(locker.poll() is None, f"xsecurelock ended ({locker.poll()})")

                shot, seconds = wait_for_scenes(server.screenshot, TWO_MONITORS, alive,
                                                "xsecurelock")
                shot.save_png(os.path.join(args.shots, "xsecurelock.png"))
                log(f"xsecurelock: both monitors drawn {seconds:.2f} s after start")
                savers = processes_of(args.saver, locker.pid)
                check(len(savers) == 2, f"{len(savers)} saver processes for two monitors")
                for pid in savers:
                    window = environment_of(pid).get("XSCREENSAVER_WINDOW", "")
                    check(window.isdigit(), f"XSCREENSAVER_WINDOW is {window!r}")
                    check("-root" in command_line_of(pid), f"started as {command_line_of(pid)}")
                cpu, rss = usage(savers[0])
                log(f"saver: CPU {cpu:.1f} % of one core, {rss:.1f} MB resident")
                check(not saver_windows(server), "the hosted saver made a window of its own")
                no_bus_traces(server)
                started = time.monotonic()
                locker.send_signal(signal.SIGTERM)
                wait_gone(savers, STOP_LIMIT, "after xsecurelock's end")
                log(f"savers gone {time.monotonic() - started:.2f} s after SIGTERM to xsecurelock")
            finally:
                if locker.poll() is None:
                    locker.kill()
                locker.wait()
        finally:
            shutil.rmtree(bin_dir, ignore_errors=True)


def case_window_id(args):
    """A window given by --window-id, as xscreensaver's settings preview passes it: drawn in at
    its size and followed when resized; input, the window and the pointer left alone; SIGTERM,
    SIGINT and the window's end each end the saver at once with exit code 0."""
    with XServer() as server:
        def host_window(width, height):
            host = subprocess.Popen([args.probe, "window", str(width), str(height)],
                                    env=server.env, stdout=subprocess.PIPE, text=True)
            server.processes.append(host)
            return host, host.stdout.readline().strip()

        host, window = host_window(640, 400)
        before = server.top_windows()
        saver = Program(server, [args.saver, "--root", "--window-id", window])

        def alive():
            check(saver.running(), f"the saver ended:\n{saver.output()}")

        drawn = wait_for_bars(server, ((640, 400, 0, 0),), alive, saver.started, "window")
        shot, seconds = wait_for_scenes(server.screenshot, ((640, 400, 0, 0),), alive, "window")
        shot.save_png(os.path.join(args.shots, "window-id.png"))
        log(f"--window-id: scale bar drawn {drawn:.2f} s, whole scene seen {seconds + drawn:.2f} s"
            " after start")
        no_window_of_its_own(server, before)
        check(server.run([args.probe, "cursor"]).startswith("visible"), "the pointer is hidden")
        for action in (["mousemove", "100", "100"], ["key", "a"], ["click", "1"],
                       ["mousemove", "300", "200"]):
            server.run(["xdotool", *action])
        time.sleep(1.0)
        alive()
        info = server.run(["xwininfo", "-id", window])
        check("Map State: IsViewable" in info and "Width: 640" in info,
              f"the host's window was changed:\n{info}")
        server.run(["xdotool", "windowsize", window, "800", "500"])
        _, seconds = wait_for_scenes(server.screenshot, ((800, 500, 0, 0),), alive, "resized")
        log(f"resized to 800x500: a new instance at the new size after {seconds:.2f} s")

        started = time.monotonic()
        host.terminate()
        code, _ = saver.wait_end(STOP_LIMIT)
        check(code == 0, f"exit code {code} after the window went:\n{saver.output()}")
        log(f"the window destroyed: exit 0 after {1000 * (time.monotonic() - started):.0f} ms")

        for stop in (signal.SIGTERM, signal.SIGINT):
            host, window = host_window(320, 240)
            saver = Program(server, [args.saver, "--window-id", window])
            wait_for_scenes(server.screenshot, ((320, 240, 0, 0),), alive, "window")
            started = time.monotonic()
            saver.process.send_signal(stop)
            code, _ = saver.wait_end(STOP_LIMIT)
            seconds = time.monotonic() - started
            check(code == 0, f"{stop.name}: exit code {code}:\n{saver.output()}")
            check(seconds <= SIGNAL_LIMIT, f"{stop.name}: ended after {seconds * 1000:.0f} ms")
            log(f"{stop.name}: exit 0 after {seconds * 1000:.0f} ms")
            host.terminate()

        result = subprocess.run([args.saver, "--window-id", "0x7ffff00"], env=program_env(server.env),
                                capture_output=True, text=True, timeout=10)
        check(result.returncode != 0 and "there is no window 0x7ffff00" in result.stderr,
              f"a window that does not exist: exit {result.returncode}, {result.stderr.strip()!r}")
        log(f"no such window: exit {result.returncode}, {result.stderr.strip()}")


def seconds_since_start(pid):
    """How long ago the process started (to the kernel's clock tick)."""
    with open(f"/proc/{pid}/stat") as stat:
        started = int(stat.read().rsplit(")", 1)[1].split()[19]) / os.sysconf("SC_CLK_TCK")
    return time.clock_gettime(time.CLOCK_BOOTTIME) - started


def swayidle_runs(args, user, env, outputs, grab, alive, end, name, last_run_step=None):
    """The README's swayidle line, with an idle time of one second, args.runs times under a
    running compositor: each time every output shows its own scene (grab gives one shot per
    output), the time from the saver's start to that, its CPU share and memory are printed, and
    end(env) stops it (swayidle first, so that it does not start the saver again). In the last
    run last_run_step(), when given, comes before the end."""
    firsts, cpus, rsss = [], [], []
    for run in range(1, args.runs + 1):
        idle = user.start(["swayidle", "-w", "timeout", "1", "drevanti"], env, subprocess.DEVNULL)

        def running():
            alive()
            check(idle.poll() is None, "swayidle ended")

        deadline = time.monotonic() + START_LIMIT
        while not (savers := user.savers()):
            running()
            check(time.monotonic() < deadline, "swayidle did not start drevanti")
            time.sleep(0.01)
        check(len(savers) == 1, f"{len(savers)} saver processes: one covers every output")
        while True:
            running()
            shots = grab()
            # The shot's time, not the time its pixels took to check.
            since_start = seconds_since_start(savers[0])
            problems = [f"run {run}, output {i + 1}: {p}" for i, (shot, o) in
                        enumerate(zip(shots, outputs)) for p in scene_problems(shot, o)]
            if not problems:
                break
            check(since_start < START_LIMIT, "; ".join(problems))
        firsts.append(since_start)
        if run == 1:
            for i, shot in enumerate(shots):
                shot.save_png(os.path.join(args.shots, f"{name}-{i + 1}.png"))
        cpu, rss = usage(savers[0], args.usage_seconds)
        cpus.append(cpu)
        rsss.append(rss)
        log(f"run {run}: every output drawn {firsts[-1]:.2f} s after the saver started; "
            f"CPU {cpu:.1f} % of one core over {args.usage_seconds:g} s, {rss:.1f} MB resident")
        if run == args.runs and last_run_step:
            last_run_step()
        idle.terminate()
        idle.wait()
        end(env)
        wait_gone(savers, STOP_LIMIT + 1, f"run {run}: after the saver was told to end")
    log(f"{name}: every output drawn in {args.runs} of {args.runs} runs, at most {max(firsts):.2f} s "
        f"after the saver started; CPU at most {max(cpus):.1f} % of one core, at most "
        f"{max(rsss):.1f} MB resident")


def case_sway(args):
    """swayidle on a headless sway with two outputs starts drevanti, which covers both; a key (a
    virtual keyboard) ends it."""
    outputs = ((1280, 720, 0, 0), (1024, 768, 1280, 0))
    with ThrowawayUser("drevanti-sway", args.saver) as user:
        runtime = tempfile.mkdtemp(prefix="drevanti-sway-run-")
        shutil.chown(runtime, user.name)
        os.chmod(runtime, 0o700)
        try:
            config = user.write("sway.conf", "output HEADLESS-1 resolution 1280x720 position 0 0\n"
                                "output HEADLESS-2 resolution 1024x768 position 1280 0\n")
            env = {"XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
                   "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1",
                   "WLR_HEADLESS_OUTPUTS": "2"}
            sway = user.start(["sway", "-c", config], env, subprocess.DEVNULL)
            deadline = time.monotonic() + START_LIMIT
            while not os.path.exists(os.path.join(runtime, "wayland-1")):
                check(sway.poll() is None, "sway ended")
                check(time.monotonic() < deadline, "sway did not start")
                time.sleep(0.1)
            env = {"XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": "wayland-1"}

            def grab():
                # One picture of both outputs, taken as root (quicker than as the user): the
                # sooner it comes, the closer the time to the first frame printed.
                grim = subprocess.run(["grim", "-t", "ppm", "-"], env={**os.environ, **env},
                                      capture_output=True, timeout=30)
                check(grim.returncode == 0, f"grim failed: {grim.stderr.decode()}")
                return [parse_ppm(grim.stdout)] * len(outputs)

            def alive():
                check(sway.poll() is None, "sway ended")

            def key(env):
                typed = user.run(["wtype", "-s", "300", "a"], env)
                check(typed.returncode == 0, f"wtype: {typed.stderr}")

            def add_output():
                # An output plugged in while the saver runs (this sway cannot take one away).
                sock = next(f for f in os.listdir(runtime) if f.startswith("sway-ipc."))
                added = time.monotonic()
                created = user.run(["swaymsg", "create_output"],
                                   {**env, "SWAYSOCK": os.path.join(runtime, sock)})
                check(created.returncode == 0, f"swaymsg create_output: {created.stderr}")
                # Shots as fast as grim takes them, judged afterwards: judging one takes longer.
                shots = []
                while time.monotonic() - added < HOTPLUG_LIMIT:
                    grim = subprocess.run(["grim", "-t", "ppm", "-o", "HEADLESS-3", "-"],
                                          env={**os.environ, **env}, capture_output=True)
                    if grim.returncode == 0:
                        shots.append((time.monotonic() - added, grim.stdout))
                problems = ["no shot of HEADLESS-3"]
                for seconds, data in shots:
                    shot = parse_ppm(data)
                    problems = scene_problems(shot, (shot.width, shot.height, 0, 0))
                    if not problems:
                        shot.save_png(os.path.join(args.shots, "sway-added.png"))
                        log(f"an output added during the run: its own {shot.width}x"
                            f"{shot.height} scene {seconds:.2f} s after it was created")
                        return
                raise Failure(f"the added output {HOTPLUG_LIMIT:g} s after it was created: " +
                              "; ".join(problems))

            swayidle_runs(args, user, env, outputs, grab, alive, key, "sway", add_output)
        finally:
            shutil.rmtree(runtime, ignore_errors=True)


SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={path}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
  </policy>
</busconfig>
"""


def case_kwin(args):
    """swayidle under KWin's virtual backend with two outputs (KDE's idle protocol) starts
    drevanti, which covers both; SIGTERM, as a session's end sends it, ends it. KWin's own
    screenshot interface, on a session bus of the test's, shows what is on each output."""
    outputs = ((1280, 720, 0, 0), (1280, 720, 0, 0))
    names = ("Virtual-0", "Virtual-1")
    with ThrowawayUser("drevanti-kwin", args.saver) as user:
        runtime = tempfile.mkdtemp(prefix="drevanti-kwin-run-")
        shots_dir = tempfile.mkdtemp(prefix="drevanti-kwin-shots-")
        shutil.chown(runtime, user.name)
        os.chmod(runtime, 0o700)
        screens = None
        try:
            bus = os.path.join(runtime, "bus")
            config = user.write("bus.conf", SESSION_BUS_CONFIG.format(path=bus))
            user.start(["dbus-daemon", "--nofork", f"--config-file={config}"], {},
                       subprocess.DEVNULL)
            # Debian gives kwin_wayland a file capability (CAP_SYS_RESOURCE), which a container
            # may not grant, and then it cannot be started at all; a copy without runs.
            kwin = os.path.join(user.bin, "kwin_wayland")
            shutil.copy("/usr/bin/kwin_wayland", kwin)
            address = f"unix:path={bus}"
            env = {"XDG_RUNTIME_DIR": runtime, "DBUS_SESSION_BUS_ADDRESS": address}
            compositor = user.start([kwin, "--virtual", "--output-count", "2", "--width", "1280",
                                     "--height", "720", "--socket", "wayland-1"],
                                    {**env, "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1"},
                                    subprocess.DEVNULL)
            deadline = time.monotonic() + START_LIMIT
            while not os.path.exists(os.path.join(runtime, "wayland-1")):
                check(compositor.poll() is None, "kwin_wayland ended")
                check(time.monotonic() < deadline, "kwin_wayland did not start")
                time.sleep(0.1)
            env["WAYLAND_DISPLAY"] = "wayland-1"
            screens = subprocess.Popen(
                ["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "kwin_screens.py"),
                 address, shots_dir, *names], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                text=True)

            def grab():
                screens.stdin.write("shot\n")
                screens.stdin.flush()
                answer = screens.stdout.readline().strip()
                check(answer == "ok", f"KWin's screenshot: {answer or 'no answer'}")
                shots = []
                for name in names:
                    with open(os.path.join(shots_dir, f"shot-{name}.ppm"), "rb") as shot:
                        shots.append(parse_ppm(shot.read()))
                return shots

            def alive():
                check(compositor.poll() is None, "kwin_wayland ended")

            def terminate(env):
                for pid in user.savers():
                    os.kill(pid, signal.SIGTERM)

            swayidle_runs(args, user, env, outputs, grab, alive, terminate, "kwin")
        finally:
            if screens:
                screens.stdin.close()
                screens.wait()
            shutil.rmtree(runtime, ignore_errors=True)
            shutil.rmtree(shots_dir, ignore_errors=True)


BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
  </policy>
</busconfig>
"""


def case_xss_lock(args):
    """xss-lock starts drevanti when the X server's screen saver activates. It asks
    systemd-logind for its session, which a test machine does not run: a private system bus with
    a stand-in for that one service (fake_logind.py) answers instead."""
    work = tempfile.mkdtemp(prefix="drevanti-xss-lock-")
    helpers = []
    try:
        with open(os.path.join(work, "bus.conf"), "w") as conf:
            conf.write(BUS_CONFIG)
        bus = subprocess.Popen(["dbus-daemon", "--config-file", os.path.join(work, "bus.conf"),
                                "--nofork", "--print-address"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        helpers.append(bus)
        address = bus.stdout.readline().strip()
        check(address, "the private bus did not start")
        logind = subprocess.Popen(["/usr/bin/python3",
                                   os.path.join(os.path.dirname(__file__), "fake_logind.py")],
                                  env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address),
                                  stdout=subprocess.PIPE, text=True)
        helpers.append(logind)
        check(logind.stdout.readline().strip() == "ready", "the logind stand-in did not start")
        os.symlink(args.saver, os.path.join(work, "drevanti"))
        with XServer() as server:
            env = dict(server.env, DBUS_SYSTEM_BUS_ADDRESS=address,
                       PATH=f"{work}:{os.environ['PATH']}")
            # The README's line.
            locker = subprocess.Popen(["sh", "-c", "exec xss-lock -- drevanti"],
                                      env=program_env(env), stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            helpers.append(locker)
            time.sleep(1.0)
            started = time.monotonic()
            server.run(["xset", "s", "activate"])

            def alive():
                check(locker.poll() is None, f"xss-lock ended ({locker.poll()})")

            shot, seconds = wait_for_scenes(server.screenshot, ONE_MONITOR, alive, "xss-lock")
            shot.save_png(os.path.join(args.shots, "xss-lock.png"))
            log(f"xss-lock: drawn {seconds:.2f} s after the X screen saver activated")
            savers = processes_of(args.saver, locker.pid)
            check(len(savers) == 1, f"{len(savers)} saver processes")
            cpu, rss = usage(savers[0])
            log(f"saver: CPU {cpu:.1f} % of one core, {rss:.1f} MB resident")
            started = time.monotonic()
            server.run(["xdotool", "key", "a"])
            wait_gone(savers, STOP_LIMIT, "after a key")
            log(f"a key ended it after {1000 * (time.monotonic() - started):.0f} ms")
            time.sleep(0.3)
            alive()
        logind.terminate()
        told = logind.stdout.read()
        check("SetLockedHint(True,)" in told and "SetLockedHint(False,)" in told,
              f"xss-lock did not see the saver start and end: {told!r}")
    finally:
        for helper in reversed(helpers):
            if helper.poll() is None:
                helper.terminate()
            helper.wait()
        shutil.rmtree(work, ignore_errors=True)


# --- Full screen on unusual screens ---------------------------------------------------------------


def case_two_monitors(args):
    with XServer(size=TWO_MONITOR_SCREEN, monitors=TWO_MONITORS) as server:
        for action, before in ((["key", "a"], None),
                               (["mousemove_relative", "--", "0", "1"], ["mousemove", "1600", "300"])):
            server.run(["xsetroot", "-solid", MARKER])
            if before:
                server.run(["xdotool", *before])
            before = server.top_windows()
            saver = Program(server, [args.saver])

            def alive():
                check(saver.running(), f"the saver ended:\n{saver.output()}")

            drawn = wait_for_bars(server, TWO_MONITORS, alive, saver.started, "full screen")
            shot, seconds = wait_for_scenes(server.screenshot, TWO_MONITORS, alive, "full screen")
            shot.save_png(os.path.join(args.shots, "two-monitors.png"))
            log(f"two monitors: both scale bars drawn {drawn:.2f} s, both whole scenes seen "
                f"{seconds + drawn:.2f} s after start")
            no_window_of_its_own(server, before, own=len(TWO_MONITORS))
            check(server.run([args.probe, "cursor"]).startswith("hidden"), "the pointer shows")
            started = time.monotonic()
            server.run(["xdotool", *action])
            code, _ = saver.wait_end(STOP_LIMIT)
            check(code == 0, f"exit code {code}:\n{saver.output()}")
            log(f"{' '.join(action)}: all ended, exit 0 after "
                f"{1000 * (time.monotonic() - started):.0f} ms")
            check(server.run([args.probe, "cursor"]).startswith("visible"), "the pointer stays hidden")


def saver_windows(server):
    """The saver's windows on the screen: {id: (width, height, x, y)}."""
    for _ in range(10):
        # A window destroyed while xwininfo walks the tree fails it: then it looks again.
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=server.env, capture_output=True,
                              text=True, timeout=20)
        if tree.returncode == 0:
            break
    check(tree.returncode == 0, f"xwininfo -root -tree failed: {tree.stderr.strip()}")
    windows = {}
    for line in tree.stdout.splitlines():
        if f'"{SAVER_TITLE}"' in line:
            geometry = line.split()[-2]
            size, x, y = geometry.split("+")
            w, h = size.split("x")
            windows[line.split()[0]] = (int(w), int(h), int(x), int(y))
    return windows


def case_hot_plug(args):
    """Full screen while a monitor comes and goes, twice: the monitor added gets a window of its own
    (above everything, on the monitor, the pointer hidden) with its own scene within a second;
    the monitor deleted loses its window and the desktop shows there again; the remaining
    monitor's demonstration goes on, and a key still ends the saver."""
    first, added = TWO_MONITORS
    with XServer(size=TWO_MONITOR_SCREEN, monitors=(first,)) as server:
        server.run(["xsetroot", "-solid", MARKER])
        # The pointer rests where the monitor appears: it must be hidden there too.
        server.run(["xdotool", "mousemove", "1600", "300"])
        saver = Program(server, [args.saver])

        def alive():
            check(saver.running(), f"the saver ended:\n{saver.output()}")

        wait_for_scenes(server.screenshot, (first,), alive, "full screen")
        w, h, x, y = added
        for cycle in (1, 2):
            server.run(["xrandr", "--setmonitor", "DREVANTI-2",
                        f"{w}/{w * 254 // 960}x{h}/{h * 254 // 960}+{x}+{y}", "none"])
            changed = time.monotonic()
            # The latency: from the change to the first grab of the bar's row that shows the bar.
            left, right = saver_e2e.bar_ends(w)
            bar_row = (right - left + 1, 1, x + left, y + saver_e2e.BAR_Y)
            while server.screenshot(bar_row).count(is_red) != right - left + 1:
                alive()
                check(time.monotonic() - changed <= HOT_PLUG_LIMIT,
                      "the added monitor shows no scale bar a second after the change")
            drawn = time.monotonic() - changed
            # Then its whole scene, with nothing of the desktop, within the same second.
            wait_for_scenes(lambda: server.screenshot(added), ((w, h, 0, 0),), alive,
                            "monitor added")
            seconds = time.monotonic() - changed
            check(seconds <= HOT_PLUG_LIMIT,
                  f"the added monitor showed its whole scene only {seconds:.2f} s after the change")
            shot, _ = wait_for_scenes(server.screenshot, TWO_MONITORS, alive, "both monitors")
            shot.save_png(os.path.join(args.shots, f"hot-plug-{cycle}.png"))
            windows = saver_windows(server)
            check(sorted(windows.values()) == sorted(TWO_MONITORS), f"the windows: {windows}")
            new = next(i for i, place in windows.items() if place == added)
            check("Override Redirect State: yes" in server.run(["xwininfo", "-id", new]),
                  "the new window is left to the window manager")
            check(server.run([args.probe, "cursor"]).startswith("hidden"),
                  "the pointer shows over the new monitor")
            log(f"cycle {cycle}: monitor added, its scale bar drawn within {drawn:.2f} s of the "
                f"change, its whole scene seen {seconds:.2f} s after it (screenshot polling)")
            server.run(["xrandr", "--delmonitor", "DREVANTI-2"])
            changed = time.monotonic()
            while sorted(saver_windows(server).values()) != [first]:
                alive()
                check(time.monotonic() - changed < HOT_PLUG_LIMIT,
                      f"the deleted monitor's window stays: {saver_windows(server)}")
                time.sleep(0.02)
            gone = time.monotonic() - changed
            shot = server.screenshot()
            check(shot.count(is_marker, (x, y, w, h)) == w * h,
                  "the deleted monitor's place does not show the desktop")
            log(f"cycle {cycle}: monitor deleted, its window gone within {gone:.2f} s")
            wait_for_scenes(server.screenshot, (first,), alive, "after the monitor went")
        started = time.monotonic()
        server.run(["xdotool", "key", "a"])
        code, _ = saver.wait_end(STOP_LIMIT)
        check(code == 0, f"exit code {code}:\n{saver.output()}")
        log(f"key: all ended, exit 0 after {1000 * (time.monotonic() - started):.0f} ms")
        check(server.run([args.probe, "cursor"]).startswith("visible"), "the pointer stays hidden")


def case_narrow_screen(args):
    """A screen 30 pixels wide has no room for an instance: the saver stays black, idle, and
    still ends on a key."""
    with XServer(size=(30, 200)) as server:
        saver = Program(server, [args.saver])
        time.sleep(2.0)
        check(saver.running(), f"the saver ended:\n{saver.output()}")
        cpu, _ = usage(saver.process.pid, 2.0)
        check(cpu < 20, f"it spins: {cpu:.0f} % of one core")
        server.run(["xdotool", "key", "a"])
        code, seconds = saver.wait_end(STOP_LIMIT)
        check(code == 0, f"exit code {code}:\n{saver.output()}")
        log(f"30x200: CPU {cpu:.1f} %, a key ended it, exit 0 after {seconds * 1000:.0f} ms")


def case_depth_8(args):
    with XServer(depth=8) as server:
        result = subprocess.run([args.saver], env=program_env(server.env), capture_output=True,
                                text=True, timeout=20)
        check(result.returncode != 0, "the saver claims success on an 8-bit display")
        check("drevanti: cannot draw on this display" in result.stderr,
              f"unclear message: {result.stderr.strip()!r}")
        check(server.run([args.probe, "cursor"]).startswith("visible"), "the pointer stays hidden")
        log(f"8-bit display: exit {result.returncode}: {result.stderr.strip()}")


CASES = {
    "xscreensaver": lambda a: case_xscreensaver(a, ONE_MONITOR),
    "xscreensaver-two-monitors": lambda a: case_xscreensaver(a, TWO_MONITORS),
    "xsecurelock": case_xsecurelock,
    "xss-lock": case_xss_lock,
    "window-id": case_window_id,
    "sway": case_sway,
    "kwin": case_kwin,
    "two-monitors": case_two_monitors,
    "hot-plug": case_hot_plug,
    "narrow-screen": case_narrow_screen,
    "depth-8": case_depth_8,
}


if __name__ == "__main__":
    sys.exit(saver_e2e.main(CASES))
