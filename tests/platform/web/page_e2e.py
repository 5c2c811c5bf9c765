#!/usr/bin/python3
"""The browser page end to end in headless Chromium, served on 127.0.0.1, at three viewport sizes
and at device pixel ratios 1, 1.5, 2 and 3: the start screen; Start -> the scene on a canvas of
the page's device pixels, laid out on its CSS pixels (the scene check of the other systems at the
ratio: the red scale bar from (W-200)*r to (W-100)*r, round(r) pixels thick, yellow terminals, the
status line about 11*r pixels high); with ?seed=S the console's JSON lines equal drevanti-solve
demo's at the CSS size; a key, a click, a touch and a one-pixel pointer move each return to the
start screen; a resize starts a new instance at the new size; opened as a file, it says how to be
served. The page as an app: its manifest is installable and its icons load at their sizes; a screen
wake lock is held while the scene shows and let go after, and hidden the page draws nothing; a frame
drawn again only where it changed equals the whole frame; after a first visit the page loads and
starts with the network cut; a rebuilt page of other content replaces the kept one at the next
visit. Prints the page's size, the first frame's time after Start, the pacing seen and the
renderer's CPU share and memory at ratios 1 and 3.

    page_e2e.py page|app --page build-web/web --solve build/tools/drevanti-solve \\
        --probe build/tests/platform/linux/x11_probe --shots DIR
"""

import gzip
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
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
# What makes it an app: kept by the service worker with the files above.
ICONS = ("icon-192.png", "icon-512.png", "icon-maskable-512.png")
APP_FILES = ("manifest.webmanifest", "sw.js") + ICONS
# The scene's drawing context's class: the page draws off the document where the browser can.
CONTEXT = ("(Module.page.canvas instanceof HTMLCanvasElement ? CanvasRenderingContext2D"
           " : OffscreenCanvasRenderingContext2D)")
SOURCE = pathlib.Path(__file__).resolve().parents[3] / "src" / "platform" / "web"


def press_start(page):
    page.click(*page.evaluate("(b => [b.x + b.width / 2, b.y + b.height / 2])("
                              "document.getElementById('startButton').getBoundingClientRect())"))
    return page.wait_for("document.body.dataset.state === 'running'", 10)


