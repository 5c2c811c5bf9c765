#!/usr/bin/env python3
"""The saver on the desktops people have by default, each the real program on private buses and a
private display; GNOME Shell and KWin run as a throwaway user with a copy of the saver on its PATH:
  gnome          GNOME Shell, two virtual monitors: drevanti --register starts the watcher (half of
                 GNOME's idle delay of 6 s); the saver covers both monitors with their own scenes
                 and hides the pointer; a key ends it (the watcher runs on), then motion on the
                 second monitor, then GNOME's own screen saver; drevanti --unregister takes it out
  gnome-inhibit  no saver while an application holds idleness back (a stand-in session manager);
                 the watcher's cost at rest; the shell's end ends the watcher
  gnome-overview the Activities overview left open at the idle time: the saver covers both
                 monitors all the same, and a key ends it
  gnome-xorg     GNOME on Xorg (gnome-shell --x11 on Xorg's dummy driver, one screen): the saver
                 comes, a key ends it, it comes again, over the overview too; none while idleness
                 is held back; the shell's end ends the watcher
  kwin           KWin's virtual backend, two outputs: the saver through ext_idle_notifier_v1, a key
                 ends it, SIGTERM the watcher and it, Plasma's locker the next; KWin's end the
                 watcher
  mate           mate-screensaver lists the theme and runs it in its window; --deactivate ends it
  mate-preview   its preferences preview the theme; closing the dialog ends the preview
mate-screensaver runs themes only from a few folders: the MATE cases run it in a mount namespace
where a folder of the test's is /usr/libexec/xscreensaver.

usage: desktops_e2e.py CASE --saver BIN --probe BIN --shots DIR --theme FILE [--kwin-input BIN]
       [--usage-seconds S]
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", ".."))
from e2e.hosts import Kwin, ThrowawayUser, private_bus  # noqa: E402
from e2e.pictures import BLACK, Picture  # noqa: E402
from e2e.processes import (Helper, command_line_of, environment_of, live, pids_where,  # noqa: E402
                           program_env, run, seconds_since_start, stat, usage, wait_gone)
from e2e.report import Screen, check, log, main, shot_path, wait_for  # noqa: E402
from e2e.scene import MARKER_X, bar_row, load_layout, wait_for_scenes  # noqa: E402
from e2e.screens import DummyXorg, XServer  # noqa: E402

# The idle time the cases ask for, in minutes and seconds; how early a compositor may report it
# (KWin's 3 s came up to 0.29 s early).
IDLE_MINUTES, IDLE, EARLY = "0.05", 3.0, 0.6
GNOME_IDLE_DELAY = 6
# How long a desktop may take to start, the saver to show itself after the idle time and to end
# when told, the watcher to end when its desktop does.
START_LIMIT, SHOW_LIMIT, STOP_LIMIT, GONE_LIMIT = 60.0, 10.0, 2.0, 5.0
GNOME_MONITORS = ((0, 0, 1280, 720), (1280, 0, 1024, 768))


def savers(user, watchers=False):
    """The user's full-screen savers (drevanti without arguments), or its idle watchers."""
    def wanted(line):
        return any(a.startswith("--on-idle") for a in line) if watchers else line == ["drevanti"]

    return pids_where(lambda pid: wanted(command_line_of(pid)), user.savers())


