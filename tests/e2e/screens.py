"""A private X server for a case: Xvfb (or Xorg with the dummy video driver) on a display number
it picks itself (-displayfd, so that parallel cases never share one) of a given size and depth,
optionally divided into RandR monitors and managed by openbox; the programs started on it end with
it, and a failure leaves a picture."""

import os
import select
import shutil
import subprocess
import tempfile
import time

from e2e.pictures import Picture
from e2e.processes import Program, environment_of, pids_where, program_env, stop
from e2e.report import Failure, Screen, check, log, wait_for


class XServer(Screen):
    """Monitors are (x, y, width, height) each; the first takes the screen's one output. The
    probe, x11_probe, tells what the X server shows."""

    def __init__(self, size=(1280, 720), depth=24, monitors=(), window_manager=False, probe=None):
        self.size, self.depth, self.monitors, self.probe = size, depth, monitors, probe
        self.window_manager = window_manager
        self.processes, self.server, self.home = [], None, None

    def open(self):
        read_end, write_end = os.pipe()
        # -noreset: the many short-lived clients (xdotool, import, the probe) must not make the
        # server start over, dropping the RandR monitors, each time the last one leaves.
        self.server = subprocess.Popen(
            self.server_command(write_end), pass_fds=[write_end], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number, deadline = b"", time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
            chunk = os.read(read_end, 16) if ready else b""
            check(chunk, "the X server did not start")
            number += chunk
        os.close(read_end)
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip())
        self.env.pop("WAYLAND_DISPLAY", None)
        for i, monitor in enumerate(self.monitors):
            self.set_monitor(i + 1, monitor)
        if self.window_manager:
            self.start_openbox()

    def close(self):
        for process in reversed(self.processes):
            process.stop()
        if self.server:
            stop(self.server)
        if self.home:
            shutil.rmtree(self.home, ignore_errors=True)

    def server_command(self, displayfd):
        return ["Xvfb", "-displayfd", str(displayfd), "-screen", "0",
                f"{self.size[0]}x{self.size[1]}x{self.depth}", "-nolisten", "tcp", "-noreset"]

    def failure_screen(self, path):
        self.screenshot().save_png(path)
        log(self.run(["xwininfo", "-root", "-tree"], check_status=False))

    def start_openbox(self):
        home = self.home = tempfile.mkdtemp(prefix="drevanti-wm-")
        env = dict(self.env, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
        for attempt in range(3):
            openbox = self.start(["openbox"], env=env)

            def managing():
                openbox.alive()
                return "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(
                    ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])

            try:
                return wait_for(managing, 10, "openbox did not start")
            except Failure:
                if attempt == 2 or openbox.running():
                    raise Failure(f"openbox did not start: {openbox.output()}")

    def set_monitor(self, number, monitor):
        """RandR 1.5 monitor DREVANTI-number; the first takes the screen's output, others none."""
        x, y, w, h = monitor
        self.run(["xrandr", "--setmonitor", f"DREVANTI-{number}",
                  f"{w}/{w * 254 // 960}x{h}/{h * 254 // 960}+{x}+{y}",
                  "screen" if number == 1 else "none"])

    def start(self, command, env=None, what=None):
        """A program on this display (a program of this project, unless env is given), stopped
        when the server is."""
        program = Program(command, env or program_env(self.env), what)
        self.processes.append(program)
        return program

    def run(self, command, check_status=True):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=30)
        check(result.returncode == 0 or not check_status,
              f"{' '.join(command)} failed: {result.stderr.strip()}")
        return result.stdout

    def merge_resources(self, text):
        """Merges the lines into the root window's resources, as a desktop's settings do (Xft.dpi:
        192 for a screen of twice the usual density)."""
        with tempfile.NamedTemporaryFile("w", suffix=".Xresources") as resources:
            resources.write(text)
            resources.flush()
            self.run(["xrdb", "-nocpp", "-merge", resources.name])

    def pointer_shows(self):
        """Whether the pointer's image shows, as x11_probe sees it."""
        return self.run([self.probe, "cursor"]).startswith("visible")

    def top_windows(self):
        """The ids of the root window's children."""
        listing = self.run(["xwininfo", "-root", "-children"])
        return {line.split()[0] for line in listing.splitlines() if line.strip().startswith("0x")}

    def windows_titled(self, title):
        """The windows of that title: {id: (x, y, width, height)}."""
        for _ in range(10):
            # A window destroyed while xwininfo walks the tree fails it: then it looks again.
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env,
                                  capture_output=True, text=True, timeout=20)
            if tree.returncode == 0:
                break
        check(tree.returncode == 0, f"xwininfo -root -tree failed: {tree.stderr.strip()}")
        windows = {}
        for line in tree.stdout.splitlines():
            if f'"{title}"' in line:
                size, x, y = line.split()[-2].split("+")
                w, h = size.split("x")
                windows[line.split()[0]] = (int(x), int(y), int(w), int(h))
        return windows

    def bus_traces(self):
        """What a program that reached for a session bus leaves on this display, where none is
        named: libdbus launches one through the X server, leaving a window that holds its
        address and the bus's daemon."""
        traces = [f"window {w} holds a session bus's address" for w in sorted(self.top_windows())
                  if "_DBUS_SESSION_BUS_ADDRESS" in self.run(["xprop", "-id", w], False)]
        daemons = [int(pid) for pid in self.run(["pgrep", "-x", "dbus-daemon"], False).split()]
        return traces + [f"a session bus daemon (pid {pid}) runs for this display" for pid in
                         pids_where(lambda pid: environment_of(pid).get("DISPLAY") ==
                                    self.env["DISPLAY"], daemons)]

    def screenshot(self, box=None):
        """The screen, or the part of it in box (x, y, width, height)."""
        crop = ["-crop", "{2}x{3}+{0}+{1}".format(*box)] if box else []
        data = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root",
                               *crop, "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=30, check=True).stdout
        return Picture.from_ppm(data)


# One screen of the given size and depth on the dummy driver's virtual monitor, with no input
# devices of the machine's (input comes through XTEST); no larger mode fits, so that a desktop
# that picks the largest one keeps that size.
DUMMY_CONFIG = """Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5-1000
  VertRefresh 5-200
  Modeline "{w}x{h}" {clock:.2f} {w} {w1} {w2} {w3} {h} {h1} {h2} {h3}
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth {depth}
  SubSection "Display"
    Depth {depth}
    Modes "{w}x{h}"
    Virtual {w} {h}
  EndSubSection
EndSection
"""


class DummyXorg(XServer):
    """Xorg with the dummy video driver, as a desktop that needs a real X server (GLX, the
    compositing desktops) runs on it; as root, beside the console's VTs rather than on one."""

    def server_command(self, displayfd):
        self.folder = tempfile.mkdtemp(prefix="drevanti-xorg-")
        (w, h), config = self.size, os.path.join(self.folder, "xorg.conf")
        with open(config, "w") as out:
            # A 60 Hz mode with CVT's blanking (Xorg refuses a reduced one for this monitor).
            out.write(DUMMY_CONFIG.format(w=w, h=h, w1=w + 64, w2=w + 192, w3=w + 384, h1=h + 3,
                                          h2=h + 8, h3=h + 28, depth=self.depth,
                                          clock=(w + 384) * (h + 28) * 60 / 1e6))
        return ["Xorg", "-displayfd", str(displayfd), "-config", config, "-logfile",
                os.path.join(self.folder, "xorg.log"), "-nolisten", "tcp", "-noreset",
                "-novtswitch", "-sharevts"]

    def close(self):
        super().close()
        shutil.rmtree(self.folder, ignore_errors=True)
