#!/usr/bin/python3
"""What the browser page costs while the demonstration runs: all of one headless Chromium's
processes together (software drawing), in % of one core, on an empty page and with the page
running at 960x540@1, 1920x1080@1 and 390x844@3 (CSS pixels @ device pixel ratio, seed 1), and
each page's transfer size, gzipped (the files the page and its service worker fetched). Several builds of the page are measured in one run, one after the
other in the same browser, so that their figures compare.

    page_cpu.py --page /tmp/page-before build-web/web [--seconds 20]

Needs Debian's python3 with python3-websocket and chromium. On a shared machine, run it under the
end-to-end lock: flock /tmp/drevanti-e2e.lock bench/page_cpu.py ...
"""

import argparse
import gzip
import os
import pathlib
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
    args = parser.parse_args()
    labels = [f"{w}x{h}@{r:g}" for w, h, r in SIZES]
    print(f"{'':32}{'empty':>8}" + "".join(f"{label:>15}" for label in labels) +
          f"{'gzipped kB':>12}   (% of one core over {args.seconds:g} s; above empty in ())")
    with browser.Chromium() as page:
        for folder in args.page:
            with browser.Server(folder) as server:
                browser.Server.requested.clear()
                page.viewport(*SIZES[0])
                page.load(server.url)
                page.send("Page.navigate", url="about:blank")
                page.pump(SETTLE_SECONDS)
                empty = browser_cpu(page, args.seconds)
                row = f"{folder[-32:]:32}{empty:8.2f}"
                for size in SIZES:
                    running_page(page, server, *size)
                    share = browser_cpu(page, args.seconds)
                    if page.state() != "running":
                        sys.exit("page_cpu.py: the demonstration stopped during the measurement")
                    row += f"{share:7.2f} ({share - empty:4.2f})"
                row += f"{transfer_kb(folder, browser.Server.requested):12.1f}"
                print(row, flush=True)


if __name__ == "__main__":
    main()