def no_saver_for(user, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        check(not savers(user), f"a saver started {what}")
        time.sleep(0.05)
    log(f"no saver started {what} in {seconds:g} s")


class Watcher:
    """The user's idle watcher as a case sees it: what it has said (said()), and the savers it
    starts while the desktop is alive()."""

    def __init__(self, user, said, alive):
        self.user, self.said, self.alive = user, said, alive

    def pid(self):
        found = savers(self.user, watchers=True)
        check(len(found) == 1, f"{len(found)} watchers run, not one:\n{self.said()}")
        return found[0]

    def next_saver(self, since, grab, monitors, what):
        """Waits for the saver the watcher starts after the idle time from since (the last
        input), not earlier, and until grab()'s picture shows every monitor's own scene; prints
        when that was and returns the saver and the picture."""
        watcher = self.pid()
        saver = wait_for(lambda: self.alive() and savers(self.user), IDLE + SHOW_LIMIT,
                         f"{what}: no saver {IDLE + SHOW_LIMIT:g} s after the last input\n"
                         f"{self.said()}", 0.02)[0]
        started = time.monotonic() - seconds_since_start(saver)
        check(started - since >= IDLE - EARLY,
              f"{what}: the saver started {started - since:.2f} s after the last input, before "
              f"the idle time of {IDLE:g} s")
        check(int(stat(saver)[1]) == watcher, f"the saver {saver} is not the watcher's child")
        asked = []
        picture, _ = wait_for_scenes(lambda: asked.append(time.monotonic()) or grab(), monitors,
                                     self.alive, what, SHOW_LIMIT)
        idle_at = since + IDLE
        log(f"{what}: the saver started {started - idle_at:+.2f} s after the idle time, every "
            f"monitor's scene seen by {asked[-1] - idle_at:+.2f} s ({len(asked)} pictures), "
            f"{asked[-1] - started:.2f} s after the saver's start")
        return saver, picture

    def saver_ends(self, saver, what):
        wait_gone([saver], STOP_LIMIT, f"{what}: the saver")
        check(self.pid(), "the watcher ended with its saver")

    def ends_with(self, desktop, watcher, name, message):
        """The desktop's program ends: the watcher (the Program started) says so and ends with 1,
        at once rather than waiting on."""
        desktop.process.terminate()
        code, waited = watcher.wait_end(GONE_LIMIT, f"the watcher after {name}'s end")
        check(code == 1 and f"drevanti: {message}" in self.said(),
              f"the watcher after {name}'s end: exit {code}\n{self.said()}")
        log(f"{name} ended: the watcher ended {waited:.2f} s later, exit {code}: {message}")


# --- GNOME ----------------------------------------------------------------------------------------

# Nothing may cover the saver: no welcome tour, no notification banners, no hot corner where the
# cases put the pointer.
GNOME_KEYS = ("[org/gnome/shell]\nwelcome-dialog-last-shown-version='999'\n"
              "[org/gnome/desktop/notifications]\nshow-banners=false\n"
              "[org/gnome/desktop/interface]\nenable-hot-corners=false\n"
              "[org/gnome/desktop/session]\nidle-delay=uint32 {delay}\n")


class GnomeShell(Screen):
    """A headless GNOME Shell (Wayland, no Xwayland) with the two virtual monitors, run by the user
    on a private session bus and a private system bus (which the shell insists on), up and out of
    its start-up overview, with gnome_session.py beside it standing in for the names given."""

    MONITORS = GNOME_MONITORS

    def __init__(self, user, idle_delay, *names):
        self.user, self.idle_delay, self.names = user, idle_delay, names
        self.process = self.session = None

    def open(self):
        user, self.runtime = self.user, self.user.runtime_dir()
        address, system = (private_bus(kind, self.runtime, lambda argv: user.start(argv, {}))
                           for kind in ("session", "system"))
        self.env = {"XDG_RUNTIME_DIR": self.runtime, "DBUS_SESSION_BUS_ADDRESS": address,
                    "DBUS_SYSTEM_BUS_ADDRESS": system, "GSETTINGS_BACKEND": "keyfile",
                    "NO_AT_BRIDGE": "1"}
        user.write(".config/glib-2.0/settings/keyfile", GNOME_KEYS.format(delay=self.idle_delay))
        # The shell warns once per home of a screen lock that cannot work without GDM.
        user.write(".local/share/gnome-shell/lock-warning-shown", "")
        self.process = self.start_shell()
        wait_for(lambda: self.process.alive() or "GNOME Shell started" in self.process.output(),
                 START_LIMIT, "GNOME Shell did not start")
        self.set_overview(False)
        log(f"GNOME Shell up in {time.monotonic() - self.process.started:.2f} s")
        self.session = Helper(["/usr/bin/python3", os.path.join(HERE, "gnome_session.py"),
                               address, *self.names], "gnome_session.py", "ready")

    def start_shell(self):
        """Starts the shell; then env names its display."""
        monitors = [a for _, _, w, h in self.MONITORS for a in ("--virtual-monitor", f"{w}x{h}")]
        process = self.user.start(["gnome-shell", "--headless", "--wayland", "--no-x11",
                                   "--wayland-display", "wayland-0", *monitors], self.env)
        self.env["WAYLAND_DISPLAY"] = "wayland-0"
        return process

    def set_overview(self, active):
        """Opens or closes the Activities overview (org.gnome.Shell's OverviewActive), and waits
        until the shell says it is so."""
        shell = ["gdbus", "call", "--session", "-d", "org.gnome.Shell", "-o", "/org/gnome/Shell",
                 "-m", "org.freedesktop.DBus.Properties.Set", "org.gnome.Shell", "OverviewActive"]
        bus = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.env["DBUS_SESSION_BUS_ADDRESS"])
        wanted = "true" if active else "false"
        wait_for(lambda: run(shell + [f"<{wanted}>"], bus) and wanted in run(
            [*shell[:-3], "org.freedesktop.DBus.Properties.Get", *shell[-2:]], bus)[1], 10,
            f"GNOME Shell's overview does not become {wanted}")

    def close(self):
        if self.session:
            self.session.close()
        if self.process:
            self.process.stop()

    def failure_screen(self, path):
        self.shot().save_png(path)

    def alive(self):
        check(self.process.running(), f"GNOME Shell ended:\n{self.process.output()[-3000:]}")
        return True

    def input(self, command):
        """Injects input (or changes the session); returns the time it was done."""
        self.session.ask(command)
        return time.monotonic()

    def shot(self, cursor=False):
        png = os.path.join(self.runtime, "stage.png")
        self.session.ask(f"shot {png}" + (" cursor" if cursor else ""))
        return Picture.from_ppm(subprocess.run(["convert", png, "-depth", "8", "ppm:-"],
                                               capture_output=True, check=True).stdout)


