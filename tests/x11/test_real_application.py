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


def held_keys(display_name):
    from Xlib import display
    client = display.Display(display_name)
    try:
        return [byte for byte in client.query_keymap() if byte]
    finally:
        client.close()


def type_while_the_server_stops(keyboard, server, text):
    """Types `text` while the server is being stopped; whether the call failed. kill runs once Popen returns, a
    millisecond or so into the call."""
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
    form takes the next text as typed (no Shift left down, no key repeating) and no key is held."""
    places, saved, server = tk_form
    mouse, keyboard = ondrel.Mouse(), ondrel.Keyboard()
    warp(server.display, places["entry"])
    mouse.click()
    typed_before = 0  # calls that ended before the stop came
    start = time.monotonic()
    while not type_while_the_server_stops(keyboard, server, "A"):
        server.resume()
        typed_before += 1
        assert typed_before < 5, "the server was never stopped during the call"
        start = time.monotonic()
    assert time.monotonic() - start >= 2
    server.resume()
    time.sleep(1)  # a key left down would repeat by now
    keyboard.type_text("cd")
    assert held_keys(server.display) == []
    warp(server.display, places["button"])
    mouse.click()
    # The capital whose call failed may have landed; held while the server stood still, it may repeat once as the
    # server wakes, as a key held on a frozen machine does.
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
