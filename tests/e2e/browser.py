"""Headless Chromium driven through its DevTools protocol, and a page served on 127.0.0.1: what
the page's end-to-end checks stand on. Needs python3-websocket (Debian's /usr/bin/python3)."""

import base64
import contextlib
import functools
import http.server
import json
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

from e2e.pictures import Picture
from e2e.processes import command_line_of, pids_where, stat, stop
from e2e.report import Failure, Screen, check


class Server:
    """A static web server for one folder, on 127.0.0.1 at a free port, in a thread; requested
    holds every path it was asked for."""

    requested = []

    def __init__(self, folder):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.httpd.shutdown()
        self.httpd.server_close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        Server.requested.append(self.path)
        super().do_GET()


class Chromium(Screen):
    """One headless Chromium with a fresh profile, and one page of it under DevTools control; a
    failure leaves its picture."""

    def open(self):
        self.profile = tempfile.mkdtemp(prefix="drevanti-chromium-")
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-breakpad", "--disable-crash-reporter",
             f"--user-data-dir={self.profile}", "--remote-debugging-port=0",
             "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + 30
        while not (os.path.exists(port_file) and open(port_file).read().count("\n") >= 1):
            check(time.monotonic() < deadline and self.process.poll() is None,
                  "chromium did not open its DevTools port")
            time.sleep(0.1)
        port = int(open(port_file).read().split("\n")[0])
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"],
                                                  suppress_origin=True, timeout=60)
        self.next_id = 0
        self.console = []
        self.exceptions = []
        self.send("Runtime.enable")
        self.send("Page.enable")

    def close(self):
        if getattr(self, "socket", None):
            self.socket.close()
        stop(self.process)
        # Its helpers, in a session of their own, would go on writing into the profile.
        with contextlib.suppress(ProcessLookupError):
            os.killpg(self.process.pid, signal.SIGKILL)
        shutil.rmtree(self.profile, ignore_errors=True)

    def send(self, method, **params):
        """Sends one command and returns its result, keeping the events that arrive meanwhile."""
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise Failure(f"{method}: {message['error']}")
                return message.get("result", {})
            self._event(message)

    def _event(self, message):
        method = message.get("method")
        if method == "Runtime.consoleAPICalled":
            args = message["params"]["args"]
            self.console.append((message["params"]["type"],
                                 " ".join(str(a.get("value", "")) for a in args)))
        elif method == "Runtime.exceptionThrown":
            self.exceptions.append(message["params"]["exceptionDetails"])

    def pump(self, seconds):
        """Lets the page run for a while, collecting its console lines."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return
            self.socket.settimeout(left)
            try:
                self._event(json.loads(self.socket.recv()))
            except websocket.WebSocketTimeoutException:
                return
            finally:
                self.socket.settimeout(60)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise Failure(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def viewport(self, width, height, ratio):
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=ratio, mobile=False)

    def load(self, url):
        self.send("Page.navigate", url=url)
        self.wait_for("document.readyState === 'complete' && typeof Module !== 'undefined'"
                      " && Module.calledRun === true", 30)

    def wait_for(self, expression, seconds):
        """Waits until the expression is true in the page; False when it never was."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.evaluate(expression):
                return True
            self.pump(0.05)
        return False

    def state(self):
        return self.evaluate("document.body.dataset.state")

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as png:
            png.write(base64.b64decode(data))

    failure_screen = screenshot

    def canvas(self, expression):
        """The pixels of the canvas (an element or an offscreen one) the script expression gives,
        exactly as the page drew them."""
        width, height, data = self.evaluate(f"""(() => {{
          const canvas = {expression};
          const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
          let bytes = '';
          for (let i = 0; i < rgba.length; i += 65536) {{
            bytes += String.fromCharCode.apply(null, rgba.subarray(i, i + 65536));
          }}
          return [canvas.width, canvas.height, btoa(bytes)];
        }})()""")
        return Picture.from_rgba(width, height, base64.b64decode(data))

    def key(self, code=65, key="a"):
        for kind in ("keyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", type=kind, key=key, windowsVirtualKeyCode=code)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      clickCount=1)

    def move(self, x, y):
        self.send("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)

    def touch(self, x, y):
        self.send("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.send("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def renderer_pids(self):
        """The renderer processes of this browser (all of its processes share its session;
        they rewrite their command line into one string)."""
        return pids_where(lambda pid: int(stat(pid)[3]) == self.process.pid and
                          "--type=renderer" in " ".join(command_line_of(pid)))