class GnomeShellXorg(GnomeShell):
    """GNOME Shell as a GNOME on Xorg session runs it (gnome-shell --x11), window manager and
    compositor of an Xorg server with the dummy video driver (the one monitor GNOME_XORG_SCREEN)
    that the test runs as root; the rest as GnomeShell."""

    server = None

    def start_shell(self):
        self.server = DummyXorg(size=GNOME_XORG_SCREEN[2:])
        self.server.open()
        self.server.run(["xhost", f"+si:localuser:{self.user.name}"])
        self.env["DISPLAY"] = self.server.env["DISPLAY"]
        return self.user.start(["gnome-shell", "--x11"], self.env)

    def close(self):
        super().close()
        if self.server:
            self.server.close()


GNOME_XORG_SCREEN = (0, 0, 1280, 720)


# Where the gnome case puts the pointer: at the first monitor's left edge, low, where the saver
# never draws (terminals keep 15 pixels from the edges, their circles 4 pixels around them), and
# the box around it that shows it when it is drawn; the second monitor's the same, 1280 on.
POINTER = (3, 706)
POINTER_BOX = (0, 696, 11, 24)
SECOND_MONITOR = 1280
# How long the saver may take to hide the pointer (mutter tells it about a still pointer late).
HIDE_LIMIT = 5.0


def pointer_box(shot, dx=0):
    x, y, w, h = POINTER_BOX
    return [shot.rgb[3 * (row * shot.width + x + dx):3 * (row * shot.width + x + dx + w)]
            for row in range(y, y + h)]


def pointer_hidden(shell, saver, dx=0):
    """Waits until the shell draws no pointer over the saver (only black in the box, with the
    pointer drawn in); returns the seconds from the saver's start."""
    x, y, w, h = POINTER_BOX
    wait_for(lambda: shell.shot(cursor=True).count(BLACK, (x + dx, y, w, h)) == w * h, HIDE_LIMIT,
             f"the pointer shows over the saver {HIDE_LIMIT:g} s after it started")
    return seconds_since_start(saver)