def scene_checks(page, width, height, label, ratio=1):
    """The canvas: its size in device pixels, and the scene on it drawn at the ratio."""
    canvas = page.canvas("Module.page.canvas")
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
      const context = CONTEXT.prototype;
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
    })()""".replace("CONTEXT", CONTEXT))


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


def kept_page(page):
    """Waits until the service worker has kept the files and serves this page."""
    check(page.wait_for("navigator.serviceWorker.ready.then(() => true)", 30),
          "the service worker does not become ready")
    page.load(page.evaluate("location.href"))
    check(page.wait_for("!!navigator.serviceWorker.controller", 10),
          "the page is not served by its service worker after the first visit")


def installable(page):
    manifest = page.send("Page.getAppManifest")
    check(manifest.get("url", "").endswith("/manifest.webmanifest") and not manifest["errors"],
          f"the manifest is not linked or has errors: {manifest.get('errors')}")
    errors = page.send("Page.getInstallabilityErrors")["installabilityErrors"]
    check(not errors, f"Chromium finds the page not installable: {errors}")
    icons = page.evaluate("""fetch('manifest.webmanifest').then(r => r.json()).then(m =>
      Promise.all(m.icons.map(icon => new Promise((resolve) => {
        const image = new Image();
        image.onload = () => resolve([icon.src, icon.sizes, icon.purpose,
                                      image.naturalWidth + 'x' + image.naturalHeight]);
        image.onerror = () => resolve([icon.src, icon.sizes, icon.purpose, 'no picture']);
        image.src = icon.src;
      }))))""")
    check(all(sizes == loaded for _, sizes, _, loaded in icons) and
          {purpose for *_, purpose, _ in icons} == {"any", "maskable"} and
          {"192x192", "512x512"} <= {sizes for _, sizes, _, _ in icons},
          f"the icons are not 192 and 512 pixels, one maskable, as the manifest says: {icons}")
    log(f"the manifest is installable; icons {', '.join(f'{s} {p}' for _, s, p, _ in icons)}")


def offline(page, server):
    """With the network cut, the kept page loads and runs."""
    asked = len(server.requested)
    page.send("Network.enable")
    page.send("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
              uploadThroughput=-1)
    try:
        page.load(server.url + "?seed=3")
        start_scene(page, "offline")
        check(server.requested[asked:] == [], f"offline, the page still asked the server for "
              f"{server.requested[asked:]}")
        page.key()
    finally:
        page.send("Network.emulateNetworkConditions", offline=False, latency=0,
                  downloadThroughput=-1, uploadThroughput=-1)
    log("with the network cut, the page loads from its service worker's cache and runs")


def rebuilt(page, server, folder):
    """Another build (a page of other content) is served: the open page is the old build's, and
    the next visit is all the new one's, whose cache is the only one left."""
    before = page.evaluate("caches.keys()")
    index = pathlib.Path(folder, "index.html")
    index.write_text(index.read_text().replace("<title>Drevanti</title>",
                                               "<title>Drevanti rebuilt</title>"))
    subprocess.run(["cmake", f"-DWEB={folder}", f"-DTEMPLATE={SOURCE / 'service_worker.js'}",
                    "-DFILES=" + ";".join(FILES + ("manifest.webmanifest",) + ICONS),
                    "-P", str(SOURCE / "offline_cache.cmake")], check=True)
    page.load(server.url)
    check(page.evaluate("document.title") == "Drevanti",
          "the open page changed build while it was open")
    check(page.wait_for("navigator.serviceWorker.getRegistration().then(r => !!r.waiting)", 30),
          "the rebuilt page's service worker was not installed")
    # Leaving the page: no page of the old build is open, so the new one takes over.
    page.send("Page.navigate", url="about:blank")
    page.pump(1)
    page.load(server.url)
    check(page.evaluate("document.title") == "Drevanti rebuilt",
          "the next visit still shows the old build")
    after = page.evaluate("caches.keys()")
    check(len(before) == 1 and len(after) == 1 and before != after,
          f"the caches are not one per build, the old one deleted: {before} then {after}")
    log(f"a rebuilt page replaces the kept one at the next visit (cache {before[0]} -> "
        f"{after[0]})")


def watch_wake_locks(page):
    """Test-side: every wake lock the page is granted, in locks."""
    page.evaluate("""(() => {
      window.locks = [];
      const request = navigator.wakeLock.request.bind(navigator.wakeLock);
      navigator.wakeLock.request = (type) => request(type).then((lock) => {
        locks.push(lock);
        return lock;
      });
    })()""")


def wake_lock(page, server):
    """The screen wake lock: held while the scene shows, let go once it ends. Hidden behind
    another tab, a page that fills the window (not in full screen, which the browser would end)
    draws nothing and the browser lets go of the lock; shown again, it draws on and holds a new
    one."""
    page.send("Browser.setPermission", permission={"name": "screen-wake-lock"},
              setting="granted", origin=server.url.rstrip("/"))
    page.load(server.url)
    watch_wake_locks(page)
    check(press_start(page), "wake lock: Start does not run the demonstration")
    check(page.wait_for("locks.length === 1 && !locks[0].released && locks[0].type === 'screen'",
                        10), "no screen wake lock is held while the scene shows")
    page.key()
    check(page.wait_for("document.body.dataset.state === 'start' && locks.every(l => l.released)",
                        10), "the wake lock is still held after the scene ended")

    # A new page, which the user has not touched: Start keeps it out of full screen.
    page.load(server.url)
    watch_wake_locks(page)
    frame_probe(page)
    page.evaluate("document.getElementById('startButton').click()")
    check(page.wait_for("document.body.dataset.state === 'running' && !document.fullscreenElement"
                        " && locks.length === 1 && !locks[0].released && probe.frames.length > 0",
                        10), "started out of full screen, the scene shows no frame or holds no "
          "wake lock")
    tab = page.send("Target.createTarget", url="about:blank", newWindow=False)["targetId"]
    check(page.wait_for("document.hidden", 10), "another tab does not hide the page")
    drawn = page.evaluate("probe.frames.length")
    page.pump(3)
    check(page.evaluate(f"probe.frames.length === {drawn} && locks[0].released"),
          "the hidden page draws on, or still holds its wake lock")
    page.send("Target.closeTarget", targetId=tab)
    check(page.wait_for(f"!document.hidden && probe.frames.length > {drawn} && "
                        "locks.length === 2 && !locks[1].released", 10),
          "shown again, the page does not draw on with a new wake lock")
    page.key()
    check(page.wait_for("document.body.dataset.state === 'start' && locks.every(l => l.released)",
                        10), "the wake lock is still held after the scene ended")
    log("a screen wake lock is held while the scene shows and let go after; hidden for 3 s, the "
        "page drew nothing, and shown again it drew on with a new lock")


