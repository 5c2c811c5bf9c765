#!/usr/bin/env python3
"""What the full-screen saver costs as the screen grows: the saver's and its display server's CPU
share of one core, the saver's wake-ups a second and its resident memory, at 1920x1080, 3840x2160
and 7680x4320 on an X server (Xvfb) and at 1920x1080 and 3840x2160 on a headless sway (whose
share is the compositor's). Given two savers, each size runs both, one after the other, so that
the figures compare on one machine in one run (before and after a change).

    screen_cost.py --saver build/src/platform/linux/drevanti [--before OTHER_BUILD/drevanti]
                   [--seconds 30] [--on x11 sway]

Run it as root, on a shared machine under the end-to-end lock, as wakeups.py (whose runs it uses):
flock /tmp/drevanti-e2e.lock bench/screen_cost.py ...
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wakeups  # noqa: E402

SIZES = {"x11": ("1920x1080", "3840x2160", "7680x4320"), "sway": ("1920x1080", "3840x2160")}
RUNS = {"x11": wakeups.on_x11, "sway": wakeups.on_sway}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--saver", required=True)
    parser.add_argument("--before", help="a saver to measure first at each size, for comparison")
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--on", nargs="+", choices=tuple(RUNS), default=tuple(RUNS))
    args = parser.parse_args()
    savers = [("after", os.path.abspath(args.saver))]
    if args.before:
        savers.insert(0, ("before", os.path.abspath(args.before)))
    print(f"{args.seconds:g} s each; load average at the start "
          f"{' '.join(f'{v:.2f}' for v in os.getloadavg())}, {os.cpu_count()} cores")
    print(f"| on | screen | {'build | ' if args.before else ''}saver CPU | server CPU | together | "
          "wake-ups/s | resident |")
    print(f"|---|---|{'---|' if args.before else ''}---|---|---|---|---|")
    for system in args.on:
        for size in SIZES[system]:
            width, height = map(int, size.split("x"))
            for label, saver in savers:
                run = argparse.Namespace(saver=saver, seconds=args.seconds, threads=False)
                rate, cpu, rss, server = RUNS[system](run, width, height)
                build = f"{label} | " if args.before else ""
                print(f"| {system} | {size} | {build}{cpu:.2f} % | {server:.2f} % | "
                      f"{cpu + server:.2f} % | {rate:.1f} | {rss:.0f} MB |", flush=True)


if __name__ == "__main__":
    main()
