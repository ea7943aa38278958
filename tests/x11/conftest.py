"""Fixtures: Xvfb servers of the tests' own, the observing X client, and the module pointed at a server.

The module is used as installed, with the test recorder stopped (it is never started here), so every record goes
to the display named by DISPLAY."""

import os

import pytest
from driver import Driver
from observer import Observer
from x_server import XServer

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


@pytest.fixture
def on_display(x_server, monkeypatch):
    """DISPLAY names the session's server, and nothing else offers input."""
    monkeypatch.setenv("DISPLAY", x_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    return x_server


@pytest.fixture
def observer(on_display):
    client = Observer(on_display.display)
    client.warp(*START)
    yield client
    client.close()


@pytest.fixture
def drive():
    """Starts driven processes on a display (see driver.py) and checks, at the end, that each exited normally with
    nothing on stderr."""
    drivers = []

    def start(display):
        drivers.append(Driver(environment_for(display)))
        return drivers[-1]

    yield start
    for driver in drivers:
        driver.finish()
