#!/usr/bin/python3
"""The browser page end to end in headless Chromium, served on 127.0.0.1, at three viewport sizes
and at device pixel ratios 1, 1.5, 2 and 3: the start screen; Start -> the scene on a canvas of
the page's device pixels, laid out on its CSS pixels (the scene check of the other systems at the
ratio: the red scale bar from (W-200)*r to (W-100)*r, round(r) pixels thick, yellow terminals, the
status line about 11*r pixels high); with ?seed=S the console's JSON lines equal drevanti-solve
demo's at the CSS size; a key, a click, a touch and a one-pixel pointer move each return to the
start screen; a resize starts a new instance at the new size; opened as a file, it says how to be
served. Prints the page's size, the first
frame's time after Start, the pacing seen and the renderer's CPU share and memory at ratios 1 and
3.

    page_e2e.py --page build-web/web --solve build/tools/drevanti-solve \\
        --probe build/tests/platform/linux/x11_probe --shots DIR
"""

import gzip
import os
import pathlib
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from e2e import browser  # noqa: E402
from e2e.processes import run, usage  # noqa: E402
from e2e.report import check, log, main, shot_path  # noqa: E402
from e2e.scene import bar_row, ink_height, load_layout, scene_problems, status_box  # noqa: E402

# Viewports in CSS pixels (a laptop's, and phones' upright) with their device pixel ratios.
RUNS = [(960, 540, 1), (960, 540, 1.5), (960, 540, 2), (390, 700, 1), (390, 700, 2),
        (390, 844, 3)]
# Finished instances compared per viewport (each takes a few seconds of paced frames).
INSTANCES = 2
FILES = ("index.html", "drevanti.js", "drevanti.wasm")


def press_start(page):
    page.click(*page.evaluate("(b => [b.x + b.width / 2, b.y + b.height / 2])("
                              "document.getElementById('startButton').getBoundingClientRect())"))
    return page.wait_for("document.body.dataset.state === 'running'", 10)


def scene_checks(page, width, height, label, ratio=1):
    """The canvas: its size in device pixels, and the scene on it drawn at the ratio."""
    canvas = page.canvas("scene")
    check((canvas.width, canvas.height) == (width, height),
          f"{label}: the canvas is {canvas.width}x{canvas.height}, not {width}x{height} device pixels")
    problems = scene_problems(canvas, (0, 0, width, height), ratio)
    check(not problems, f"{label}: " + "; ".join(problems))
    return canvas


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


def start_scene(page, label):
    """Start, and the time to the first scene frame."""
    frame_probe(page)
    check(press_start(page), f"{label}: Start does not run the demonstration")
    check(page.wait_for("probe.frames.some(f => f.scene)", 10), f"{label}: no scene frame")
    log(f"{label}: first frame "
        f"{page.evaluate('probe.frames.find(f => f.scene).at - probe.start'):.0f} ms after Start")


def run_viewport(page, server, args, css_width, css_height, ratio, seed):
    width, height = round(css_width * ratio), round(css_height * ratio)
    label = f"{css_width}x{css_height}@{ratio:g}"
    page.viewport(css_width, css_height, ratio)

    page.console.clear()
    page.load(server.url + f"?seed={seed}")
    check(page.state() == "start", f"{label}: the page does not open on the start screen")
    check(page.evaluate("getComputedStyle(document.getElementById('startButton')).display"
                        " !== 'none' && getComputedStyle(document.getElementById('scene'))"
                        ".display === 'none'"), f"{label}: the start screen shows no Start or a scene")
    page.screenshot(shot_path(f"start-{label}"))

    start_scene(page, label)
    deadline = time.monotonic() + 60
    while len(demo_lines(page)) < INSTANCES and time.monotonic() < deadline:
        page.pump(0.5)
    page.screenshot(shot_path(f"scene-{label}"))
    canvas = scene_checks(page, width, height, label, ratio)
    bar_x, bar_y, length, thick = bar_row((0, 0, width, height), ratio)
    log(f"{label}: devicePixelRatio {page.evaluate('window.devicePixelRatio'):g}, canvas "
        f"{width}x{height}, logical {css_width}x{css_height}; the bar on device columns {bar_x}.."
        f"{bar_x + length - 1}, rows {bar_y}..{bar_y + thick - 1}; the status text "
        f"{ink_height(canvas, status_box((0, 0, width, height), ratio), ratio)} pixels high")
    got = demo_lines(page)[:INSTANCES]
    code, out, error = run([args.solve, "demo", "--seed", str(seed), "--screen",
                            f"{css_width}x{css_height}", "--instances", str(INSTANCES)])
    check(code == 0 and got == out.splitlines(), f"{label}: seed {seed}: the console's lines are "
          f"not drevanti-solve demo's for {css_width}x{css_height}:\npage: {got}\n"
          f"tool: {out}{error}")
    shown = page.evaluate("probe.frames.filter(f => f.scene).map(f => f.at)")
    gaps = [b - a for a, b in zip(shown, shown[1:])]
    pacing = (f"{len(shown)} scene frames, {min(gaps):.1f} ms to {max(gaps):.1f} ms apart"
              if gaps else f"{len(shown)} scene frame(s)")
    check(gaps and min(gaps) >= 119.5 and max(gaps) >= 1999.5, f"{label}: scene frames are not "
          f"at least 120 ms apart with each instance's final tree held 2 s ({pacing})")
    log(f"{label}: {pacing}; the console's lines are drevanti-solve demo's")

    # A new size: a new instance laid out for it, the scale bar at its new place.
    page.viewport(css_width + 100, css_height - 60, ratio)
    page.pump(1.5)
    check(page.state() == "running", f"{label}: the demonstration stops on a resize")
    scene_checks(page, round((css_width + 100) * ratio), round((css_height - 60) * ratio),
                 label + " resized", ratio)
    page.screenshot(shot_path(f"resized-{label}"))
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
            check(press_start(page), f"{label}: Start again does not run it")
            page.pump(0.5)
        act()
        check(page.wait_for("document.body.dataset.state === 'start'", 5),
              f"{label}: {what} does not return to the start screen")
        log(f"{label}: {what} returns to the start screen")
    check(page.evaluate("!document.fullscreenElement"), f"{label}: full screen is not left")