def frame_prints(page, server, whole):
    """The prints of the first frames the page shows with seed 5, each taken when the frame is
    on the canvas, and how many of them were drawn only in part."""
    page.load(server.url + "?seed=5")
    page.evaluate(f"""(() => {{
      Module.page.wholeFrames = {'true' if whole else 'false'};
      window.prints = {{frames: [], inPart: 0}};
      const context = {CONTEXT}.prototype;
      const save = context.save, restore = context.restore, rect = context.rect;
      let depth = 0, area = null;
      context.save = function () {{ ++depth; return save.apply(this, arguments); }};
      context.rect = function (x, y, w, h) {{
        if (depth === 1) area = w * h;
        return rect.apply(this, arguments);
      }};
      context.restore = function () {{
        restore.apply(this, arguments);
        if (--depth > 0 || this.canvas !== Module.page.canvas) return;
        const {{ width, height }} = this.canvas;
        if (area < width * height) ++prints.inPart;
        const pixels = new Uint32Array(this.getImageData(0, 0, width, height).data.buffer);
        let print = 2166136261;
        for (let i = 0; i < pixels.length; ++i) print = Math.imul(print ^ pixels[i], 16777619);
        prints.frames.push(print >>> 0);
      }};
    }})()""")
    check(press_start(page), "frame prints: Start does not run the demonstration")
    page.pump(8)
    result = page.evaluate("prints")
    page.key()
    return result


def redrawn_in_part(page, server):
    """The frames the page draws again only where they changed, and there only with the drawings
    that reach that part, equal pixel for pixel the same frames drawn whole."""
    in_part = frame_prints(page, server, whole=False)
    whole = frame_prints(page, server, whole=True)
    compared = min(len(in_part["frames"]), len(whole["frames"]))
    differ = [i for i in range(compared) if in_part["frames"][i] != whole["frames"][i]]
    check(compared >= 20 and in_part["inPart"] >= compared // 2 and whole["inPart"] == 0,
          f"{compared} frames compared, {in_part['inPart']} of them drawn in part, "
          f"{whole['inPart']} drawn in part with wholeFrames")
    check(not differ, f"of {compared} frames, {len(differ)} drawn in part differ from the frame "
          f"drawn whole (the first: frame {differ[:1]})")
    log(f"{compared} frames, {in_part['inPart']} of them drawn only where they changed, each "
        "equal to the frame drawn whole")


def case_app(args):
    """The page as an app, served from a copy of the build that the case rebuilds."""
    for needed in [os.path.join(args.page, f) for f in FILES + APP_FILES]:
        check(os.path.isfile(needed), f"{needed} is missing (build it first)")
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(args.page, folder, dirs_exist_ok=True)
        with browser.Server(folder) as server, browser.Chromium() as page:
            page.viewport(960, 540, 1)
            page.load(server.url)
            kept_page(page)
            installable(page)
            wake_lock(page, server)
            redrawn_in_part(page, server)
            offline(page, server)
            rebuilt(page, server, folder)
            check(not page.exceptions, f"an uncaught exception in the page "
                  f"({page.exceptions[:1]})")


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
        asked = set(p.split("?")[0] for p in server.requested)
        own = {"/"} | {"/" + name for name in FILES[1:] + APP_FILES}
        check({"/", "/drevanti.js", "/drevanti.wasm"} <= asked <= own,
              f"the page fetches other than its own files ({sorted(asked)})")
        check(not page.exceptions, f"an uncaught exception in the page ({page.exceptions[:1]})")
        from_disk(page, args)


if __name__ == "__main__":
    main({"page": case_page, "app": case_app}, "--page", "--solve", "--probe", "--shots")
