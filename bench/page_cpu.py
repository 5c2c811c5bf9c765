#!/usr/bin/python3
"""What the browser page costs while the demonstration runs: all of one headless Chromium's
processes together (software drawing), in % of one core, on an empty page and with the page
running at 960x540@1, 1920x1080@1 and 390x844@3 (CSS pixels @ device pixel ratio, seed 1), and
each page's transfer size, gzipped (the files the page and its service worker fetched on the
first visit). Several builds of the page are measured in one run, in turns in the same browser,
so that their figures compare.

    page_cpu.py --page /tmp/page-before build-web/web [--seconds 20] [--repeat 3] [--floor]

Needs Debian's python3 with python3-websocket and chromium. On a shared machine, run it under the
end-to-end lock: flock /tmp/drevanti-e2e.lock bench/page_cpu.py ...
"""

import argparse
import contextlib
import gzip
import os
import pathlib
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from e2e import browser  # noqa: E402
from e2e.processes import cpu_seconds, live, pids_where, stat  # noqa: E402

SIZES = [(960, 540, 1), (1920, 1080, 1), (390, 844, 3)]
# The page's loading and its first instance (51 frames 120 ms apart and the final tree's 2 s), in
# which the browser also compiles the program's hot parts once more for speed, are left out of
# the measurement.
SETTLE_SECONDS = 10.0
SEED = 1


def browser_cpu(page, seconds):
    """% of one core of all the browser's processes (its session) over the given time; processes
    that end meanwhile count up to their last reading."""
    session = lambda pid: int(stat(pid)[3]) == page.process.pid  # noqa: E731
    before = {pid: cpu_seconds(pid) for pid in live(pids_where(session))}
    start = time.monotonic()
    page.pump(seconds)
    elapsed = time.monotonic() - start
    used = 0.0
    for pid in pids_where(session):
        try:
            used += cpu_seconds(pid) - before.get(pid, 0.0)
        except OSError:
            pass
    return 100 * used / elapsed


def transfer_kb(folder, paths):
    """The gzipped size of the files the server handed out, each once."""
    names = {p.split("?")[0].lstrip("/") or "index.html" for p in paths}
    return sum(len(gzip.compress(pathlib.Path(folder, n).read_bytes(), 9)) for n in names
               if pathlib.Path(folder, n).is_file()) / 1000


def running_page(page, server, css_width, css_height, ratio):
    page.viewport(css_width, css_height, ratio)
    # One seed, so that every build shows the same instances.
    page.load(server.url + f"?seed={SEED}")
    page.evaluate("document.getElementById('startButton').click()")
    if not page.wait_for("document.body.dataset.state === 'running'", 10):
        sys.exit("page_cpu.py: the page did not start")
    page.pump(SETTLE_SECONDS)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--page", nargs="+", required=True, help="folders of built pages")
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--floor", action="store_true",
                        help="also a page that changes one pixel a frame at the same pace "
                        "(frame_floor/): what showing the frames alone costs")
    parser.add_argument("--repeat", type=int, default=3,
                        help="measurements of each, taken in turns; their median is printed")
    args = parser.parse_args()
    if args.floor:
        args.page.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), "frame_floor"))
    labels = [f"{w}x{h}@{r:g}" for w, h, r in SIZES]
    print(f"{'':32}{'empty':>8}" + "".join(f"{label:>15}" for label in labels) +
          f"{'gzipped kB':>12}   (% of one core over {args.seconds:g} s, median of "
          f"{args.repeat}; above empty in ())")
    with browser.Chromium() as page, contextlib.ExitStack() as servers:
        served = [servers.enter_context(browser.Server(folder)) for folder in args.page]
        # A first visit of each, not measured: the browser fetches and compiles the program
        # and the service worker keeps the files, as on a user's first visit.
        transfer = []
        for folder, server in zip(args.page, served):
            browser.Server.requested.clear()
            running_page(page, server, *SIZES[0])
            transfer.append(transfer_kb(folder, browser.Server.requested))
        empty, shares = [], [[[] for _ in SIZES] for _ in served]
        for _ in range(args.repeat):
            page.send("Page.navigate", url="about:blank")
            page.pump(SETTLE_SECONDS)
            empty.append(browser_cpu(page, args.seconds))
            for size_index, size in enumerate(SIZES):
                for server, measured in zip(served, shares):
                    running_page(page, server, *size)
                    measured[size_index].append(browser_cpu(page, args.seconds))
                    if page.state() != "running":
                        sys.exit("page_cpu.py: the demonstration stopped during the measurement")
        idle = statistics.median(empty)
        for folder, measured, kb in zip(args.page, shares, transfer):
            row = f"{folder[-32:]:32}{idle:8.2f}"
            for values in measured:
                share = statistics.median(values)
                row += f"{share:7.2f} ({share - idle:4.2f})"
            print(row + f"{kb:12.1f}", flush=True)


if __name__ == "__main__":
    main()