def case_gnome(args):
    with ThrowawayUser("gnome", args.saver) as user, \
            GnomeShell(user, GNOME_IDLE_DELAY, "org.gnome.ScreenSaver") as shell:
        # The pointer to the first monitor's left edge (relative motion stops at the stage's
        # edges), after the virtual devices' first use; there the desktop shows it.
        for command in ("warm-up", "motion -5000 -5000", "motion {} {}".format(*POINTER)):
            shell.input(command)
        # A busy shell moves the pointer a moment after the injected motion.
        wait_for(lambda: pointer_box(shell.shot(cursor=True)) != pointer_box(shell.shot()),
                 HIDE_LIMIT, f"no pointer seen in {POINTER_BOX} on the desktop: the shots cannot "
                 "tell whether it is hidden")
        log(user.succeed(["drevanti", "--register"],
                         {**shell.env, "XDG_CURRENT_DESKTOP": "GNOME"}).strip())
        entry = os.path.join(user.home, ".config", "autostart", "drevanti.desktop")
        with open(entry) as text:
            entry_text = text.read()
        check("\nExec=drevanti --on-idle\n" in entry_text and "OnlyShowIn=GNOME;KDE;" in entry_text,
              f"the autostart entry:\n{entry_text}")
        code, out, _ = run(["desktop-file-validate", entry])
        check(code == 0 and not out.strip(), f"desktop-file-validate: {out}")

        def said():
            path = os.path.join(shell.runtime, "drevanti-on-idle.log")
            return open(path).read() if os.path.exists(path) else ""

        watcher = Watcher(user, said, shell.alive)
        check(watcher.pid() and f"after 3 seconds without input (GNOME blanking the screen after "
              f"{GNOME_IDLE_DELAY} seconds), as GNOME's idle monitor" in said(),
              f"the watcher says:\n{said()}")
        code, out, error = user.run(["drevanti", "--on-idle"], shell.env)
        check(code == 0 and "a watcher runs already" in out,
              f"a second watcher: exit {code}, {out}{error}")
        # The idle time from here: left shift, which types nothing.
        last = shell.input("key 42")
        saver, shot = watcher.next_saver(last, shell.shot, GNOME_MONITORS, "GNOME, first idle time")
        shot.save_png(shot_path("gnome-both-monitors"))
        log(f"the pointer hidden on the first monitor {pointer_hidden(shell, saver):.2f} s after "
            "the saver's start")
        usage([watcher.pid()], args.usage_seconds, "the watcher while its saver runs")
        last = shell.input("key 30")
        watcher.saver_ends(saver, "a key")

        # Over the second monitor this time.
        last = shell.input(f"motion {SECOND_MONITOR} 0")
        saver, _ = watcher.next_saver(last, shell.shot, GNOME_MONITORS, "GNOME, second idle time")
        log(f"the pointer hidden on the second monitor "
            f"{pointer_hidden(shell, saver, SECOND_MONITOR):.2f} s after the saver's start")
        last = shell.input("motion 3 3")
        watcher.saver_ends(saver, "pointer motion on the second monitor")

        saver, _ = watcher.next_saver(last, shell.shot, GNOME_MONITORS, "GNOME, third idle time")
        shell.input("active 1")
        watcher.saver_ends(saver, "GNOME's own screen saver coming on")
        # None starts under it, but once it is off again.
        shell.input("key 42")
        no_saver_for(user, IDLE + 2, "while GNOME's own screen saver is on")
        shell.input("active 0")
        last = shell.input("key 42")
        saver, _ = watcher.next_saver(last, shell.shot, GNOME_MONITORS,
                                      "GNOME, after its own screen saver")
        shell.input("key 30")
        watcher.saver_ends(saver, "a key")

        # GNOME's idle delay set anew is followed.
        user.succeed(["gsettings", "set", "org.gnome.desktop.session", "idle-delay", "600"],
                     shell.env)
        wait_for(lambda: "after 9 minutes without input (GNOME blanking the screen after 10 "
                         "minutes)" in said(), 5,
                 f"the watcher did not follow GNOME's new idle delay:\n{said()}")

        pid = watcher.pid()
        out = user.succeed(["drevanti", "--unregister"], shell.env)
        check("stopped the watcher" in out, f"drevanti --unregister: {out}")
        check(not os.path.exists(entry) and not live([pid]) and not user.savers(),
              "drevanti --unregister left the entry or a process")
        log(out.strip())
        complaints = [line for line in said().splitlines() if "the saver starts after" not in line]
        check(not complaints, f"the watcher complained:\n{said()}")


