#!/usr/bin/python3
"""The browser page end to end in headless Chromium, served on 127.0.0.1, at two viewport sizes
and at device pixel ratios 1 and 2: the start screen; Start -> the scene (yellow terminals, the red
scale bar at W-200..W-100 device pixels, the status line); with ?seed=S the console's JSON lines
equal drevanti-solve demo's at the same device-pixel size; a key, a click, a touch and a one-pixel
pointer move each return to the start screen; a resize starts a new instance at the new size.
Prints the page's size, the first frame's time after Start, the pacing seen and the renderer's CPU
share.

    page_e2e.py --page build-web/web --solve build/tools/drevanti-solve --shots DIR
"""

import argparse
import gzip
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

# Where the scene puts things (render/scene_layout.h), in device pixels.
SCALE_BAR_Y = 30
STATUS_LABEL = (8, 0, 401, 25)
# Viewports in CSS pixels: a laptop's and a phone's, upright.
VIEWPORTS = [(960, 540), (390, 700)]
RATIOS = [1, 2]
# Finished instances compared per viewport (each takes a few seconds of paced frames).
INSTANCES = 2
FILES = ("index.html", "drevanti.js", "drevanti.wasm")

failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def pixels(page, x, y, width, height):
    """The scene canvas's RGBA pixels of a rectangle, row by row."""
    return page.evaluate(
        f"Array.from(document.getElementById('scene').getContext('2d')"
        f".getImageData({x}, {y}, {width}, {height}).data)")


def rgb_at(data, i):
    return tuple(data[4 * i:4 * i + 3])


def press_start(page):
    box = json.loads(page.evaluate(
        "JSON.stringify(document.getElementById('startButton').getBoundingClientRect())"))
    page.click(box["x"] + box["width"] / 2, box["y"] + box["height"] / 2)
    return page.wait_for("document.body.dataset.state === 'running'", 10)


def scene_checks(page, width, height, label):
    """The picture: the scale bar, yellow terminals and the status line, in device pixels."""
    size = page.evaluate("[document.getElementById('scene').width,"
                         " document.getElementById('scene').height]")
    check(size == [width, height], f"{label}: the canvas is {width}x{height} device pixels ({size})")
    left = width - 200
    bar = pixels(page, left - 3, SCALE_BAR_Y, 107, 1)
    red = [rgb_at(bar, i) == (255, 0, 0) for i in range(107)]
    check(all(red[3:104]) and not any(red[:2]) and not any(red[105:]),
          f"{label}: the red scale bar runs from x={left} to x={left + 100} at y={SCALE_BAR_Y}")
    # The labels "0" and "100" hang below the bar's ends (the bar's row stays pure red above).
    for name, x in (("0", left), ("100", left + 100)):
        below = pixels(page, x, SCALE_BAR_Y + 1, 24, 16)
        light = sum(1 for i in range(24 * 16) if min(rgb_at(below, i)) > 128)
        check(light >= 5, f"{label}: the label \"{name}\" is written below the bar ({light} pixels)")
    whole = pixels(page, 0, 0, width, height)
    yellow = sum(1 for i in range(width * height)
                 if whole[4 * i] > 180 and whole[4 * i + 1] > 180 and whole[4 * i + 2] < 90)
    check(yellow >= 20, f"{label}: yellow terminal outlines are drawn ({yellow} pixels)")
    x, y, w, h = STATUS_LABEL
    status = pixels(page, x, y, w, h)
    text = sum(1 for i in range(w * h) if min(rgb_at(status, i)) > 128)
    check(text >= 50, f"{label}: the status line is written ({text} light pixels)")


def tool_lines(solve, seed, width, height, count):
    out = subprocess.run([solve, "demo", "--seed", str(seed), "--screen", f"{width}x{height}",
                          "--instances", str(count)], check=True, capture_output=True, text=True)
    return out.stdout.splitlines()


def demo_lines(page):
    return [text for kind, text in page.console if kind == "log" and text.startswith('{"instance"')]


def frame_probe(page):
    """Test-side: the time of the Start click and of every frame the page puts on its canvas (a
    frame begins by filling the whole canvas; a scene frame strokes the red scale bar)."""
    page.evaluate("""(() => {
      window.probe = {start: 0, frames: []};
      document.getElementById('startButton').addEventListener('click',
          () => { probe.start = performance.now(); }, true);
      const context = CanvasRenderingContext2D.prototype;
      const fillRect = context.fillRect, stroke = context.stroke;
      context.fillRect = function (x, y, w, h) {
        if (x === 0 && y === 0 && w === this.canvas.width && h === this.canvas.height) {
          probe.frames.push({at: performance.now(), scene: false});
        }
        return fillRect.apply(this, arguments);
      };
      context.stroke = function () {
        const frame = probe.frames[probe.frames.length - 1];
        if (frame && this.strokeStyle === '#ff0000') frame.scene = true;
        return stroke.apply(this, arguments);
      };
    })()""")


