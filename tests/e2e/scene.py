"""The scene check: does a part of a picture show a Drevanti scene? Judged by the scene's layout
as the code that draws it has it (render/scene_layout.h, printed as JSON by the probes' `layout`
command), in device pixels."""

import json
import time

from e2e.pictures import BLACK, LIGHT, RED, Colour, exactly
from e2e.processes import Program
from e2e.report import Failure, check

LAYOUT = {}
# The desktop's colour before a saver starts (xsetroot -solid MARKER_X): none may stay visible.
MARKER_X = "#ff00ff"
MARKER = exactly(255, 0, 255)
# Terminals are yellow rings; a browser softens their edges into darker yellow.
TERMINAL = Colour((100, 255), (100, 255), (0, 40))


def load_layout(command, env=None):
    """Reads the layout from a probe's `layout` command."""
    probe = Program(command, env)
    code, _ = probe.wait_end(60, "layout")
    check(code == 0, f"{' '.join(command)} failed: {probe.output()}")
    LAYOUT.update(json.loads(probe.output()))


def bar_row(monitor):
    """The scale bar's row on a monitor (x, y, width, height): bar_length + 1 pixels ending
    bar_right_margin pixels left of the monitor's right edge."""
    x, y, width, _ = monitor
    length = int(LAYOUT["bar_length"])
    left = width - int(LAYOUT["bar_right_margin"]) - length
    return x + left, y + int(LAYOUT["bar_y"]), length + 1, 1


def scene_problems(picture, monitor):
    """What is missing from the scene that should fill the monitor (x, y, width, height) of the
    picture: the red scale bar exactly from W-200 to W-100 with its ticks and its "0" and "100"
    below, yellow terminals, white status text in the status label, a black background, and
    nothing of the desktop's marker colour."""
    x, y, w, h = monitor
    problems = []
    bar_x, bar_y, length, _ = bar_row(monitor)
    if (red := picture.count(RED, (bar_x, bar_y, length, 1))) != length:
        problems.append(f"scale bar {red} of {length} pixels from x {bar_x - x}")
    if any(picture.count(RED, (end, bar_y, 1, 1)) for end in (bar_x - 1, bar_x + length)):
        problems.append("the scale bar runs past its ends")
    tick = int(LAYOUT["tick"])
    for end in (bar_x, bar_x + length - 1):
        if picture.count(RED, (end, bar_y - tick, 1, tick + 1)) != tick + 1:
            problems.append(f"no red tick at x {end - x}")
    for text, end, width, least in (("0", bar_x, 12, 5), ("100", bar_x + length - 1, 30, 12)):
        if picture.count(LIGHT, (end, bar_y + 1, width, 16)) < least:
            problems.append(f'no "{text}" under the scale bar')
    if picture.count(TERMINAL, monitor) < 48:
        problems.append(f"only {picture.count(TERMINAL, monitor)} pixels of yellow terminals")
    lx, ly, lw, lh = LAYOUT["label"]
    if picture.count(LIGHT, (x + lx, y + ly, lw, lh)) < 100:
        problems.append("no status text in the label")
    if (black := picture.count(BLACK, monitor)) < 0.85 * w * h:
        problems.append(f"the background is not black ({black} of {w * h} pixels)")
    if marker := picture.count(MARKER, monitor):
        problems.append(f"{marker} pixels of the desktop still visible")
    return problems


def wait_for_scenes(grab, monitors, alive, what, seconds=15.0):
    """Polls grab() until its picture shows a scene on every monitor; returns the picture and
    the seconds it took."""
    start = time.monotonic()
    problems = ["nothing seen"]
    while time.monotonic() - start < seconds:
        alive()
        picture = grab()
        problems = [f"monitor {i + 1}: {p}" for i, m in enumerate(monitors)
                    for p in scene_problems(picture, m)]
        if not problems:
            return picture, time.monotonic() - start
        time.sleep(0.1)
    raise Failure(f"{what}: " + "; ".join(problems))


def wait_for_bars(screenshot, monitors, alive, since, seconds, what):
    """Polls the scale bars' rows (cheap, unlike a whole screenshot) until every monitor shows
    its bar; fails unless that took at most the given seconds from since, which it returns."""
    rows = [bar_row(monitor) for monitor in monitors]
    while not all(screenshot(row).count(RED) == row[2] for row in rows):
        alive()
        check(time.monotonic() - since <= seconds,
              f"{what}: not every monitor shows its scale bar {seconds:g} s after the start")
    return time.monotonic() - since
