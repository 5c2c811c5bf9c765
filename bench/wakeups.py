#!/usr/bin/env python3
"""How often the full-screen saver wakes up, and what it costs, on an X server (Xvfb) and on a
headless sway: the saver runs for a while at one screen size, and the script prints the context
switches a second of all its threads together (voluntary and not, from /proc/PID/task/*/status),
its CPU share of one core and its resident memory at the end.

    wakeups.py --saver build/src/platform/linux/drevanti [--seconds 30] [--size 1920x1080]
               [--on x11 sway] [--threads]

Run it as root (sway refuses root: it runs as the user drevanti-bench, made when missing) and, on
a shared machine, under the end-to-end lock: flock /tmp/drevanti-e2e.lock bench/wakeups.py ...
"""

import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BENCH_USER = "drevanti-bench"
# The saver's start-up (fonts, first instance) is left out of the measurement.
SETTLE_SECONDS = 3.0


def switches(pid):
    """Context switches so far of each thread: {thread id: (voluntary, nonvoluntary)}."""
    found = {}
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(status) as lines:
                fields = dict(line.split(":", 1) for line in lines if ":" in line)
        except FileNotFoundError:
            continue  # a thread that ended meanwhile
        found[status.split("/")[4]] = (int(fields["voluntary_ctxt_switches"]),
                                       int(fields["nonvoluntary_ctxt_switches"]))
    return found


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def resident_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS")) / 1024


def measure(pid, seconds, per_thread, errors, server):
    """Wake-ups a second, CPU % of one core and MB resident of the running process pid, and the CPU
    % of its display server's process server over the same time; with per_thread, each thread's
    voluntary and other switches a second are printed too. errors is the file the process writes
    its messages to, shown should it end meanwhile."""
    try:
        return measure_running(pid, seconds, per_thread, server)
    except FileNotFoundError:
        errors.seek(0)
        sys.exit(f"wakeups.py: the saver ended: {errors.read().decode(errors='replace').strip()}")


def measure_running(pid, seconds, per_thread, server):
    time.sleep(SETTLE_SECONDS)
    t0, s0, c0, v0 = time.monotonic(), switches(pid), cpu_ticks(pid), cpu_ticks(server)
    time.sleep(seconds)
    t1, s1, c1, v1 = time.monotonic(), switches(pid), cpu_ticks(pid), cpu_ticks(server)
    elapsed = t1 - t0
    total = 0
    for thread, (voluntary, other) in sorted(s1.items()):
        before = s0.get(thread, (0, 0))
        total += voluntary + other - sum(before)
        if per_thread:
            print(f"  thread {thread}: {(voluntary - before[0]) / elapsed:.1f} voluntary, "
                  f"{(other - before[1]) / elapsed:.1f} other a second")
    share = 100.0 / os.sysconf("SC_CLK_TCK") / elapsed
    return total / elapsed, (c1 - c0) * share, resident_mb(pid), (v1 - v0) * share


def wait_until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            sys.exit(f"wakeups.py: {what}")
        time.sleep(0.1)


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def on_x11(args, width, height):
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                               f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
                              pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as displayfd:
        display = ":" + displayfd.readline().strip()
    with tempfile.TemporaryFile() as errors:
        saver = subprocess.Popen([args.saver], env={**os.environ, "DISPLAY": display},
                                 stdout=subprocess.DEVNULL, stderr=errors)
        try:
            return measure(saver.pid, args.seconds, args.threads, errors, server.pid)
        finally:
            stop(saver)
            stop(server)


def started_by(runner, name):
    """The processes called name that the runuser process runner started."""
    listed = subprocess.run(["pgrep", "-P", str(runner.pid), "-x", name], capture_output=True,
                            text=True).stdout
    return [int(pid) for pid in listed.split()]


def as_bench_user(argv, env):
    return ["runuser", "-u", BENCH_USER, "--", "env", "-i", "PATH=/usr/bin:/bin",
            *[f"{key}={value}" for key, value in env.items()], *argv]


def on_sway(args, width, height):
    if subprocess.run(["id", "-u", BENCH_USER], capture_output=True).returncode != 0:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/bin/sh",
                        BENCH_USER], check=True)
    runtime = tempfile.mkdtemp(prefix="drevanti-bench-")
    try:
        shutil.chown(runtime, BENCH_USER)
        config = os.path.join(runtime, "sway.conf")
        with open(config, "w") as out:
            out.write(f"output HEADLESS-1 resolution {width}x{height}\n")
        saver = os.path.join(runtime, "drevanti")
        shutil.copy(args.saver, saver)
        for path in (config, saver):
            shutil.chown(path, BENCH_USER)
        env = {"XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
               "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_HEADLESS_OUTPUTS": "1"}
        sway = subprocess.Popen(as_bench_user(["sway", "-c", config], env),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: os.path.exists(os.path.join(runtime, "wayland-1")), 15,
                       "sway did not start")
            # The socket is there a moment before sway answers on it.
            time.sleep(1.0)
            saver_env = {"XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": "wayland-1"}
            errors = tempfile.TemporaryFile()
            runner = subprocess.Popen(as_bench_user([saver], saver_env),
                                      stdout=subprocess.DEVNULL, stderr=errors)
            try:
                found = []
                wait_until(lambda: found.extend(started_by(runner, "drevanti")) or found, 10,
                           "the saver did not start")
                return measure(found[0], args.seconds, args.threads, errors,
                               started_by(sway, "sway")[0])
            finally:
                # This run's saver alone: another run's may be the same user's.
                for pid in found:
                    os.kill(pid, signal.SIGTERM)
                runner.wait(10)
                errors.close()
        finally:
            stop(sway)
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--saver", required=True)
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--on", nargs="+", choices=("x11", "sway"), default=("x11", "sway"))
    parser.add_argument("--threads", action="store_true", help="each thread's switches too")
    args = parser.parse_args()
    args.saver = os.path.abspath(args.saver)
    width, height = map(int, args.size.split("x"))
    runs = {"x11": on_x11, "sway": on_sway}
    print(f"{'':6}{'wake-ups/s':>12}{'CPU %':>8}{'VmRSS MB':>10}   ({args.size}, "
          f"{args.seconds:g} s)")
    for name in args.on:
        rate, cpu, rss, _ = runs[name](args, width, height)
        print(f"{name:6}{rate:12.1f}{cpu:8.2f}{rss:10.1f}", flush=True)


if __name__ == "__main__":
    main()