def gnome_watcher(user, shell):
    """The watcher started by hand with the cases' idle time, once it watches: the Program and
    the Watcher."""
    started = user.start(["drevanti", f"--on-idle={IDLE_MINUTES}"], shell.env, "the watcher")
    wait_for(lambda: "GNOME's idle monitor reports" in started.output(), 10,
             f"the watcher does not watch:\n{started.output()}")
    return started, Watcher(user, started.output, shell.alive)


def case_gnome_inhibit(args):
    with ThrowawayUser("gnome-inh", args.saver) as user, \
            GnomeShell(user, 300, "org.gnome.SessionManager") as shell:
        shell.input("warm-up")
        shell.input("inhibit 8")
        started, watcher = gnome_watcher(user, shell)
        held = max(3 * IDLE, args.usage_seconds)
        cpu, _, wakeups = usage([watcher.pid()], held, "the watcher while idleness is held back")
        check(not savers(user), "the saver started while idleness was held back")
        check(wakeups < 1 and cpu < 1, "the watcher does not sleep at rest")
        # Mutter counts the idle time anew from the inhibitor's end.
        last = shell.input("inhibit 0")
        saver, _ = watcher.next_saver(last, shell.shot, GNOME_MONITORS,
                                      "GNOME, once idleness is let go")
        shell.input("key 30")
        watcher.saver_ends(saver, "a key")
        watcher.ends_with(shell.process, started, "GNOME Shell", "GNOME's idle monitor "
                          "(org.gnome.Mutter.IdleMonitor) left the session bus")


def comes_and_goes(shell, watcher, since, monitors, what):
    """The saver comes after the idle time from since (the last input) with every monitor's scene,
    and a key ends it; returns the picture and when the key was pressed."""
    saver, picture = watcher.next_saver(since, shell.shot, monitors, what)
    pressed = shell.input("key 30")
    watcher.saver_ends(saver, f"{what}: a key")
    return picture, pressed


def over_the_overview(shell, watcher, monitors, what):
    """The Activities overview opened after the last input, as people leave it (and as the shell
    opens it at login): the saver covers every monitor all the same, and a key ends it; returns
    the picture."""
    last = shell.input("key 42")
    shell.set_overview(True)
    return comes_and_goes(shell, watcher, last, monitors, f"{what}, the overview open")[0]


def case_gnome_overview(args):
    with ThrowawayUser("gnome-ovw", args.saver) as user, GnomeShell(user, 300) as shell:
        shell.input("warm-up")
        _, watcher = gnome_watcher(user, shell)
        # The session's first saver: after a saver has come and gone, the shell now and then
        # draws the windows of the next one half a pixel low once its overview was open.
        over_the_overview(shell, watcher, GNOME_MONITORS, "GNOME").save_png(
            shot_path("gnome-overview"))


def case_gnome_xorg(args):
    monitors = (GNOME_XORG_SCREEN,)
    with ThrowawayUser("gnome-xorg", args.saver) as user, \
            GnomeShellXorg(user, 300, "org.gnome.SessionManager") as shell:
        shell.input("warm-up")
        started, watcher = gnome_watcher(user, shell)
        picture, last = comes_and_goes(shell, watcher, shell.input("key 42"), monitors,
                                       "GNOME on Xorg, first idle time")
        picture.save_png(shot_path("gnome-xorg"))
        comes_and_goes(shell, watcher, last, monitors, "GNOME on Xorg, second idle time")
        over_the_overview(shell, watcher, monitors, "GNOME on Xorg").save_png(
            shot_path("gnome-xorg-overview"))

        shell.input("inhibit 8")
        shell.input("key 42")
        no_saver_for(user, 3 * IDLE, "while idleness was held back")
        comes_and_goes(shell, watcher, shell.input("inhibit 0"), monitors,
                       "GNOME on Xorg, once idleness is let go")
        watcher.ends_with(shell.process, started, "GNOME Shell", "GNOME's idle monitor "
                          "(org.gnome.Mutter.IdleMonitor) left the session bus")


