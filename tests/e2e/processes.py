"""Processes: programs started with their output kept, their end awaited and timed, and what
/proc says of any process (alive or a zombie, its parent, CPU time, wake-ups, memory, command
line)."""

import os
import subprocess
import tempfile
import time

from e2e.report import Failure, check, log, wait_for


def program_env(env):
    """The environment for a program built from this project. In a sanitizer build the leaks
    reported at exit lie in libraries SDL loads (D-Bus, fontconfig's cache, X11 extensions it
    unloads again, so their frames cannot even be named): leak detection is off for it. Memory
    errors still abort; the unit tests check the backend's own code for leaks."""
    env = dict(env)
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


class Program:
    """A running program, its output kept in a file (wine's background programs would hold a
    pipe open long after it ended)."""

    def __init__(self, command, env=None, what=None):
        self.what = what or os.path.basename(command[0])
        self.log = tempfile.TemporaryFile()
        self.started = time.monotonic()
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def alive(self):
        check(self.running(), f"{self.what} ended ({self.process.poll()}):\n{self.output()}")

    def first_line(self, seconds):
        """The first line the program writes."""
        def line():
            self.alive()
            text = self.output()
            return "\n" in text and text.split("\n")[0]

        return wait_for(line, seconds, f"{self.what} wrote nothing in {seconds} s", 0.05)

    def wait_end(self, seconds, action="it ran"):
        """Waits for the end; returns the exit code and the seconds waited."""
        start = time.monotonic()
        try:
            code = self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            raise Failure(f"{action}: still running {seconds} s later; output:\n{self.output()}")
        return code, time.monotonic() - start

    def expect_end(self, seconds, action):
        """Waits for the end with exit code 0 within seconds, and says how long it took."""
        code, waited = self.wait_end(seconds, action)
        check(code == 0, f"{action}: exit code {code}; output:\n{self.output()}")
        log(f"{action}: exit 0 after {1000 * waited:.0f} ms")
        return waited

    def still_running_after(self, seconds, action):
        time.sleep(seconds)
        check(self.running(), f"{action} ended it ({self.process.poll()}):\n{self.output()}")

    def stop(self):
        stop(self.process)


class Helper:
    """A helper program of the case's that answers each line it is sent with one line: "ok" once
    done (after its first line, ready, when given)."""

    def __init__(self, command, what, ready=None):
        self.what = what
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        if ready:
            line = self.process.stdout.readline().strip()
            check(line == ready, f"{self.what} did not start: {line!r}")

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        check(answer == "ok", f"{self.what}, {line}: {answer or 'no answer'}")

    def close(self):
        self.process.stdin.close()
        stop(self.process)


def stop(process):
    """Ends a process that still runs, asking first."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def run(command, env=None, timeout=30):
    """Runs a program to its end: exit code, output and messages."""
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    return done.returncode, done.stdout, done.stderr


def stat(pid):
    """The fields of /proc/PID/stat after the command's name: state, parent, ..."""
    with open(f"/proc/{pid}/stat") as file:
        return file.read().rsplit(")", 1)[1].split()


def pids_where(predicate, pids=None):
    """The processes (of pids, or all) for which predicate(pid) holds; those that end meanwhile
    are left out."""
    found = []
    if pids is None:
        pids = [int(entry) for entry in os.listdir("/proc") if entry.isdigit()]
    for pid in pids:
        try:
            if predicate(pid):
                found.append(pid)
        except (OSError, IndexError, ValueError):
            pass
    return found


def processes_of(executable, ancestor):
    """Live processes running the given file that descend from the ancestor process (other
    cases may run the same file meanwhile)."""
    target = os.path.realpath(executable)

    def descends(pid):
        while pid > 1 and pid != ancestor:
            pid = int(stat(pid)[1])
        return pid == ancestor

    return live(pids_where(lambda pid: os.path.realpath(f"/proc/{pid}/exe") == target and
                           descends(pid)))


def live(pids):
    """The processes among pids that have not ended (zombies count as ended)."""
    return pids_where(lambda pid: stat(pid)[0] != "Z", pids)


def wait_gone(pids, seconds, what):
    """Waits until every process of pids has ended; says how long that took."""
    start = time.monotonic()
    wait_for(lambda: not live(pids), seconds, f"{what}: still running {seconds} s later", 0.005)
    log(f"{what}: all gone after {1000 * (time.monotonic() - start):.0f} ms")


def cpu_seconds(pid):
    """User and system CPU time of a process so far."""
    fields = stat(pid)
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def switches(pid):
    """Context switches of all the process's threads so far: each sleep it wakes from counts."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as status:
            total += sum(int(line.split()[1]) for line in status
                         if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
    return total


def usage(pids, seconds=3.0, what="saver"):
    """Prints and returns the CPU share of one core and the wake-ups a second over the given
    time, and the resident memory in MB, of the processes together."""
    t0 = time.monotonic()
    c0, s0 = sum(cpu_seconds(pid) for pid in pids), sum(switches(pid) for pid in pids)
    time.sleep(seconds)
    elapsed = time.monotonic() - t0
    share = 100 * (sum(cpu_seconds(pid) for pid in pids) - c0) / elapsed
    wakeups = (sum(switches(pid) for pid in pids) - s0) / elapsed
    rss = 0
    for pid in pids:
        with open(f"/proc/{pid}/status") as status:
            rss += next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))
    log(f"{what}: CPU {share:.1f} % of one core, {wakeups:.1f} wake-ups a second over "
        f"{seconds:g} s, {rss / 1024:.1f} MB resident")
    return share, rss / 1024, wakeups


def command_line_of(pid):
    with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
        return [part.decode() for part in cmdline.read().split(b"\0") if part]


def environment_of(pid):
    with open(f"/proc/{pid}/environ", "rb") as environ:
        return dict(item.decode().split("=", 1) for item in environ.read().split(b"\0")
                    if b"=" in item)


def seconds_since_start(pid):
    """How long ago the process started (to the kernel's clock tick)."""
    started = int(stat(pid)[19]) / os.sysconf("SC_CLK_TCK")
    return time.clock_gettime(time.CLOCK_BOOTTIME) - started
