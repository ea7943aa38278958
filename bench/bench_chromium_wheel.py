"""How far Chromium under X scrolls a page for one wheel notch of Computer.scroll, read back through the DevTools
protocol: the measure behind OpenAI's scroll rule in ondrel_computer (pixels to notches at 120 px a notch).

    Xvfb :99 -screen 0 1280x800x24 &
    pip install . websockets && DISPLAY=:99 python bench/bench_chromium_wheel.py [notches]
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

from ondrel_computer import Computer
from websockets.sync.client import connect

PORT = 9347
PAGE = "data:text/html,<body style='margin:0;width:20000px;height:20000px'>"
DEADLINE_S = 20


def page_socket():
    deadline = time.monotonic() + DEADLINE_S
    while time.monotonic() < deadline:
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{PORT}/json/list", timeout=1) as answer:
                pages = [page for page in json.load(answer) if page.get("type") == "page"]
            if pages:
                return pages[0]["webSocketDebuggerUrl"]
        except OSError:
            pass
        time.sleep(0.2)
    sys.exit("Chromium did not open its DevTools port")


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    notches = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    browser = shutil.which("chromium") or shutil.which("chromium-browser") or sys.exit("needs chromium")
    profile = tempfile.mkdtemp(prefix="wheel-profile-")
    window = subprocess.Popen([browser, f"--user-data-dir={profile}", f"--remote-debugging-port={PORT}",
                               "--no-first-run", "--disable-smooth-scrolling", "--window-position=0,0",
                               "--window-size=800,600", f"--app={PAGE}",
                               # Chromium refuses its sandbox to root (containers, CI).
                               *(["--no-sandbox"] if os.geteuid() == 0 else [])],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        with connect(page_socket(), max_size=None) as socket:
            ids = iter(range(1, 1_000_000))

            def scrolled():
                request = next(ids)
                socket.send(json.dumps({"id": request, "method": "Runtime.evaluate",
                                        "params": {"expression": "[window.scrollX, window.scrollY]",
                                                   "returnByValue": True}}))
                while True:
                    answer = json.loads(socket.recv(timeout=DEADLINE_S))
                    if answer.get("id") == request:
                        return tuple(answer["result"]["result"]["value"])

            computer = Computer()
            time.sleep(1)  # the page drawn and the window mapped
            for label, dx, dy in [("down", 0, 1), ("right", 1, 0)]:
                before = scrolled()
                for _ in range(notches):
                    computer.scroll(dx=dx, dy=dy, x=400, y=300)
                    time.sleep(0.3)
                after = scrolled()
                moved = abs(after[0] - before[0]) + abs(after[1] - before[1])
                print(f"{label}: {notches} notches scrolled {moved} px, {moved / notches:.1f} px a notch "
                      f"(the rule assumes 120)")
    finally:
        window.terminate()
        window.wait(timeout=DEADLINE_S)
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