# --- KDE Plasma's KWin ----------------------------------------------------------------------------


def side_by_side(pictures):
    """One picture of pictures of one height, left to right."""
    rows = [b"".join(p.rgb[3 * p.width * y:3 * p.width * (y + 1)] for p in pictures)
            for y in range(pictures[0].height)]
    return Picture(sum(p.width for p in pictures), pictures[0].height, b"".join(rows))


# Monitors of two densities, as a laptop's panel and an external monitor: the first large enough
# for mutter to offer scale 2 on it, the second at scale 1 (the stage's device pixels).
class MixedGnomeShell(GnomeShell):
    MONITORS = ((0, 0, 1920, 1200), (1920, 0, 800, 600))


GNOME_MIXED_SCALES = (2, 1)


def case_gnome_mixed_scales(args):
    """GNOME Shell with two virtual monitors, the first set to scale 2 through mutter's display
    configuration (what mutter offers is printed): drevanti covers each with its own scene at
    its own density, its scale bar at its own device place and thickness; a key ends it."""
    with ThrowawayUser("gnome-mix", args.saver) as user, MixedGnomeShell(user, 600) as shell:
        shell.input("scales " + " ".join(map(str, GNOME_MIXED_SCALES)))
        shell.input("warm-up")
        saver = user.start(["drevanti"], shell.env, "the saver")
        shot, seconds = wait_for_scenes(shell.shot, MixedGnomeShell.MONITORS, saver.alive,
                                        "GNOME, monitors of scales 2 and 1", START_LIMIT,
                                        scales=GNOME_MIXED_SCALES)
        shot.save_png(shot_path("gnome-mixed-scales"))
        log(f"both monitors show their scenes {seconds:.2f} s after the saver started")
        for i, (place, scale) in enumerate(zip(MixedGnomeShell.MONITORS, GNOME_MIXED_SCALES)):
            bar_x, bar_y, length, thick = bar_row(place, scale)
            log(f"monitor {i + 1} at scale {scale}, {place[2]}x{place[3]} device pixels: the bar "
                f"on device columns {bar_x - place[0]}..{bar_x - place[0] + length - 1}, rows "
                f"{bar_y}..{bar_y + thick - 1} ({thick} thick)")
        shell.input("key 30")
        saver.expect_end(STOP_LIMIT, "a key")


