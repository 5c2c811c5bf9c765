"""The screen-saver hosts of Linux as a user runs them. Hosts that refuse to run as root
(xscreensaver, sway) run as a throwaway user, whose name holds this process's id so that two
copies of a case on one machine each have their own; the user, its processes and its files are
gone again at the end. Private D-Bus buses, and KWin's virtual backend on one."""

import fcntl
import os
import shutil
import tempfile
import time

from e2e.pictures import Picture
from e2e.processes import (Helper, Program, command_line_of, live, program_env, run, usage,
                           wait_gone)
from e2e.report import check, log, shot_path, wait_for
from e2e.scene import MARKER_X, wait_for_bars, wait_for_scenes


def _locked(command):
    # One useradd or userdel at a time: parallel cases share /etc/passwd.
    with open("/tmp/drevanti-e2e-useradd.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        code, _, error = run(command)
    check(code == 0, f"{' '.join(command)}: {error.strip()}")


class ThrowawayUser:
    """A user with a fresh home and, when given, a copy of the saver named drevanti on its PATH."""

    def __init__(self, tag, saver=None):
        self.name, self.saver = f"drevanti-{tag}-{os.getpid()}", saver

    def __enter__(self):
        check(os.geteuid() == 0, "this case makes a throwaway user: run it as root")
        _locked(["useradd", "--system", "--no-create-home", "--shell", "/bin/sh", self.name])
        self.home = tempfile.mkdtemp(prefix=f"{self.name}-home-")
        self.bin = tempfile.mkdtemp(prefix=f"{self.name}-bin-")
        os.chmod(self.bin, 0o755)
        shutil.chown(self.home, self.name)
        if self.saver:
            shutil.copy(self.saver, os.path.join(self.bin, "drevanti"))
        self.processes = []
        return self

    def __exit__(self, *exc):
        def gone():
            run(["pkill", "-KILL", "-u", self.name])
            return not live(self.pids())

        wait_for(gone, 10, f"the processes of {self.name} do not end")
        for program in self.processes:
            program.stop()
        _locked(["userdel", "--force", self.name])
        shutil.rmtree(self.home, ignore_errors=True)
        shutil.rmtree(self.bin, ignore_errors=True)

    def command(self, argv, env):
        # ASAN_OPTIONS as program_env sets it: hosts pass their environment on to the saver.
        base = {"HOME": self.home, "PATH": f"{self.bin}:/usr/bin:/bin", "LANG": "C.UTF-8",
                "ASAN_OPTIONS": program_env(os.environ)["ASAN_OPTIONS"]}
        return (["runuser", "-u", self.name, "--", "env", "-i"] +
                [f"{k}={v}" for k, v in {**base, **env}.items()] + argv)

    def start(self, argv, env, what=None):
        program = Program(self.command(argv, env), what=what or argv[0])
        self.processes.append(program)
        return program

    def run(self, argv, env):
        """Runs a program as the user: exit code, output and messages."""
        return run(self.command(argv, env))

    def succeed(self, argv, env):
        code, out, error = self.run(argv, env)
        check(code == 0, f"{' '.join(argv)} failed: {error.strip()}")
        return out

    def runtime_dir(self):
        """A private XDG_RUNTIME_DIR, removed with the user."""
        path = tempfile.mkdtemp(prefix=f"{self.name}-run-", dir=self.home)
        os.chmod(path, 0o700)
        shutil.chown(path, self.name)
        return path

    def write(self, name, text):
        """Appends the text to the file of that path in the home, made with its folders."""
        folder = self.home
        for part in os.path.dirname(name).split("/") if os.path.dirname(name) else []:
            folder = os.path.join(folder, part)
            if not os.path.isdir(folder):
                os.mkdir(folder)
                shutil.chown(folder, self.name)
        path = os.path.join(self.home, name)
        with open(path, "a") as out:
            out.write(text)
        shutil.chown(path, self.name)
        return path

    def pids(self, *name):
        return [int(p) for p in run(["pgrep", "-u", self.name, *name])[1].split()]

    def savers(self):
        """The user's live processes named drevanti."""
        return live(self.pids("-x", "drevanti"))


BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>{kind}</type><listen>unix:path={path}</listen><auth>EXTERNAL</auth>
  <policy context="default"><allow user="*"/><allow send_destination="*"/>
    <allow receive_sender="*"/><allow own="*"/></policy></busconfig>"""


def private_bus(kind, folder, start):
    """A D-Bus daemon of the kind (system, session) listening in the folder, started by
    start(argv), with no service activation (nothing of the machine's starts on it); its
    address."""
    path, config = os.path.join(folder, f"{kind}-bus"), os.path.join(folder, f"{kind}-bus.conf")
    with open(config, "w") as out:
        out.write(BUS_CONFIG.format(kind=kind, path=path))
    daemon = start(["dbus-daemon", "--nofork", f"--config-file={config}"])
    wait_for(lambda: daemon.alive() or os.path.exists(path), 10, "the private bus did not start")
    return f"unix:path={path}"


def compositor(user, command, env, runtime, seconds=15.0):
    """Starts the compositor as the user and waits for its socket wayland-1."""
    started = user.start(command, env)
    wait_for(lambda: started.alive() or os.path.exists(os.path.join(runtime, "wayland-1")),
             seconds, f"{command[0]} did not start")
    return started


class Kwin:
    """KWin's virtual backend run by the user, two 1280x720 outputs, on a session bus of its own
    (env names both), its screenshots and fake input open to every client. grab() gives a picture
    of each output, through KWin's own screenshot interface (kwin_screens.py)."""

    OUTPUTS = ("Virtual-0", "Virtual-1")
    PLACES = ((0, 0, 1280, 720),) * len(OUTPUTS)

    def __init__(self, user, scale=1):
        """With a scale (KWin's --scale, a fractional one where it likes), each output keeps its
        1280x720 logical pixels and has scale times as many device pixels (places)."""
        self.user, self.scale = user, scale
        self.places = ((0, 0, round(1280 * scale), round(720 * scale)),) * len(self.OUTPUTS)

    def __enter__(self):
        user, self.runtime = self.user, self.user.runtime_dir()
        self.address = private_bus("session", self.runtime, lambda argv: user.start(argv, {}))
        # Debian gives kwin_wayland a file capability (CAP_SYS_RESOURCE), which a container may
        # not grant, and then it cannot be started at all; a copy without runs.
        kwin = os.path.join(user.bin, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self.env = {"XDG_RUNTIME_DIR": self.runtime, "DBUS_SESSION_BUS_ADDRESS": self.address}
        self.process = compositor(
            user, [kwin, "--virtual", "--output-count", str(len(self.OUTPUTS)), "--width", "1280",
                   "--height", "720", "--scale", f"{self.scale:g}", "--socket", "wayland-1"],
            {**self.env, "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1",
             "KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1"}, self.runtime)
        self.env["WAYLAND_DISPLAY"] = "wayland-1"
        screens = os.path.join(os.path.dirname(__file__), "kwin_screens.py")
        self.screens = Helper(["/usr/bin/python3", screens, self.address, self.runtime,
                               *self.OUTPUTS], "KWin's screenshots")
        return self

    def __exit__(self, *exc):
        self.screens.close()

    def grab(self):
        self.screens.ask("shot")
        pictures = []
        for name in self.OUTPUTS:
            with open(os.path.join(self.runtime, f"{name}.ppm"), "rb") as ppm:
                pictures.append(Picture.from_ppm(ppm.read()))
        return pictures


# What ~/.xscreensaver holds for a test: the daemon starts the first saver of its list at once,
# without locking, fading or powering the monitors down.
XSCREENSAVER_SETTINGS = ("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\n"
                         "unfade: False\ndpmsEnabled: False\ntimeout: 0:30:00\n")


def no_window_but(server, before, own=0, host=None, title="シュタイナー問題"):
    """No top-level window made since the list before but the saver's own (own of them, with
    the saver's title) and the host's (whose WM_CLASS names it), and no trace of a session
    bus."""
    mine = server.windows_titled(title)
    new = {w for w in server.top_windows() - before - set(mine) if not host or
           f'"{host}"' not in server.run(["xprop", "-id", w, "WM_CLASS"], check_status=False)}
    check(len(mine) == own and not new, f"windows made besides the saver's own {own}: {sorted(new)}")
    check(not server.bus_traces(), "; ".join(server.bus_traces()))


def xscreensaver_runs(server, user, env, monitors, executable, shot, start_limit=15.0,
                      draw_limit=5.0, stop_limit=2.0, scale=1):
    """The xscreensaver daemon, run as the user with the test's settings (appended to the
    user's ~/.xscreensaver), starts the first saver of the list at once (-select 1): every
    monitor shows its own scene, its scale bar within draw_limit (xscreensaver's own blanking takes
    a second of it on a busy machine, before it starts a saver); one saver per monitor runs
    executable as `drevanti --root`, and makes no window of its own; -deactivate ends them all;
    the daemon's output holds no complaint of theirs. The scenes are judged drawn at the scale
    given; the screenshot is kept as shot."""
    server.run(["xhost", f"+si:localuser:{user.name}"])
    server.run(["xsetroot", "-solid", MARKER_X])
    user.write(".xscreensaver", XSCREENSAVER_SETTINGS)
    daemon = user.start(["xscreensaver", "--no-splash"], env)
    wait_for(lambda: daemon.alive() or user.run(["xscreensaver-command", "-time"], env)[0] == 0,
             start_limit, "xscreensaver does not answer", 0.2)
    before = server.top_windows()
    selected = time.monotonic()
    user.succeed(["xscreensaver-command", "-select", "1"], env)
    drawn = wait_for_bars(server.screenshot, monitors, daemon.alive, selected, draw_limit,
                          "xscreensaver", scale)
    picture, seconds = wait_for_scenes(server.screenshot, monitors, daemon.alive, "xscreensaver",
                                       start_limit, scale)
    picture.save_png(shot_path(shot))
    log(f"xscreensaver, {len(monitors)} monitor(s): every scale bar drawn {drawn:.2f} s, every "
        f"whole scene seen {seconds + drawn:.2f} s after -select")
    savers = user.savers()
    check(len(savers) == len(monitors), f"{len(savers)} savers for {len(monitors)} monitors")
    for pid in savers:
        check(os.path.realpath(f"/proc/{pid}/exe") == executable,
              f"xscreensaver did not run {executable}")
        check(command_line_of(pid) == ["drevanti", "--root"], f"started as {command_line_of(pid)}")
        usage([pid], what=f"saver {pid}")
    no_window_but(server, before, host="xscreensaver")
    user.succeed(["xscreensaver-command", "-deactivate"], env)
    wait_gone(savers, stop_limit, "the savers after -deactivate")
    check("X Error" not in daemon.output() and "drevanti:" not in daemon.output(),
          f"the savers complained:\n{daemon.output()}")
