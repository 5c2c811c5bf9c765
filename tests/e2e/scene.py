"""The scene check: does a part of a picture show a Drevanti scene? Judged by the scene's layout
as the code that draws it has it (render/scene_layout.h, printed as JSON by the probes' `layout`
command), in device pixels."""

import json
import math
import time

from e2e.pictures import BLACK, LIGHT, RED, Colour, exactly
from e2e.processes import Program
from e2e.report import Failure, check

LAYOUT = {}
# The desktop's colour before a saver starts (xsetroot -solid MARKER_X): none may stay visible.
MARKER_X = "#ff00ff"
MARKER = exactly(255, 0, 255)
# Red mixed with black (not the grey of softened white): a scale bar blurred by a compositor
# that scaled the picture.
REDDISH = Colour((60, 254), (0, 40), (0, 40))
# Terminals are yellow rings; a browser softens their edges into darker yellow.
TERMINAL = Colour((100, 255), (100, 255), (0, 40))


def load_layout(command, env=None):
    """Reads the layout from a probe's `layout` command."""
    probe = Program(command, env)
    code, _ = probe.wait_end(60, "layout")
    check(code == 0, f"{' '.join(command)} failed: {probe.output()}")
    LAYOUT.update(json.loads(probe.output()))


def line_width(scale):
    """How many device pixels thick the scene's lines are at scale device pixels to its one."""
    return max(1, round(scale))


def bar_row(monitor, scale=1):
    """The scale bar on a monitor (x, y, width, height, in device pixels) as a box (x, y, width,
    height): on a logical screen of the monitor's size over scale, bar_length + 1 of the scene's
    pixels ending bar_right_margin of them left of its right edge, each scene pixel on the device
    pixels from floor(v * scale), the line line_width(scale) thick."""
    x, y, width, _ = monitor
    logical = round(width / scale)
    left = logical - int(LAYOUT["bar_right_margin"]) - int(LAYOUT["bar_length"])
    right = left + int(LAYOUT["bar_length"])
    thick = line_width(scale)
    start = math.floor(left * scale)
    return (x + start, y + math.floor(int(LAYOUT["bar_y"]) * scale),
            math.floor(right * scale) - start + thick, thick)


# White text's ink, its anti-aliased edges included: a face of thin strokes (IPAGothic at 11
# pixels) has rows of its capitals that are lit only this far.
INK = Colour((100, 255), (100, 255), (100, 255))


def ink_height(picture, box, scale=1):
    """The most rows in a row of the box each holding light pixels of a line of text, judged on
    its first characters (30 of the scene's pixels), where a tree's edge crosses seldom; each row
    needs more of them than a crossing edge puts on one."""
    longest = run = 0
    for row in range(box[1], box[1] + box[3]):
        lit = picture.count(INK, (box[0], row, math.floor(30 * scale), 1))
        run = run + 1 if lit > 2 * scale else 0
        longest = max(longest, run)
    return longest


def status_box(monitor, scale=1):
    """The status label on the monitor, in device pixels."""
    lx, ly, lw, lh = LAYOUT["label"]
    return (monitor[0] + math.floor(lx * scale), monitor[1] + math.floor(ly * scale),
            math.floor((lx + lw) * scale) - math.floor(lx * scale),
            math.floor((ly + lh) * scale) - math.floor(ly * scale))


def scene_problems(picture, monitor, scale=1):
    """What is missing from the scene that should fill the monitor (x, y, width, height, in device
    pixels) of the picture, drawn at scale device pixels to the scene's pixel: the red scale bar
    exactly from W-200 to W-100 of the logical width W with its ticks and its "0" and "100" below,
    yellow terminals, white status text in the status label about 11 pixels high at scale one, a
    black background, and nothing of the desktop's marker colour."""
    x, y, w, h = monitor
    problems = []
    bar_x, bar_y, length, thick = bar_row(monitor, scale)
    if (red := picture.count(RED, (bar_x, bar_y, length, thick))) != length * thick:
        problems.append(f"scale bar {red} of {length}x{thick} pixels from x {bar_x - x}")
    if any(picture.count(RED, (end, bar_y, 1, thick)) for end in (bar_x - 1, bar_x + length)):
        problems.append("the scale bar runs past its ends")
    # Between the ticks, which rise from its ends.
    if any(picture.count(RED, (bar_x + thick, row, length - 2 * thick, 1))
           for row in (bar_y - 1, bar_y + thick)):
        problems.append(f"the scale bar is not {thick} rows thick")
    if picture.count(REDDISH, (bar_x + thick, bar_y - 1, length - 2 * thick, thick + 2)):
        problems.append("the scale bar's edges are blurred")
    tick = math.floor(int(LAYOUT["bar_y"]) * scale) - math.floor(
        (int(LAYOUT["bar_y"]) - int(LAYOUT["tick"])) * scale)
    for end in (bar_x, bar_x + length - thick):
        if picture.count(RED, (end, bar_y - tick, thick, tick + 1)) != (tick + 1) * thick:
            problems.append(f"no red tick at x {end - x}")
    for text, end, width, least in (("0", bar_x, 12, 5), ("100", bar_x + length - 1, 30, 12)):
        if picture.count(LIGHT, (end, bar_y + thick, round(width * scale),
                                 round(16 * scale))) < least * scale:
            problems.append(f'no "{text}" under the scale bar')
    if picture.count(TERMINAL, monitor) < 48:
        problems.append(f"only {picture.count(TERMINAL, monitor)} pixels of yellow terminals")
    label = status_box(monitor, scale)
    if picture.count(LIGHT, label) < 100:
        problems.append("no status text in the label")
    elif not 0.6 * 11 * scale <= (high := ink_height(picture, label, scale)) <= 1.1 * 11 * scale:
        problems.append(f"the status text is {high} pixels high, not near 11 x {scale:g}")
    if (black := picture.count(BLACK, monitor)) < 0.85 * w * h:
        problems.append(f"the background is not black ({black} of {w * h} pixels)")
    if marker := picture.count(MARKER, monitor):
        problems.append(f"{marker} pixels of the desktop still visible")
    return problems


def wait_for_scenes(grab, monitors, alive, what, seconds=15.0, scale=1, scales=None):
    """Polls grab() until its picture shows a scene on every monitor, drawn at the scale given
    (or at each monitor's of scales); returns the picture and the seconds it took."""
    start = time.monotonic()
    problems = ["nothing seen"]
    while time.monotonic() - start < seconds:
        alive()
        picture = grab()
        problems = [f"monitor {i + 1}: {p}" for i, (m, s) in
                    enumerate(zip(monitors, scales or [scale] * len(monitors)))
                    for p in scene_problems(picture, m, s)]
        if not problems:
            return picture, time.monotonic() - start
        time.sleep(0.1)
    raise Failure(f"{what}: " + "; ".join(problems))


def wait_for_bars(screenshot, monitors, alive, since, seconds, what, scale=1):
    """Polls the scale bars' rows (cheap, unlike a whole screenshot) until every monitor shows
    its bar; fails unless that took at most the given seconds from since, which it returns."""
    rows = [bar_row(monitor, scale) for monitor in monitors]
    while not all(screenshot(row).count(RED) == row[2] * row[3] for row in rows):
        alive()
        check(time.monotonic() - since <= seconds,
              f"{what}: not every monitor shows its scale bar {seconds:g} s after the start")
    return time.monotonic() - since