def case_kwin(args):
    check(args.kwin_input, "the kwin case needs --kwin-input")
    width = Kwin.PLACES[0][2]
    outputs = [(i * width, 0, width, Kwin.PLACES[0][3]) for i in range(len(Kwin.OUTPUTS))]
    with ThrowawayUser("kwin-idle", args.saver) as user, Kwin(user) as kwin:
        # As the user, as the user's own devices: KWin left a client of root's without it.
        shutil.copy(args.kwin_input, os.path.join(user.bin, "kwin_input"))

        def kwin_input(*words):
            user.succeed(["kwin_input", *words], kwin.env)
            return time.monotonic()

        def alive():
            return kwin.process.alive() or True

        def grab():
            return side_by_side(kwin.grab())

        def start_watcher():
            """The watcher, and the time it said it watches: KWin counts the idle time from
            then (input before the first idle time does not count it anew)."""
            started = user.start(["drevanti", f"--on-idle={IDLE_MINUTES}"], kwin.env,
                                 "the watcher")
            wait_for(lambda: "idle notifier reports" in started.output(), 10,
                     f"the watcher does not watch:\n{started.output()}", 0.005)
            return started, Watcher(user, started.output, alive), time.monotonic()

        started, watcher, last = start_watcher()
        check("after 3 seconds without input (as asked), as the Wayland compositor's idle "
              "notifier reports" in started.output(), f"the watcher says:\n{started.output()}")
        saver, shot = watcher.next_saver(last, grab, outputs, "KWin, first idle time")
        shot.save_png(shot_path("kwin-on-idle"))
        last = kwin_input("key", "30")
        watcher.saver_ends(saver, "a key")

        saver, _ = watcher.next_saver(last, grab, outputs, "KWin, second idle time")
        os.kill(watcher.pid(), signal.SIGTERM)
        wait_gone([saver], STOP_LIMIT, "the saver after SIGTERM to the watcher")
        started.expect_end(STOP_LIMIT, "SIGTERM to the watcher")

        # Plasma's own screen locker, which KWin runs, coming on (it has no greeter to show here).
        started, watcher, last = start_watcher()
        saver, _ = watcher.next_saver(last, grab, outputs, "KWin, a new watcher's idle time")
        code, _, error = run(["gdbus", "call", "--session", "-d", "org.freedesktop.ScreenSaver",
                              "-o", "/ScreenSaver", "-m", "org.freedesktop.ScreenSaver.Lock"],
                             dict(os.environ, DBUS_SESSION_BUS_ADDRESS=kwin.address))
        check(code == 0, f"Lock: {error}")
        watcher.saver_ends(saver, "Plasma's screen locker coming on")
        kwin_input("motion", "5", "5")
        no_saver_for(user, IDLE + 2, "while Plasma's screen is locked")
        watcher.ends_with(kwin.process, started, "KWin", "the Wayland compositor went away")


# --- MATE -----------------------------------------------------------------------------------------

MATE_KEYS = ("[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-drevanti']\n"
             "idle-activation-enabled=false\nlock-enabled=false\n")


def mate_session(args, server, top):
    """What mate-screensaver needs besides the X server, as root, in the folder top: a home,
    GSettings in a keyfile that selects the theme, a session bus, the theme's .desktop file where
    its menu looks ($XDG_DATA_DIRS/applications/screensavers), and the saver in a folder that
    becomes /usr/libexec/xscreensaver for the programs that start(argv) runs; and the
    environment."""
    home, programs, share = (os.path.join(top, name) for name in ("home", "programs", "share"))
    themes = os.path.join(share, "applications", "screensavers")
    settings = os.path.join(home, ".config", "glib-2.0", "settings")
    for folder in (programs, themes, settings):
        os.makedirs(folder)
    shutil.copy(args.saver, os.path.join(programs, "drevanti"))
    shutil.copy(args.theme, os.path.join(themes, "drevanti.desktop"))
    with open(os.path.join(settings, "keyfile"), "w") as keys:
        keys.write(MATE_KEYS)
    env = program_env({"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": home,
                       "DISPLAY": server.env["DISPLAY"], "XDG_RUNTIME_DIR": top,
                       "XDG_DATA_DIRS": f"{share}:/usr/share", "GSETTINGS_BACKEND": "keyfile",
                       "NO_AT_BRIDGE": "1"})
    env["DBUS_SESSION_BUS_ADDRESS"] = private_bus("session", top,
                                                  lambda argv: server.start(argv, env))

    def start(*argv):
        return server.start(["unshare", "--mount", "--propagation", "private", "--", "sh", "-c",
                             'mount --bind "$0" /usr/libexec/xscreensaver && exec "$@"', programs,
                             *argv], env, argv[0])

    def succeed(*argv, extra=None):
        code, out, error = run(list(argv), {**env, **(extra or {})})
        check(code == 0, f"{' '.join(argv)}: exit {code}, {out}{error}")
        return out

    return start, succeed, home


def theme_shows(host, grab, place, what):
    """The one theme the host (a Program) runs, drevanti --root as its child, shows its scene in
    the window XSCREENSAVER_WINDOW names (at place(window) in grab()'s picture); returns it, the
    window, the picture and the place."""
    running = wait_for(lambda: live(pids_where(lambda pid: int(stat(pid)[1]) == host.pid and [
        os.path.basename(a) for a in command_line_of(pid)] == ["drevanti", "--root"])),
        START_LIMIT, f"{host.what} ran no drevanti --root")
    check(len(running) == 1, f"{len(running)} savers for one {what}")
    window = environment_of(running[0]).get("XSCREENSAVER_WINDOW", "")
    check(window, "the saver was not given XSCREENSAVER_WINDOW")
    box = place(window)
    picture, _ = wait_for_scenes(grab, [box], host.alive, what, SHOW_LIMIT)
    return running, window, picture, box


