"""Fixtures: Xvfb servers of the tests' own, the observing X client, and the module pointed at a server.

The module is used as installed, with the test recorder stopped (it is never started here), so every record goes
to the display named by DISPLAY."""

import importlib.util
import os
import shutil
import sys

import pytest
from driver import Driver
from x_server import XServer


def why_x_tests_cannot_run():
    """What this machine lacks for the X tests, or None."""
    if not sys.platform.startswith("linux"):
        return "the X tests need Linux"
    if shutil.which("Xvfb") is None:
        return "the X tests need Xvfb"
    if importlib.util.find_spec("Xlib") is None:
        return "the X tests need python-xlib (tests/x11/requirements.txt)"
    return None


X_MISSING = why_x_tests_cannot_run()


def pytest_collection_modifyitems(items):
    if X_MISSING:
        for item in items:
            item.add_marker(pytest.mark.skip(reason=X_MISSING))


def observe(display):
    """An X client of the tests' own on `display` (imported here, so that machines without python-xlib can still
    collect the tests and skip them)."""
    from observer import Observer
    return Observer(display)

# Screen 3000x2000: the pointer starts in the middle, with room for moves of 1000 either way.
START = (1500, 1000)


def environment_for(display):
    """This process's environment with only `display` as an input system, X forced so that a failure names X."""
    environment = {name: value for name, value in os.environ.items() if name != "WAYLAND_DISPLAY"}
    environment.update(DISPLAY=display, ONDREL_INPUT="x11")
    return environment


@pytest.fixture(scope="session")
def x_server():
    server = XServer().start()
    yield server
    server.stop()


@pytest.fixture
def own_server():
    """A server for one test, which it may stop, pause or restart."""
    server = XServer().start()
    yield server
    server.stop()


def only_input_system(server, monkeypatch):
    """DISPLAY names `server`, and nothing else offers input."""
    monkeypatch.setenv("DISPLAY", server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    return server


@pytest.fixture
def on_own_display(own_server, monkeypatch):
    """DISPLAY names a server of the test's own, and nothing else offers input."""
    return only_input_system(own_server, monkeypatch)


@pytest.fixture
def on_display(x_server, monkeypatch):
    """DISPLAY names the session's server, and nothing else offers input."""
    return only_input_system(x_server, monkeypatch)


@pytest.fixture
def observer(on_display):
    client = observe(on_display.display)
    client.warp(*START)
    yield client
    client.close()


@pytest.fixture
def drive():
    """Starts driven processes on a display (see driver.py) and checks, at the end, that each exited normally with
    nothing on stderr."""
    drivers = []

    def start(display, prefix=()):
        drivers.append(Driver(environment_for(display), prefix))
        return drivers[-1]

    yield start
    for driver in drivers:
        driver.finish()
