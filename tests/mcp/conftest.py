"""Fixtures: an Xvfb of the tests' own (tests/x11's), the Tk form of tests/x11 on it, the server started by the MCP
SDK's own client with only the environment an MCP client gives it, and tests/x11's X client that sees what is held."""

import contextlib
import importlib.util
import os
import shutil
import sys
from pathlib import Path

import pytest

X11_TESTS = Path(__file__).resolve().parent.parent / "x11"
sys.path.insert(0, str(X11_TESTS))

from x_server import XServer  # noqa: E402  (tests/x11's, found through the path above)

SERVER = [sys.executable, "-m", "ondrel_computer.mcp"]


def why_these_tests_cannot_run():
    if not sys.platform.startswith("linux"):
        return "the MCP tests need Linux"
    if shutil.which("Xvfb") is None:
        return "the MCP tests need Xvfb"
    for module, what in [("mcp", "the mcp SDK (pip install 'ondrel[mcp]')"), ("Xlib", "python-xlib"),
                         ("tkinter", "tkinter (Debian: python3-tk)")]:
        if importlib.util.find_spec(module) is None:
            return f"the MCP tests need {what}"
    return None


MISSING = why_these_tests_cannot_run()


def pytest_collection_modifyitems(items):
    if MISSING:
        for item in items:
            item.add_marker(pytest.mark.skip(reason=MISSING))


@pytest.fixture
def anyio_backend():
    return "asyncio"


@pytest.fixture(scope="session")
def x_server():
    server = XServer().start()
    yield server
    server.stop()


def client_environment(variables):
    """The `env` entry of an MCP client's configuration: `variables`, and where Python finds the package when it
    is not installed (the client adds only HOME, LOGNAME, PATH, SHELL, TERM and USER of its own)."""
    passed_on = {name: os.environ[name] for name in ["PYTHONPATH"] if name in os.environ}
    return {**passed_on, **variables}


@contextlib.asynccontextmanager
async def mcp_session(variables, *arguments):
    """A ClientSession, initialized, with the server started by the SDK's stdio client with `variables` in its
    configuration's `env`."""
    from mcp import ClientSession, StdioServerParameters
    from mcp.client.stdio import stdio_client
    parameters = StdioServerParameters(command=SERVER[0], args=[*SERVER[1:], *arguments],
                                       env=client_environment(variables))
    async with stdio_client(parameters) as (read, write), ClientSession(read, write) as session:
        await session.initialize()
        yield session


@pytest.fixture
def x_state(x_server):
    """tests/x11's observer: which keys and buttons are down, and where the pointer is."""
    from observer import Observer
    observer = Observer(x_server.display)
    yield observer
    observer.close()


@pytest.fixture
def form(x_server, tmp_path):
    """tests/x11's Tk session form: the places of its widgets, and a function that waits for its first `count`
    reports."""
    from session_form import session_form
    with session_form(tmp_path / "reports.jsonl", {**os.environ, "DISPLAY": x_server.display}) as form_:
        yield form_