def no_complaints(host):
    complaints = [line for line in host.output().splitlines() if line.startswith("drevanti")]
    check(not complaints, f"{host.what}: the saver complained: {complaints}")


def case_mate(args):
    with tempfile.TemporaryDirectory(prefix="drevanti-mate-") as top, \
            XServer(probe=args.probe) as server:
        start, succeed, home = mate_session(args, server, top)
        server.run(["xsetroot", "-solid", MARKER_X])
        out = succeed(args.saver, "--register", extra={"XDG_CURRENT_DESKTOP": "MATE"})
        check("mate-screensaver-preferences" in out, f"drevanti --register on MATE: {out}")
        check(not os.path.exists(os.path.join(home, ".xscreensaver")) and
              not os.path.exists(os.path.join(home, ".config", "autostart")),
              "drevanti --register on MATE wrote a file")
        out = succeed("desktop-file-validate", args.theme)
        check("error" not in out, f"desktop-file-validate: {out}")
        daemon = start("mate-screensaver", "--no-daemon")
        succeed("gdbus", "wait", "--session", "--timeout", "20", "org.mate.ScreenSaver")
        for number in (1, 2):
            activated = time.monotonic()
            succeed("mate-screensaver-command", "--activate")
            running, window, shot, _ = theme_shows(daemon, server.screenshot,
                                                lambda _: (0, 0, 1280, 720), "monitor")
            log(f"run {number}: mate-screensaver ran drevanti --root in window {window}, its scene "
                f"seen {time.monotonic() - activated:.2f} s after --activate")
            if number == 1:
                shot.save_png(shot_path("mate"))
            succeed("mate-screensaver-command", "--deactivate")
            wait_gone(running, STOP_LIMIT, f"run {number}: the saver after --deactivate")
        no_complaints(daemon)


def case_mate_preview(args):
    with tempfile.TemporaryDirectory(prefix="drevanti-mate-") as top, \
            XServer(window_manager=True, probe=args.probe) as server:
        start, _, _ = mate_session(args, server, top)
        prefs = start("mate-screensaver-preferences")

        def place(window):
            def box():
                info = dict(line.strip().split(": ", 1) for line in server.run(
                    ["xwininfo", "-id", window], False).splitlines() if ": " in line)
                found = [int(info.get(key, 0)) for key in (
                    "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
                return found if found[2] > 100 else None

            # The preview area is 1x1 when the theme starts, its size a moment later.
            return wait_for(box, SHOW_LIMIT, "the preview area keeps no size")

        running, _, shot, box = theme_shows(prefs, server.screenshot, place, "preview")
        shot.save_png(shot_path("mate-preview"))
        log(f"the preferences' preview: its {box[2]}x{box[3]} scene seen "
            f"{time.monotonic() - prefs.started:.2f} s after the dialog was started")
        dialog = server.run([args.probe, "find", "Screensaver Preferences"]).split()[0]
        server.run([args.probe, "close", dialog])
        wait_gone(running, STOP_LIMIT, "the preview after the dialog was closed")
        prefs.expect_end(10, "the dialog closed")
        no_complaints(prefs)


if __name__ == "__main__":
    main({"gnome": case_gnome, "gnome-inhibit": case_gnome_inhibit,
          "gnome-overview": case_gnome_overview, "gnome-xorg": case_gnome_xorg, "kwin": case_kwin,
          "mate": case_mate, "mate-preview": case_mate_preview,
          "gnome-mixed-scales": case_gnome_mixed_scales},
         "--saver", "--probe", "--shots", "--theme",
         setup=lambda args: load_layout([args.probe, "layout"]), kwin_input=None,
         usage_seconds=5.0)