def run_viewport(page, server, solve, shots, css_width, css_height, ratio, seed):
    width, height = css_width * ratio, css_height * ratio
    label = f"{css_width}x{css_height}@{ratio}"
    page.viewport(css_width, css_height, ratio)

    page.console.clear()
    page.open(server.url + f"?seed={seed}")
    check(page.state() == "start", f"{label}: the page opens on the start screen")
    check(page.evaluate("getComputedStyle(document.getElementById('startButton')).display"
                        " !== 'none' && getComputedStyle(document.getElementById('scene'))"
                        ".display === 'none'"), f"{label}: the start screen shows Start, no scene")
    page.screenshot(os.path.join(shots, f"start-{label}.png"))

    frame_probe(page)
    check(press_start(page), f"{label}: Start runs the demonstration")
    page.wait_for("probe.frames.some(f => f.scene)", 10)
    first = page.evaluate("probe.frames.find(f => f.scene).at - probe.start")
    print(f"      {label}: first frame {first:.0f} ms after Start", flush=True)
    deadline = time.monotonic() + 60
    while len(demo_lines(page)) < INSTANCES and time.monotonic() < deadline:
        page.pump(0.5)
    page.screenshot(os.path.join(shots, f"scene-{label}.png"))
    scene_checks(page, width, height, label)
    got = demo_lines(page)[:INSTANCES]
    want = tool_lines(solve, seed, width, height, INSTANCES)
    check(got == want, f"{label}: seed {seed}: the console's lines are drevanti-solve demo's"
                       f" for {width}x{height}")
    if got != want:
        print("      page:", got, "\n      tool:", want)
    shown = page.evaluate("probe.frames.filter(f => f.scene).map(f => f.at)")
    gaps = [b - a for a, b in zip(shown, shown[1:])]
    check(min(gaps) >= 119.5 and max(gaps) >= 1999.5,
          f"{label}: scene frames at least 120 ms apart, each instance's final tree held 2 s"
          f" ({len(shown)} frames, {min(gaps):.1f} ms to {max(gaps):.1f} ms apart)")

    # A new size: a new instance laid out for it, the scale bar at its new place.
    page.viewport(css_width + 100, css_height - 60, ratio)
    page.pump(1.5)
    check(page.state() == "running", f"{label}: the demonstration runs on after a resize")
    scene_checks(page, width + 100 * ratio, height - 60 * ratio, label + " resized")
    page.screenshot(os.path.join(shots, f"resized-{label}.png"))
    page.viewport(css_width, css_height, ratio)
    page.pump(0.5)

    # Each kind of input ends the run.
    inputs = [("a key", lambda: page.key()),
              ("a click", lambda: page.click(20, 60)),
              ("a touch", lambda: page.touch(30, 60)),
              ("a one-pixel pointer move", lambda: (page.move(40, 60), page.pump(0.3),
                                                    page.move(41, 60)))]
    for what, act in inputs:
        if page.state() != "running":
            check(press_start(page), f"{label}: Start again")
            page.pump(0.5)
        act()
        check(page.wait_for("document.body.dataset.state === 'start'", 5),
              f"{label}: {what} returns to the start screen")
    check(page.evaluate("!document.fullscreenElement"), f"{label}: full screen is left")


def another_face(page, server, shots):
    """The scene's text placed by the face's own ascent: with a face of other metrics than the
    page's own, the labels still hang below the bar and the status line stays in its label."""
    label = "960x540@1 in another face"
    page.viewport(960, 540, 1)
    page.open(server.url)
    other = '11px "IPAGothic", "DejaVu Serif", serif'
    widths = page.evaluate(f"""(() => {{
      const context = document.createElement('canvas').getContext('2d');
      const width = (font) => {{ context.font = font; return context.measureText('N=100').width; }};
      const before = width(Module.page.font);
      Module.page.font = '{other}';
      return [before, width(Module.page.font)];
    }})()""")
    check(widths[0] != widths[1], f"{label}: the face differs from the page's own (widths {widths})")
    frame_probe(page)
    check(press_start(page), f"{label}: Start runs the demonstration")
    page.wait_for("probe.frames.some(f => f.scene)", 10)
    page.pump(0.5)
    page.screenshot(os.path.join(shots, "scene-other-face.png"))
    scene_checks(page, 960, 540, label)
    page.key()


def cpu_share(page, server, seconds):
    """The renderer's CPU while the demonstration runs, as a share of one core."""
    page.viewport(960, 540, 1)
    page.open(server.url)
    press_start(page)
    page.pump(2)
    pids = page.renderer_pids()
    before = sum(browser.cpu_seconds(p) for p in pids)
    start = time.monotonic()
    page.pump(seconds)
    used = sum(browser.cpu_seconds(p) for p in pids) - before
    share = used / (time.monotonic() - start)
    running = page.state() == "running"
    page.key()
    return share, running


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--solve", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    for needed in [os.path.join(args.page, f) for f in FILES] + [args.solve]:
        if not os.path.isfile(needed):
            sys.exit(f"page_e2e: {needed} is missing (build it first)")
    os.makedirs(args.shots, exist_ok=True)

    raw = sum(os.path.getsize(os.path.join(args.page, f)) for f in FILES)
    packed = sum(len(gzip.compress(open(os.path.join(args.page, f), "rb").read(), 9))
                 for f in FILES)
    print(f"      page: {raw} bytes, {packed} bytes gzipped", flush=True)
    check(packed <= 250_000, "the page's three files are at most 250 kB gzipped")

    server = browser.Server(args.page)
    page = browser.Chromium()
    try:
        seeds = iter([1, 7, 4294967295, 12345])
        for css_width, css_height in VIEWPORTS:
            for ratio in RATIOS:
                run_viewport(page, server, args.solve, args.shots, css_width, css_height, ratio,
                             next(seeds))
        another_face(page, server, args.shots)
        share, running = cpu_share(page, server, 10)
        print(f"      renderer CPU while running: {100 * share:.1f} % of a core", flush=True)
        check(running, "the demonstration ran throughout the CPU measurement")
        asked = sorted(set(p.split("?")[0] for p in browser.requested_paths()))
        check(asked == ["/", "/drevanti.js", "/drevanti.wasm"],
              f"the page fetches nothing but its own files ({asked})")
        check(not page.exceptions, f"no uncaught exception in the page ({page.exceptions[:1]})")
    finally:
        page.close()
        server.close()
    if failures:
        sys.exit(f"{len(failures)} check(s) failed")


if __name__ == "__main__":
    main()
