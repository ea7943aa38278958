"""Fixtures: one Xvfb and one Chromium for the session, the module's Computer on that display, and the page.

The module is the one on the path (the installed one, or a build tree's named by PYTHONPATH); the test recorder is
never started here, so every record goes to the display."""

import importlib.util
import shutil
import sys
import time
from pathlib import Path

import pytest
from browser import SCREEN, Browser, DragPage, chromium_path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "x11"))
from x_server import XServer  # noqa: E402  (tests/x11's, found through the path above)


def why_browser_tests_cannot_run():
    """What this machine lacks for the browser tests, or None."""
    if not sys.platform.startswith("linux"):
        return "the browser tests need Linux"
    if shutil.which("Xvfb") is None:
        return "the browser tests need Xvfb"
    if chromium_path() is None:
        return "the browser tests need Chromium (Debian: chromium)"
    if importlib.util.find_spec("websocket") is None:
        return "the browser tests need websocket-client (tests/browser/requirements.txt)"
    return None


BROWSER_MISSING = why_browser_tests_cannot_run()


def pytest_collection_modifyitems(items):
    if BROWSER_MISSING:
        for item in items:
            item.add_marker(pytest.mark.skip(reason=BROWSER_MISSING))


@pytest.fixture(scope="session")
def display():
    server = XServer("-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24").start()
    with pytest.MonkeyPatch.context() as patch:
        patch.setenv("DISPLAY", server.display)
        patch.setenv("ONDREL_INPUT", "x11")
        patch.delenv("WAYLAND_DISPLAY", raising=False)
        yield server.display
    server.stop()


@pytest.fixture(scope="session")
def computer(display):
    from ondrel_computer import Computer
    return Computer()


@pytest.fixture(scope="session")
def browser(display):
    chromium = Browser(display)
    yield chromium
    chromium.close()


@pytest.fixture(scope="session")
def calibrated_page(browser, computer):
    return DragPage(browser, computer)


# Two presses at one spot within the double-click time (Chromium's 500 ms) make a double click, and a browser
# starts no drag on the second press of a double click: each test's first press waits that long after the last.
DOUBLE_CLICK_S = 0.5


@pytest.fixture
def page(calibrated_page, computer):
    """The page with the pointer resting on its pad and its log empty."""
    calibrated_page.rest_at(computer, 50, 50)
    time.sleep(DOUBLE_CLICK_S)
    return calibrated_page