def another_face(page, server, args):
    """The scene's text placed by the face's own ascent: with a face of other metrics than the
    page's own, the labels still hang below the bar and the status line stays in its label."""
    label = "960x540@1 in another face"
    page.viewport(960, 540, 1)
    page.load(server.url)
    other = '11px "IPAGothic", "DejaVu Serif", serif'
    widths = page.evaluate(f"""(() => {{
      const context = document.createElement('canvas').getContext('2d');
      const width = (font) => {{ context.font = font; return context.measureText('N=100').width; }};
      const before = width(Module.page.font);
      Module.page.font = '{other}';
      return [before, width(Module.page.font)];
    }})()""")
    check(widths[0] != widths[1], f"{label}: the face is the page's own (widths {widths})")
    start_scene(page, label)
    page.pump(0.5)
    page.screenshot(shot_path("scene-other-face"))
    scene_checks(page, 960, 540, label)
    page.key()


def cpu_share(page, server, seconds, css_width, css_height, ratio):
    """The renderer's CPU share and memory while the demonstration runs."""
    page.viewport(css_width, css_height, ratio)
    page.load(server.url)
    press_start(page)
    page.pump(2)
    usage(page.renderer_pids(), seconds,
          f"the renderer while running at {css_width}x{css_height}@{ratio:g}")
    check(page.state() == "running", "the demonstration did not run throughout the CPU measurement")
    page.key()


def from_disk(page, args):
    """Opened as a file, the browser refuses to load the program: the page says how to serve it."""
    page.send("Page.navigate", url=pathlib.Path(args.page, "index.html").as_uri())
    shown = page.wait_for("location.protocol === 'file:' && document.getElementById('problem')"
                          " && !document.getElementById('problem').hidden", 30)
    page.screenshot(shot_path("from-disk"))
    message = page.evaluate("document.getElementById('problem').textContent")
    check(shown and "python3 -m http.server" in message,
          f"opened as a file, the page does not say how to serve it ({message!r})")
    log(f"opened as a file: {message}")


def case_page(args):
    for needed in [os.path.join(args.page, f) for f in FILES] + [args.solve, args.probe]:
        check(os.path.isfile(needed), f"{needed} is missing (build it first)")
    load_layout([args.probe, "layout"])
    contents = [pathlib.Path(args.page, name).read_bytes() for name in FILES]
    raw, packed = sum(map(len, contents)), sum(len(gzip.compress(c, 9)) for c in contents)
    log(f"page: {raw} bytes, {packed} bytes gzipped")
    check(packed <= 250_000, "the page's three files are more than 250 kB gzipped")
    with browser.Server(args.page) as server, browser.Chromium() as page:
        seeds = iter([1, 7, 4294967295, 12345, 99, 3])
        for css_width, css_height, ratio in RUNS:
            run_viewport(page, server, args, css_width, css_height, ratio, next(seeds))
        another_face(page, server, args)
        cpu_share(page, server, 10, 960, 540, 1)
        cpu_share(page, server, 10, 390, 844, 3)
        asked = sorted(set(p.split("?")[0] for p in server.requested))
        check(asked == ["/", "/drevanti.js", "/drevanti.wasm"],
              f"the page fetches more than its own files ({asked})")
        check(not page.exceptions, f"an uncaught exception in the page ({page.exceptions[:1]})")
        from_disk(page, args)


if __name__ == "__main__":
    main({"page": case_page}, "--page", "--solve", "--probe", "--shots")
