"""Chromium, windowed (not headless), on an X display, showing drag_page.html; the page's log and geometry
are read through the DevTools protocol, and page points are mapped to screen points by where the page saw a move
of the pointer to a known screen point land."""

import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "drag_page.html")
SCREEN = (1280, 800)
START_TIMEOUT_S = 30
EVENT_TIMEOUT_S = 5


def chromium_path():
    for name in ("chromium", "chromium-browser"):
        if path := shutil.which(name):
            return path
    return None


def wait_for(what, probe, timeout_s):
    """probe()'s first true answer, polled until `timeout_s` has passed."""
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        if answer := probe():
            return answer
        time.sleep(0.02)
    raise TimeoutError(f"{what} within {timeout_s} s")


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class DevTools:
    """One target's DevTools websocket: Runtime.evaluate and its answer, nothing else."""

    def __init__(self, url):
        import websocket  # here, so that machines without it can still collect the tests and skip them
        self.socket = websocket.create_connection(url, timeout=START_TIMEOUT_S, suppress_origin=True)
        self.next_id = 0

    def evaluate(self, expression):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": "Runtime.evaluate",
                                     "params": {"expression": expression, "returnByValue": True}}))
        while True:  # no domain is enabled, so only answers arrive
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                break
        result = message["result"]
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def close(self):
        self.socket.close()


class Browser:
    """Chromium in kiosk mode on `display`, its profile in a folder of its own, showing the drag page."""

    def __init__(self, display):
        self.profile = tempfile.TemporaryDirectory(prefix="ondrel-chromium-")
        environment = {name: value for name, value in os.environ.items() if name != "WAYLAND_DISPLAY"}
        environment["DISPLAY"] = display
        self.log = open(os.path.join(self.profile.name, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            [chromium_path(), "--no-sandbox", f"--user-data-dir={self.profile.name}", "--remote-debugging-port=0",
             "--kiosk", "--ozone-platform=x11", "--no-first-run", "--no-default-browser-check",
             "--password-store=basic", "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
             "--disable-backgrounding-occluded-windows", f"file://{PAGE}"],
            env=environment, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        try:
            self.devtools = DevTools(self._page_socket_url())
            wait_for("the page loaded", lambda: self.devtools.evaluate(
                "document.readyState === 'complete' && Array.isArray(window.seen)"), START_TIMEOUT_S)
        except BaseException:
            self.close()
            raise

    def _page_socket_url(self):
        port_file = os.path.join(self.profile.name, "DevToolsActivePort")

        def port():
            if self.process.poll() is not None:
                raise RuntimeError(f"chromium exited with {self.process.returncode}: {self.output()}")
            if not os.path.exists(port_file):
                return None
            with open(port_file) as lines:
                return lines.readline().strip()  # empty while being written

        number = wait_for("chromium's DevTools port", port, START_TIMEOUT_S)

        def page_target():
            with urllib.request.urlopen(f"http://127.0.0.1:{number}/json/list", timeout=START_TIMEOUT_S) as answer:
                targets = json.load(answer)
            return next((t["webSocketDebuggerUrl"] for t in targets
                         if t["type"] == "page" and t["url"].startswith("file:")), None)

        return wait_for("the page's DevTools target", page_target, START_TIMEOUT_S)

    def output(self):
        self.log.flush()
        with open(self.log.name, "rb") as log:
            return log.read()[-4000:].decode(errors="replace")

    def close(self):
        if hasattr(self, "devtools"):
            self.devtools.close()
        stop(self.process)
        self.log.close()
        self.profile.cleanup()


class DragPage:
    """The page as the tests see it: its log, its elements' centres in screen pixels."""

    def __init__(self, browser, computer):
        self.devtools = browser.devtools
        self.offset = self._calibrate(computer)

    def _calibrate(self, computer):
        """Screen minus page coordinates, from where a move to a known screen point showed up on the page; moved
        again until one shows up, as the window may not be mapped yet."""
        points = [(300, 400), (310, 410)]
        deadline = time.monotonic() + START_TIMEOUT_S
        while time.monotonic() < deadline:
            self.clear()
            point = points[0]
            points.reverse()
            computer.move_to(*point)
            try:
                moved = self.wait_for("pointermove", timeout_s=0.5)
            except TimeoutError:
                continue  # not shown yet
            return point[0] - moved["x"], point[1] - moved["y"]
        raise TimeoutError(f"no pointermove reached the page within {START_TIMEOUT_S} s")

    def clear(self):
        self.devtools.evaluate("window.seen.length = 0")

    def seen(self):
        return self.devtools.evaluate("window.seen")

    def wait_for(self, event_type, at=None, timeout_s=EVENT_TIMEOUT_S):
        """The first logged event of that type (at that page point, if given), waited for."""
        def found():
            return next((event for event in self.seen() if event["type"] == event_type
                         and (at is None or (event["x"], event["y"]) == at)), None)
        try:
            return wait_for(f"a {event_type} on the page", found, timeout_s)
        except TimeoutError as timeout:
            raise TimeoutError(f"{timeout}; the page saw {self.seen()}") from None

    def rest_at(self, computer, x, y):
        """Moves the pointer to that page point, waits until the page saw it there, and empties the log."""
        self.clear()
        computer.move_to(*self.to_screen(x, y))
        self.wait_for("pointermove", at=(x, y))
        self.clear()

    def to_screen(self, x, y):
        """A page point, in screen pixels."""
        return round(x + self.offset[0]), round(y + self.offset[1])

    def centre(self, element_id):
        """The element's centre, in screen pixels."""
        box = self.devtools.evaluate(f"JSON.parse(JSON.stringify(document.getElementById('{element_id}')"
                                     ".getBoundingClientRect()))")
        return self.to_screen(box["x"] + box["width"] / 2, box["y"] + box["height"] / 2)
