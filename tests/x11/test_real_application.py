"""A real X application, not the tests' own client, receives what the devices do: a Tk form takes typed text and a
click of its button."""

import importlib.util
import json
import os
import re
import select
import subprocess
import sys
import time

import ondrel
import pytest
from conftest import observe

TEXT = "Hello, World! 123"
APPLICATION_TIMEOUT_S = 20


@pytest.fixture
def tk_form(own_server, monkeypatch, tmp_path):
    if importlib.util.find_spec("tkinter") is None:
        pytest.skip("the real-application test needs tkinter (Debian: python3-tk)")
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    saved = tmp_path / "saved.txt"
    form = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "tk_form.py"), str(saved)],
                            stdout=subprocess.PIPE, text=True)
    ready, _, _ = select.select([form.stdout], [], [], APPLICATION_TIMEOUT_S)
    assert ready, "the Tk form did not come up"
    yield json.loads(form.stdout.readline()), saved, own_server
    form.kill()
    form.wait()
    form.stdout.close()


def wait_for(path):
    deadline = time.monotonic() + APPLICATION_TIMEOUT_S
    while not path.exists() and time.monotonic() < deadline:
        time.sleep(0.05)
    return path.read_text(encoding="utf-8") if path.exists() else None


def warp(display_name, place):
    """Puts the pointer at `place` (the observer would cover the form with a window of its own)."""
    from Xlib import display
    client = display.Display(display_name)
    client.screen().root.warp_pointer(*place)
    client.sync()
    client.close()


def typed_while_stopping(server, keyboard, text):
    """Whether a call typing `text` failed; /bin/kill stops the server once Popen returns, early in the call."""
    stopper = subprocess.Popen(["kill", "-STOP", str(server.process.pid)])
    try:
        keyboard.type_text(text)
        return False
    except RuntimeError:
        return True
    finally:
        stopper.wait()


def test_a_call_cut_short_by_a_stopped_server_leaves_no_key_down(tk_form):
    """The server stops while a capital is typed: the call fails by its deadline. Once the server continues, the
    form takes the next text as typed (no Shift left down, no key repeating) and nothing is held."""
    places, saved, server = tk_form
    mouse, keyboard = ondrel.Mouse(), ondrel.Keyboard()
    warp(server.display, places["entry"])
    mouse.click()
    typed_before, start = 0, time.monotonic()  # calls that ended before the stop came
    while not typed_while_stopping(server, keyboard, "A"):
        server.resume()
        typed_before, start = typed_before + 1, time.monotonic()
        assert typed_before < 5, "the server was never stopped during the call"
    assert time.monotonic() - start >= 2
    server.resume()
    time.sleep(1)  # a key left down would repeat by now
    keyboard.type_text("cd")
    observer = observe(server.display)
    assert observer.held() == ([], [])
    observer.close()
    warp(server.display, places["button"])
    mouse.click()
    # The capital of the failed call may land; held while the server stood still, it may repeat once as the server
    # wakes, as a key held on a frozen machine does.
    assert re.fullmatch(f"A{{{typed_before},{typed_before + 2}}}cd", wait_for(saved))


def test_a_tk_form_takes_typed_text_and_a_click_of_its_button(tk_form):
    places, saved, server = tk_form
    mouse, keyboard = ondrel.Mouse(), ondrel.Keyboard()
    warp(server.display, places["entry"])
    mouse.click()
    keyboard.type_text(TEXT)
    warp(server.display, places["button"])
    mouse.click()
    assert wait_for(saved) == TEXT
