"""How often a drag completes an HTML5 drag and drop in Chromium, and what a drag costs: each form of drag (the
browser tests' own: Computer.drag and each vendor's action) tried TRIES times against tests/browser's page, on a
windowed Chromium on an Xvfb of its own; also whether an L-shaped drag's corner reached the page. Two builds compare
by PYTHONPATH (needs Xvfb, chromium and tests/browser/requirements.txt):

    PYTHONPATH=build/gcc python bench/bench_browser_drag.py [TRIES]
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "browser"))
from browser import Browser, DragPage, Xvfb  # noqa: E402
from conftest import DOUBLE_CLICK_S  # noqa: E402
from test_drag_in_browser import anthropic, computer_drag, gemini, openai  # noqa: E402

TRIES = int(sys.argv[1]) if len(sys.argv) > 1 else 8


def try_drag(page, computer, drag):
    """(dragstart, drop, dragend) counts of one try, and how long the drag call took."""
    page.rest_at(computer, 50, 50)
    time.sleep(DOUBLE_CLICK_S)
    started = time.perf_counter()
    drag(computer, page.centre("source"), page.centre("target"))
    took = time.perf_counter() - started
    try:
        page.wait_for("dragend", timeout_s=3)
    except TimeoutError:
        pass
    seen = page.seen()
    kinds = [event["type"] for event in seen]
    if kinds.count("drop") != 1:
        print(f"  {drag.__name__} without a drop saw {[(e['type'], e['x'], e['y']) for e in seen]}")
    return tuple(kinds.count(kind) for kind in ("dragstart", "drop", "dragend")), took


def corner_seen(page, computer):
    page.rest_at(computer, 100, 100)
    computer.drag([page.to_screen(*point) for point in ((100, 100), (400, 100), (400, 500))])
    page.wait_for("pointerup")
    return any((event["x"], event["y"]) == (400, 100) for event in page.seen() if event["type"] == "pointermove")


def main():
    server = Xvfb()
    os.environ.update(DISPLAY=server.display, ONDREL_INPUT="x11")
    os.environ.pop("WAYLAND_DISPLAY", None)
    import ondrel_computer
    browser = Browser(server.display)
    try:
        computer = ondrel_computer.Computer()
        page = DragPage(browser, computer)
        print(f"module {ondrel_computer.__file__}, {TRIES} tries a form")
        for drag in (computer_drag, anthropic, openai, gemini):
            tries = [try_drag(page, computer, drag) for _ in range(TRIES)]
            drops = sum(counts[1] == 1 for counts, _ in tries)
            totals = [sum(counts[i] for counts, _ in tries) for i in range(3)]
            took_ms = statistics.median(took for _, took in tries) * 1000
            print(f"{drag.__name__:14} dropped {drops}/{TRIES}  (dragstart {totals[0]}, drop {totals[1]}, "
                  f"dragend {totals[2]})  drag call median {took_ms:.0f} ms")
        corners = sum(corner_seen(page, computer) for _ in range(TRIES))
        print(f"L-shaped drag: corner reached the page {corners}/{TRIES}")
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    main()
