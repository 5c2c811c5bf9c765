#!/usr/bin/env python3
"""The saver on the desktops people have by default, each case the real desktop program on private
buses and a private display, as a throwaway user of its own (made with useradd, so the cases need
root), with a copy of the saver named drevanti on that user's PATH:

  gnome          headless GNOME Shell with two virtual monitors: drevanti --register starts the
                 watcher, whose time comes from GNOME's idle delay (6 s, so 3 s); the saver covers
                 both monitors with their own scenes and hides the pointer; a key ends it with the
                 watcher still there, pointer motion on the second monitor the next one, GNOME's
                 own screen saver coming on the third; drevanti --unregister takes it all out
  gnome-inhibit  the same shell with an application holding idleness back (a fake
                 org.gnome.SessionManager, as mutter reads it): the saver does not start until the
                 application lets go; the watcher's cost at rest; the shell's end ends the watcher
  kwin           KWin's virtual backend with two outputs: the watcher starts the saver through
                 ext_idle_notifier_v1, a key ends it, Plasma's locker coming on ends the next,
                 SIGTERM ends the watcher and its saver, KWin's end the watcher
  mate           mate-screensaver under Xvfb lists the theme and runs it in its window when
                 activated; its deactivation (SIGTERM) ends it
  mate-preview   mate-screensaver-preferences previews the theme in its dialog; closing the
                 dialog ends the preview

mate-screensaver runs themes only from a few folders, /usr/libexec/xscreensaver among them: the
MATE cases run it in a mount namespace of their own where a folder of the test's is that folder,
so the machine's own stays as it is.

usage: desktops_e2e.py CASE --saver BIN --probe BIN --shots DIR --theme FILE [--kwin-input BIN]
       [--usage-seconds S]
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import saver_e2e
from hosts_e2e import (SESSION_BUS_CONFIG, ThrowawayUser, command_line_of, live, scene_problems,
                       seconds_since_start, wait_gone)
from saver_e2e import Failure, XServer, check, parse_ppm, program_env

# The idle time the cases ask for, and the same in seconds.
IDLE_MINUTES = "0.05"
IDLE = 3.0
# GNOME's idle delay of the gnome case, whose watcher waits half of it.
GNOME_IDLE_DELAY = 6
# How early a compositor may report the idle time (KWin's 3 s came up to 0.29 s early).
EARLY = 0.6
# How long a desktop may take to start, and the saver to show itself after the idle time.
START_LIMIT = 60.0
SHOW_LIMIT = 10.0
# How long the saver may take to end on input or when told; the watcher to go when its bus or
# compositor does.
STOP_LIMIT = 2.0
GONE_LIMIT = 5.0
GNOME_MONITORS = ((1280, 720, 0, 0), (1024, 768, 1280, 0))
KWIN_OUTPUTS = ("Virtual-0", "Virtual-1")
KWIN_OUTPUT = (1280, 720, 0, 0)
# The root window's colour under mate-screensaver: none of it may show through its window.
MARKER = "#ff00ff"
HERE = os.path.dirname(os.path.abspath(__file__))
SYSTEM_PYTHON = "/usr/bin/python3"


def log(text):
    print(text, flush=True)


def wait_until(condition, seconds, message, step=0.02):
    deadline = time.monotonic() + seconds
    while not (value := condition()):
        check(time.monotonic() < deadline, message)
        time.sleep(step)
    return value


def file_text(path):
    try:
        with open(path, errors="replace") as text:
            return text.read()
    except OSError:
        return ""


def stop(process, seconds=10):
    """Ends the process: SIGTERM, and SIGKILL when it has not ended seconds later."""
    if process.poll() is None:
        process.terminate()
    try:
        process.wait(seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def rest_cost(pid, seconds):
    """The process's CPU share of one core, resident memory in MB and wake-ups a second (the
    context switches of all its threads) over the given time."""
    def sample():
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        switches = 0
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/status") as status:
                switches += sum(int(line.split()[1]) for line in status
                                if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
        return time.monotonic(), int(fields[11]) + int(fields[12]), switches

    t0, cpu0, switches0 = sample()
    time.sleep(seconds)
    t1, cpu1, switches1 = sample()
    with open(f"/proc/{pid}/status") as status:
        rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))
    return (100.0 * (cpu1 - cpu0) / os.sysconf("SC_CLK_TCK") / (t1 - t0), rss / 1024,
            (switches1 - switches0) / (t1 - t0))


class Helper:
    """A helper program that answers each line it reads with one line, "ok" first when done."""

    def __init__(self, argv, env=None, ready=None):
        self.process = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, env=env)
        if ready:
            line = self.process.stdout.readline().strip()
            check(line == ready, f"{os.path.basename(argv[1])} did not start: {line!r}")

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        check(answer.startswith("ok"), f"{command}: {answer or 'no answer'}")
        return answer[3:]

    def close(self):
        self.process.stdin.close()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


# --- A user's session -----------------------------------------------------------------------------


class UserSession:
    """A throwaway user's desktop session without a desktop: a runtime folder, a session bus (and
    with system_bus a bus of system type, which GNOME Shell insists on), GSettings in a keyfile
    holding the given text, and the environment its programs get."""

    def __init__(self, user, system_bus=False, keyfile=""):
        self.user, self.system_bus, self.keyfile = user, system_bus, keyfile

    def __enter__(self):
        user = self.user
        self.runtime = tempfile.mkdtemp(prefix=f"{user.name}-run-")
        shutil.chown(self.runtime, user.name)
        os.chmod(self.runtime, 0o700)
        config = os.path.join(user.home, ".config")
        settings = os.path.join(config, "glib-2.0", "settings")
        os.makedirs(settings)
        with open(os.path.join(settings, "keyfile"), "w") as keys:
            keys.write(self.keyfile)
        for top, _, _ in os.walk(config):
            shutil.chown(top, user.name)
        shutil.chown(os.path.join(settings, "keyfile"), user.name)
        self.address = self.start_bus("session", "bus")
        self.env = {"XDG_RUNTIME_DIR": self.runtime, "DBUS_SESSION_BUS_ADDRESS": self.address,
                    "XDG_CONFIG_HOME": config,
                    "XDG_DATA_HOME": os.path.join(user.home, ".local", "share"),
                    "XDG_CACHE_HOME": os.path.join(user.home, ".cache"),
                    "GSETTINGS_BACKEND": "keyfile", "NO_AT_BRIDGE": "1"}
        if self.system_bus:
            self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self.start_bus("system", "system_bus_socket")
        return self

    def start_bus(self, kind, name):
        """A bus of the kind, its socket in the runtime folder, with no service activation at all
        (nothing of the machine's starts on it); its address."""
        socket = os.path.join(self.runtime, name)
        config = self.user.write(f"{name}.conf", SESSION_BUS_CONFIG.format(path=socket).replace(
            "<type>session</type>", f"<type>{kind}</type>"))
        daemon = self.user.start(["dbus-daemon", "--nofork", f"--config-file={config}"], {},
                                 subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(socket) or daemon.poll() is not None, 10,
                   f"the {kind} bus did not start")
        check(daemon.poll() is None, f"the {kind} bus ended")
        return f"unix:path={socket}"

    def __exit__(self, *exc):
        # The user's processes go with the throwaway user.
        shutil.rmtree(self.runtime, ignore_errors=True)
        return False

    def run(self, argv, extra=None):
        return self.user.run(argv, {**self.env, **(extra or {})})

    def start(self, argv, log_file, extra=None):
        return self.user.start(argv, {**self.env, **(extra or {})}, log_file)


def parent_of(pid):
    with open(f"/proc/{pid}/stat") as stat:
        return int(stat.read().rsplit(")", 1)[1].split()[1])


def savers(user):
    """The user's full-screen savers: drevanti without arguments."""
    found = []
    for pid in user.savers():
        try:
            if command_line_of(pid) == ["drevanti"]:
                found.append(pid)
        except OSError:
            pass
    return found


def watchers(user):
    found = []
    for pid in user.savers():
        try:
            if any(a.startswith("--on-idle") for a in command_line_of(pid)):
                found.append(pid)
        except OSError:
            pass
    return live(found)


def no_saver_for(user, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        check(not savers(user), f"a saver started {what}")
        time.sleep(0.05)
    log(f"no saver started {what} in {seconds:g} s")


class Watching:
    """How a watcher fares: its process, the log it writes, and what each run of its saver
    showed."""

    def __init__(self, user, log_path, alive):
        self.user, self.log_path, self.alive = user, log_path, alive

    def pid(self):
        found = watchers(self.user)
        check(len(found) == 1, f"{len(found)} watchers run, not one:\n{self.said()}")
        return found[0]

    def said(self):
        return file_text(self.log_path)

    def next_saver(self, since, grab, monitors, what):
        """Waits for the saver the watcher starts after the idle time from since (the last
        input), and until every monitor shows its own scene in a shot from grab; prints and
        returns (saver pid, shots). The saver may not start early."""
        watcher = self.pid()
        saver = wait_until(lambda: self.alive() and savers(self.user), IDLE + SHOW_LIMIT,
                           f"{what}: no saver {IDLE + SHOW_LIMIT:g} s after the last input\n"
                           f"{self.said()}")[0]
        started = time.monotonic() - seconds_since_start(saver)
        check(started - since >= IDLE - EARLY,
              f"{what}: the saver started {started - since:.2f} s after the last input, before "
              f"the idle time of {IDLE:g} s")
        check(parent_of(saver) == watcher, f"the saver {saver} is not the watcher's child")
        before = None
        while True:
            self.alive()
            asked = time.monotonic()
            shots = grab()
            problems = [f"monitor {i + 1}: {p}" for i, (shot, place) in
                        enumerate(zip(shots, monitors)) for p in scene_problems(shot, place)]
            if not problems:
                break
            if asked - started >= SHOW_LIMIT:
                shots[0].save_png(saver_e2e.FAILURE_SHOT)
                raise Failure(f"{what}: " + "; ".join(problems) + f"\nthe watcher said:\n"
                              f"{self.said()}(the last shot: {saver_e2e.FAILURE_SHOT})")
            before = asked
        idle_at = since + IDLE
        log(f"{what}: the saver started {started - idle_at:+.2f} s after the idle time, every "
            f"monitor's scene seen by {asked - idle_at:+.2f} s"
            + (f" (not yet at {before - idle_at:+.2f} s)" if before else "")
            + f", {asked - started:.2f} s after the saver's start")
        return saver, shots

    def ends_with(self, compositor, watcher, name, message):
        """The compositor ends: the watcher (its process as started) says so and ends with 1, at
        once rather than waiting on."""
        ended = time.monotonic()
        compositor.terminate()
        try:
            status = watcher.wait(GONE_LIMIT)
        except subprocess.TimeoutExpired:
            raise Failure(f"the watcher still runs {GONE_LIMIT:g} s after {name} ended")
        check(status == 1 and f"drevanti: {message}" in self.said(),
              f"the watcher after {name}'s end: exit {status}\n{self.said()}")
        log(f"{name} ended: the watcher ended {time.monotonic() - ended:.2f} s later, exit "
            f"{status}: {message}")

    def saver_ends(self, saver, limit, what):
        ended = wait_gone([saver], limit, what)
        check(self.pid(), "the watcher ended with its saver")
        log(f"{what}: the saver ended {ended:.2f} s later, the watcher runs on")


# --- GNOME ----------------------------------------------------------------------------------------


GNOME_KEYS = """[org/gnome/shell]
welcome-dialog-last-shown-version='999'
[org/gnome/desktop/notifications]
show-banners=false
[org/gnome/desktop/interface]
enable-hot-corners=false
[org/gnome/desktop/session]
idle-delay=uint32 {delay}
"""


class GnomeShell:
    """A headless GNOME Shell (Wayland, no Xwayland) with the two virtual monitors, in the
    session, up and out of its start-up overview, and gnome_tools.py beside it (as tools)."""

    def __init__(self, session):
        self.session = session

    def __enter__(self):
        session = self.session
        # Nothing may cover the saver: no welcome tour, no notification banners and no hot corner
        # where the tests put the pointer (keyfile), no warning of a screen lock that cannot work
        # without GDM, which the shell shows once per home.
        data = session.env["XDG_DATA_HOME"]
        os.makedirs(os.path.join(data, "gnome-shell"))
        open(os.path.join(data, "gnome-shell", "lock-warning-shown"), "w").close()
        for top, _, _ in os.walk(os.path.join(session.user.home, ".local")):
            shutil.chown(top, session.user.name)
        self.log_path = os.path.join(session.runtime, "shell.log")
        monitors = [a for w, h, _, _ in GNOME_MONITORS for a in ("--virtual-monitor", f"{w}x{h}")]
        started = time.monotonic()
        with open(self.log_path, "w") as shell_log:
            self.process = session.start(
                ["gnome-shell", "--headless", "--wayland", "--no-x11", "--wayland-display",
                 "wayland-0", *monitors], shell_log)
        wait_until(lambda: self.alive() and "GNOME Shell started" in file_text(self.log_path),
                   START_LIMIT, "GNOME Shell did not start", 0.1)
        property_call = ["gdbus", "call", "--session", "-d", "org.gnome.Shell", "-o",
                         "/org/gnome/Shell", "-m"]
        bus_env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=session.address)

        def overview_closed():
            subprocess.run(property_call + ["org.freedesktop.DBus.Properties.Set",
                                            "org.gnome.Shell", "OverviewActive", "<false>"],
                           env=bus_env, capture_output=True)
            return "false" in subprocess.run(
                property_call + ["org.freedesktop.DBus.Properties.Get", "org.gnome.Shell",
                                 "OverviewActive"], env=bus_env, capture_output=True,
                text=True).stdout

        wait_until(overview_closed, 10, "GNOME Shell stays in its overview", 0.1)
        log(f"GNOME Shell up in {time.monotonic() - started:.2f} s")
        session.env["WAYLAND_DISPLAY"] = "wayland-0"
        self.tools = Helper([SYSTEM_PYTHON, os.path.join(HERE, "gnome_tools.py"),
                             session.address])
        self.shots = tempfile.mkdtemp(prefix="drevanti-gnome-shots-")
        shutil.chown(self.shots, session.user.name)
        return self

    def alive(self):
        check(self.process.poll() is None,
              f"GNOME Shell ended; its log:\n{file_text(self.log_path)[-3000:]}")
        return True

    def input(self, command):
        """Injects input; returns the time it was done."""
        self.tools.ask(command)
        return time.monotonic()

    def shot(self, cursor=False):
        png = os.path.join(self.shots, "stage.png")
        ppm = os.path.join(self.shots, "stage.ppm")
        self.tools.ask(f"shot {png} {ppm}" + (" cursor" if cursor else ""))
        with open(ppm, "rb") as picture:
            return parse_ppm(picture.read())

    def grab(self):
        shot = self.shot()
        return [shot] * len(GNOME_MONITORS)

    def __exit__(self, *exc):
        self.tools.close()
        stop(self.process)
        shutil.rmtree(self.shots, ignore_errors=True)
        return False


# Where the gnome case puts the pointer: at the first monitor's left edge, low, where the saver
# never draws (terminals keep 15 pixels from the edges, their circles 4 pixels around them), and
# the box (x, y, w, h) around it that shows it when it is drawn; the second monitor's the same,
# 1280 pixels on.
POINTER = (3, 706)
POINTER_BOX = (0, 696, 11, 24)
SECOND_MONITOR = 1280
# How long the saver may take to hide the pointer (mutter tells it about a still pointer late).
HIDE_LIMIT = 5.0


def pointer_pixels(shot, dx=0):
    x, y, w, h = POINTER_BOX
    return [shot.rgb[3 * (row * shot.width + x + dx):3 * (row * shot.width + x + dx + w)]
            for row in range(y, y + h)]


def pointer_hidden(shell, saver, dx=0):
    """Waits until the shell draws no pointer over the saver (nothing but black in the box, in a
    picture with the pointer drawn in); returns the seconds from the saver's start."""
    def hidden():
        shot = shell.shot(cursor=True)
        return not any(row.strip(b"\0") for row in pointer_pixels(shot, dx))

    wait_until(hidden, HIDE_LIMIT, f"the pointer shows over the saver {HIDE_LIMIT:g} s after it "
               "started")
    return seconds_since_start(saver)


def case_gnome(args):
    with ThrowawayUser("drevanti-gnome", args.saver) as user, \
            UserSession(user, system_bus=True,
                        keyfile=GNOME_KEYS.format(delay=GNOME_IDLE_DELAY)) as session, \
            GnomeShell(session) as shell:
        services = Helper([SYSTEM_PYTHON, os.path.join(HERE, "fake_desktop_services.py"),
                           session.address, "--screen-saver", "org.gnome.ScreenSaver"],
                          ready="ready")
        try:
            # The pointer to the first monitor's left edge (relative motion stops at the stage's
            # edges), after the virtual devices' first use; there the desktop shows it.
            shell.input("warm-up")
            shell.input("motion -5000 -5000")
            shell.input(f"motion {POINTER[0]} {POINTER[1]}")
            check(pointer_pixels(shell.shot(cursor=True)) != pointer_pixels(shell.shot()),
                  f"no pointer seen in {POINTER_BOX} on the desktop: the shots cannot tell "
                  "whether it is hidden")
            register = session.run(["drevanti", "--register"], {"XDG_CURRENT_DESKTOP": "GNOME"})
            check(register.returncode == 0, f"drevanti --register: {register.stderr}")
            log(register.stdout.strip())
            entry = os.path.join(session.env["XDG_CONFIG_HOME"], "autostart", "drevanti.desktop")
            text = file_text(entry)
            check("\nExec=drevanti --on-idle\n" in text and "OnlyShowIn=GNOME;KDE;" in text,
                  f"the autostart entry:\n{text}")
            valid = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
            check(valid.returncode == 0 and not valid.stdout.strip(),
                  f"desktop-file-validate: {valid.stdout}")
            log_path = os.path.join(session.runtime, "drevanti-on-idle.log")
            watching = Watching(user, log_path, shell.alive)
            check(watching.pid(), "no watcher")
            check(f"after 3 seconds without input (GNOME blanking the screen after "
                  f"{GNOME_IDLE_DELAY} seconds), as GNOME's idle monitor" in watching.said(),
                  f"the watcher says:\n{watching.said()}")
            again = session.run(["drevanti", "--on-idle"])
            check(again.returncode == 0 and "a watcher runs already" in again.stdout,
                  f"a second watcher: exit {again.returncode}, {again.stdout}{again.stderr}")
            # The idle time from here: left shift, which types nothing.
            last = shell.input("key 42")

            saver, shots = watching.next_saver(last, shell.grab, GNOME_MONITORS,
                                               "GNOME, first idle time")
            shots[0].save_png(os.path.join(args.shots, "gnome-both-monitors.png"))
            log(f"the pointer hidden on the first monitor {pointer_hidden(shell, saver):.2f} s "
                "after the saver's start")
            cpu, rss, wakeups = rest_cost(watching.pid(), args.usage_seconds)
            log(f"the watcher while its saver runs: CPU {cpu:.2f} % of one core, {rss:.1f} MB "
                f"resident, {wakeups:.2f} wake-ups a second over {args.usage_seconds:g} s")
            last = shell.input("key 30")
            watching.saver_ends(saver, STOP_LIMIT, "a key")

            # Over the second monitor this time.
            last = shell.input(f"motion {SECOND_MONITOR} 0")
            saver, _ = watching.next_saver(last, shell.grab, GNOME_MONITORS,
                                           "GNOME, second idle time")
            log(f"the pointer hidden on the second monitor "
                f"{pointer_hidden(shell, saver, SECOND_MONITOR):.2f} s after the saver's start")
            last = shell.input("motion 3 3")
            watching.saver_ends(saver, STOP_LIMIT, "pointer motion on the second monitor")

            saver, _ = watching.next_saver(last, shell.grab, GNOME_MONITORS,
                                           "GNOME, third idle time")
            services.ask("active")
            watching.saver_ends(saver, STOP_LIMIT, "GNOME's own screen saver coming on")
            # None starts under it, but once it is off again.
            shell.input("key 42")
            no_saver_for(user, IDLE + 2, "while GNOME's own screen saver is on")
            services.ask("inactive")
            last = shell.input("key 42")
            saver, _ = watching.next_saver(last, shell.grab, GNOME_MONITORS,
                                           "GNOME, after its own screen saver")
            shell.input("key 30")
            watching.saver_ends(saver, STOP_LIMIT, "a key")

            # GNOME's idle delay set anew is followed.
            changed = session.run(["gsettings", "set", "org.gnome.desktop.session", "idle-delay",
                                   "600"])
            check(changed.returncode == 0, f"gsettings set: {changed.stderr}")
            wait_until(lambda: "after 9 minutes without input (GNOME blanking the screen after 10 "
                               "minutes)" in watching.said(), 5,
                       f"the watcher did not follow GNOME's new idle delay:\n{watching.said()}")

            watcher = watching.pid()
            unregister = session.run(["drevanti", "--unregister"])
            check(unregister.returncode == 0 and "stopped the watcher" in unregister.stdout,
                  f"drevanti --unregister: {unregister.stdout}{unregister.stderr}")
            check(not os.path.exists(entry) and not live([watcher]) and not user.savers(),
                  "drevanti --unregister left the entry or a process")
            log(unregister.stdout.strip())
            problems = [line for line in watching.said().splitlines()
                        if "the saver starts after" not in line]
            check(not problems, f"the watcher complained:\n{watching.said()}")
        finally:
            services.close()


def case_gnome_inhibit(args):
    with ThrowawayUser("drevanti-gnome-inh", args.saver) as user, \
            UserSession(user, system_bus=True, keyfile=GNOME_KEYS.format(delay=300)) as session, \
            GnomeShell(session) as shell:
        services = Helper([SYSTEM_PYTHON, os.path.join(HERE, "fake_desktop_services.py"),
                           session.address, "--session-manager"], ready="ready")
        try:
            shell.input("warm-up")
            shell.input("inhibit")
            log_path = os.path.join(session.runtime, "watcher.log")
            with open(log_path, "w") as watcher_log:
                watcher = session.start(["drevanti", f"--on-idle={IDLE_MINUTES}"], watcher_log)
            watching = Watching(user, log_path, shell.alive)
            wait_until(lambda: "GNOME's idle monitor reports" in watching.said(), 10,
                       f"the watcher does not watch:\n{watching.said()}")
            held = max(3 * IDLE, args.usage_seconds)
            cpu, rss, wakeups = rest_cost(watching.pid(), held)
            check(not savers(user), "the saver started while idleness was held back")
            log(f"idleness held back: no saver in {held:g} s; the watcher meanwhile: CPU "
                f"{cpu:.2f} % of one core, {rss:.1f} MB resident, {wakeups:.2f} wake-ups a second")
            check(wakeups < 1 and cpu < 1, "the watcher does not sleep at rest")
            last = shell.input("uninhibit")
            # Mutter counts the idle time anew from the inhibitor's end.
            saver, _ = watching.next_saver(last, shell.grab, GNOME_MONITORS,
                                           "GNOME, once idleness is let go")
            shell.input("key 30")
            watching.saver_ends(saver, STOP_LIMIT, "a key")
            watching.ends_with(shell.process, watcher, "GNOME Shell",
                               "GNOME's idle monitor (org.gnome.Mutter.IdleMonitor) left the "
                               "session bus")
        finally:
            services.close()


# --- KDE Plasma's KWin ----------------------------------------------------------------------------


class Kwin:
    """KWin's virtual backend with two outputs in the session; its screenshots through
    kwin_screens.py, its input through kwin_input."""

    def __init__(self, session, kwin_input):
        check(kwin_input, "the kwin case needs --kwin-input")
        self.session, self.kwin_input = session, kwin_input

    def __enter__(self):
        session = self.session
        # Debian gives kwin_wayland a file capability (CAP_SYS_RESOURCE), which a container may not
        # grant, and then it cannot be started at all; a copy without runs.
        kwin = os.path.join(session.user.bin, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self.log_path = os.path.join(session.runtime, "kwin.log")
        with open(self.log_path, "w") as kwin_log:
            self.process = session.start(
                [kwin, "--virtual", "--output-count", str(len(KWIN_OUTPUTS)), "--width",
                 str(KWIN_OUTPUT[0]), "--height", str(KWIN_OUTPUT[1]), "--socket", "wayland-1"],
                kwin_log, {"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1",
                           "KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1"})
        wait_until(lambda: self.alive() and os.path.exists(os.path.join(session.runtime,
                                                                        "wayland-1")),
                   START_LIMIT, "KWin did not start", 0.1)
        session.env["WAYLAND_DISPLAY"] = "wayland-1"
        # As the user, as the user's own devices: KWin left a client of root's without it.
        shutil.copy(self.kwin_input, session.user.bin)
        self.kwin_input = os.path.join(session.user.bin, os.path.basename(self.kwin_input))
        self.shots = tempfile.mkdtemp(prefix="drevanti-kwin-shots-")
        self.screens = Helper([SYSTEM_PYTHON, os.path.join(HERE, "kwin_screens.py"),
                               session.address, self.shots, *KWIN_OUTPUTS])
        return self

    def alive(self):
        check(self.process.poll() is None, f"KWin ended; its log:\n{file_text(self.log_path)}")
        return True

    def input(self, *words):
        """Injects input; returns the time it was done."""
        done = self.session.run([self.kwin_input, *words])
        check(done.returncode == 0, f"kwin_input {' '.join(words)}: {done.stderr}")
        return time.monotonic()

    def grab(self):
        self.screens.ask("shot")
        shots = []
        for output in KWIN_OUTPUTS:
            with open(os.path.join(self.shots, f"shot-{output}.ppm"), "rb") as picture:
                shots.append(parse_ppm(picture.read()))
        return shots

    def __exit__(self, *exc):
        self.screens.close()
        shutil.rmtree(self.shots, ignore_errors=True)
        stop(self.process)
        return False


def case_kwin(args):
    outputs = (KWIN_OUTPUT,) * len(KWIN_OUTPUTS)
    with ThrowawayUser("drevanti-kwin-idle", args.saver) as user, UserSession(user) as session, \
            Kwin(session, args.kwin_input) as kwin:
        log_path = os.path.join(session.runtime, "watcher.log")
        watching = Watching(user, log_path, kwin.alive)

        def start_watcher():
            """Starts the watcher; returns it, and the time it said it watches: KWin counts the
            idle time from then (input before the first idle time does not count it anew)."""
            with open(log_path, "w") as watcher_log:
                watcher = session.start(["drevanti", f"--on-idle={IDLE_MINUTES}"], watcher_log)
            wait_until(lambda: "idle notifier reports" in watching.said(), 10,
                       f"the watcher does not watch:\n{watching.said()}", 0.005)
            return watcher, time.monotonic()

        watcher, last = start_watcher()
        check("after 3 seconds without input (as asked), as the Wayland compositor's idle "
              "notifier reports" in watching.said(), f"the watcher says:\n{watching.said()}")
        saver, shots = watching.next_saver(last, kwin.grab, outputs, "KWin, first idle time")
        for i, shot in enumerate(shots):
            shot.save_png(os.path.join(args.shots, f"kwin-on-idle-{i + 1}.png"))
        last = kwin.input("key", "30")
        watching.saver_ends(saver, STOP_LIMIT, "a key")

        saver, _ = watching.next_saver(last, kwin.grab, outputs, "KWin, second idle time")
        watcher_pid = watching.pid()
        os.kill(watcher_pid, signal.SIGTERM)
        wait_gone([saver, watcher_pid], STOP_LIMIT, "after SIGTERM to the watcher")
        check(watcher.wait(5) == 0, f"the watcher's exit status after SIGTERM: "
              f"{watcher.returncode}\n{watching.said()}")
        log("SIGTERM to the watcher: it and its saver ended, exit status 0")

        # Plasma's own screen locker, which KWin runs, coming on (it has no greeter to show here).
        watcher, last = start_watcher()
        saver, _ = watching.next_saver(last, kwin.grab, outputs, "KWin, a new watcher's idle time")
        locked = subprocess.run(["gdbus", "call", "--session", "-d", "org.freedesktop.ScreenSaver",
                                 "-o", "/ScreenSaver", "-m", "org.freedesktop.ScreenSaver.Lock"],
                                env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=session.address),
                                capture_output=True, text=True)
        check(locked.returncode == 0, f"Lock: {locked.stderr}")
        watching.saver_ends(saver, STOP_LIMIT, "Plasma's screen locker coming on")
        kwin.input("motion", "5", "5")
        no_saver_for(user, IDLE + 2, "while Plasma's screen is locked")

        watching.ends_with(kwin.process, watcher, "KWin", "the Wayland compositor went away")


# --- MATE -----------------------------------------------------------------------------------------


def in_xscreensaver_folder(folder, argv):
    """argv run in a mount namespace of its own in which folder is /usr/libexec/xscreensaver."""
    return ["unshare", "--mount", "--propagation", "private", "--", "sh", "-c",
            'mount --bind "$0" /usr/libexec/xscreensaver && exec "$@"', folder, *argv]


class MateRig:
    """What mate-screensaver needs besides the X server, as root: a home, GSettings in a keyfile
    that selects the theme, a session bus, the theme's .desktop file where its menu looks
    ($XDG_DATA_DIRS/applications/screensavers) and the saver in a folder of its own that becomes
    /usr/libexec/xscreensaver for the programs run with run()."""

    def __init__(self, args, server):
        self.args, self.server = args, server

    def __enter__(self):
        self.top = tempfile.mkdtemp(prefix="drevanti-mate-")
        home, self.programs = os.path.join(self.top, "home"), os.path.join(self.top, "xscreensaver")
        share = os.path.join(self.top, "share")
        themes = os.path.join(share, "applications", "screensavers")
        settings = os.path.join(home, ".config", "glib-2.0", "settings")
        for folder in (self.programs, themes, settings):
            os.makedirs(folder)
        shutil.copy(self.args.saver, os.path.join(self.programs, "drevanti"))
        shutil.copy(self.args.theme, os.path.join(themes, "drevanti.desktop"))
        with open(os.path.join(settings, "keyfile"), "w") as keys:
            keys.write("[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-drevanti']\n"
                       "idle-activation-enabled=false\nlock-enabled=false\n")
        socket = os.path.join(self.top, "bus")
        config = os.path.join(self.top, "bus.conf")
        with open(config, "w") as out:
            out.write(SESSION_BUS_CONFIG.format(path=socket))
        self.bus = subprocess.Popen(["dbus-daemon", "--nofork", f"--config-file={config}"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(socket), 10, "the session bus did not start")
        self.env = program_env({
            "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": home,
            "DISPLAY": self.server.env["DISPLAY"], "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"), "XDG_RUNTIME_DIR": self.top,
            "XDG_DATA_DIRS": f"{share}:/usr/share", "GSETTINGS_BACKEND": "keyfile",
            "NO_AT_BRIDGE": "1", "DBUS_SESSION_BUS_ADDRESS": f"unix:path={socket}"})
        self.processes = []
        return self

    def start(self, argv, log_file):
        process = subprocess.Popen(in_xscreensaver_folder(self.programs, argv), env=self.env,
                                   stdout=log_file, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def run(self, argv, extra=None):
        return subprocess.run(argv, env={**self.env, **(extra or {})}, capture_output=True,
                              text=True, timeout=30)

    def themes_running(self, parent):
        """The savers parent (a process of the host's) runs: "drevanti --root"."""
        found = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    line = command_line_of(int(entry))
                    if os.path.basename(line[0]) == "drevanti" and line[1:] == ["--root"] and \
                            parent_of(int(entry)) == parent.pid:
                        found.append(int(entry))
                except (OSError, IndexError):
                    pass
        return live(found)

    def __exit__(self, *exc):
        for process in reversed(self.processes + [self.bus]):
            stop(process)
        shutil.rmtree(self.top, ignore_errors=True)
        return False


def environment_of(pid):
    with open(f"/proc/{pid}/environ", "rb") as environ:
        return dict(item.decode(errors="replace").split("=", 1)
                    for item in environ.read().split(b"\0") if b"=" in item)


def no_complaints(log_file, what):
    log_file.seek(0)
    said = log_file.read().decode(errors="replace")
    complaints = [line for line in said.splitlines() if line.startswith("drevanti")]
    check(not complaints, f"{what}: the saver complained: {complaints}")


def case_mate(args):
    monitor = (saver_e2e.SCREEN_W, saver_e2e.SCREEN_H, 0, 0)
    with XServer() as server, MateRig(args, server) as rig:
        server.run(["xsetroot", "-solid", MARKER])
        told = rig.run([args.saver, "--register"], {"XDG_CURRENT_DESKTOP": "MATE"})
        check(told.returncode == 0 and "mate-screensaver-preferences" in told.stdout,
              f"drevanti --register on MATE: {told.stdout}{told.stderr}")
        home = rig.env["HOME"]
        check(not os.path.exists(os.path.join(home, ".xscreensaver")) and
              not os.path.exists(os.path.join(home, ".config", "autostart")),
              "drevanti --register on MATE wrote a file")
        valid = subprocess.run(["desktop-file-validate", args.theme], capture_output=True,
                               text=True)
        check(valid.returncode == 0 and "error" not in valid.stdout,
              f"desktop-file-validate: {valid.stdout}")
        daemon_log = tempfile.TemporaryFile()
        daemon = rig.start(["mate-screensaver", "--no-daemon"], daemon_log)
        waited = rig.run(["gdbus", "wait", "--session", "--timeout", "20", "org.mate.ScreenSaver"])
        check(waited.returncode == 0, f"mate-screensaver did not start: {waited.stderr}")
        for run in range(1, 3):
            activated = time.monotonic()
            done = rig.run(["mate-screensaver-command", "--activate"])
            check(done.returncode == 0, f"mate-screensaver-command --activate: {done.stderr}")
            running = wait_until(lambda: rig.themes_running(daemon), SHOW_LIMIT,
                                 "mate-screensaver ran no drevanti --root")
            check(len(running) == 1, f"{len(running)} savers for one monitor")
            window = environment_of(running[0]).get("XSCREENSAVER_WINDOW", "")
            check(window, "the saver was not given XSCREENSAVER_WINDOW")

            def scene():
                check(daemon.poll() is None, "mate-screensaver ended")
                shot = server.screenshot()
                return shot if not scene_problems(shot, monitor) else None

            shot = server.wait_for(scene, SHOW_LIMIT, "no scene in mate-screensaver's window: " +
                                   "; ".join(scene_problems(server.screenshot(), monitor)))
            log(f"run {run}: mate-screensaver ran drevanti --root in window {window}, its scene "
                f"seen {time.monotonic() - activated:.2f} s after --activate")
            if run == 1:
                shot.save_png(os.path.join(args.shots, "mate.png"))
            stopped = time.monotonic()
            done = rig.run(["mate-screensaver-command", "--deactivate"])
            check(done.returncode == 0, f"mate-screensaver-command --deactivate: {done.stderr}")
            wait_gone(running, STOP_LIMIT, "after --deactivate")
            log(f"run {run}: the saver ended {time.monotonic() - stopped:.2f} s after --deactivate")
        no_complaints(daemon_log, "mate-screensaver")


def case_mate_preview(args):
    with XServer(window_manager=True) as server, MateRig(args, server) as rig:
        prefs_log = tempfile.TemporaryFile()
        started = time.monotonic()
        prefs = rig.start(["mate-screensaver-preferences"], prefs_log)
        running = wait_until(lambda: rig.themes_running(prefs), START_LIMIT,
                             "the preferences ran no drevanti --root for their preview")
        window = environment_of(running[0]).get("XSCREENSAVER_WINDOW", "")
        check(window, "the preview was not given XSCREENSAVER_WINDOW")

        def preview_place():
            # The preview area is 1x1 when the theme starts, its size a moment later.
            info = server.run(["xwininfo", "-id", window], check_status=False)
            place = {k.strip(): int(v) for k, v in
                     (line.split(":") for line in info.splitlines()
                      if line.strip().startswith(("Absolute upper-left", "Width", "Height")))}
            x, y = place["Absolute upper-left X"], place["Absolute upper-left Y"]
            return (place["Width"], place["Height"], x, y) if place["Width"] > 100 else None

        w, h, x, y = wait_until(preview_place, SHOW_LIMIT, "the preview area keeps no size", 0.1)

        def scene():
            check(prefs.poll() is None, "mate-screensaver-preferences ended")
            shot = server.screenshot((w, h, x, y))
            return shot if not scene_problems(shot, (w, h, 0, 0)) else None

        shot = server.wait_for(scene, SHOW_LIMIT, "no scene in the preview: " + "; ".join(
            scene_problems(server.screenshot((w, h, x, y)), (w, h, 0, 0))))
        shot.save_png(os.path.join(args.shots, "mate-preview.png"))
        server.screenshot().save_png(os.path.join(args.shots, "mate-preferences.png"))
        log(f"the preferences' preview: its {w}x{h} scene seen {time.monotonic() - started:.2f} s "
            "after the dialog was started")
        dialog = server.run([args.probe, "find", "Screensaver Preferences"]).split()[0]
        closed = time.monotonic()
        server.run([args.probe, "close", dialog])
        wait_gone(running, STOP_LIMIT, "after the dialog was closed")
        log(f"the dialog closed: the preview ended {time.monotonic() - closed:.2f} s later")
        prefs.wait(10)
        no_complaints(prefs_log, "the preview")


CASES = {
    "gnome": case_gnome,
    "gnome-inhibit": case_gnome_inhibit,
    "kwin": case_kwin,
    "mate": case_mate,
    "mate-preview": case_mate_preview,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--saver", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--kwin-input", help="the kwin case's input tool")
    parser.add_argument("--theme", required=True)
    parser.add_argument("--usage-seconds", type=float, default=5.0,
                        help="how long the watcher's cost at rest is measured")
    args = parser.parse_args()
    args.saver = os.path.abspath(args.saver)
    os.makedirs(args.shots, exist_ok=True)
    saver_e2e.load_layout(args.probe)
    saver_e2e.FAILURE_SHOT = os.path.join(args.shots, f"failed-desktops-{args.case}.png")
    try:
        check(os.geteuid() == 0, "this case makes a throwaway user: run it as root")
        CASES[args.case](args)
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
