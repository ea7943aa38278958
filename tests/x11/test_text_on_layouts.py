"""Text on the keyboard layout in use, through ondrel_computer: a Tk window receives it exactly with the US, German and
French layouts, where some characters need Shift or AltGr and others are on no key at all (bound to spare keycodes
for the call), the server's keyboard mapping is the same afterwards, and a click at the button's point reaches it."""

import importlib.util
import json
import os
import select
import shutil
import subprocess
import sys

import pytest
from ondrel_computer import Computer

TEXT = "Grüße, 世界! 😀 @€"
TIMEOUT_S = 20


def why_not():
    if importlib.util.find_spec("tkinter") is None:
        return "needs tkinter (Debian: python3-tk)"
    if shutil.which("setxkbmap") is None:
        return "needs setxkbmap (Debian: x11-xkb-utils)"
    return None


@pytest.fixture
def form(own_server, tmp_path):
    """The Tk form of tk_form.py with the keyboard focus, and its text once its button was clicked (the form saves it
    to a file and exits: the file is whole once the process has ended)."""
    if why_not():
        pytest.skip(why_not())
    saved = tmp_path / "saved.txt"
    window = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "tk_form.py"), str(saved)],
                              stdout=subprocess.PIPE, text=True, env=dict(os.environ, DISPLAY=own_server.display))
    ready, _, _ = select.select([window.stdout], [], [], TIMEOUT_S)
    assert ready, "the Tk form did not come up"

    def text_after_click():
        window.wait(TIMEOUT_S)
        return saved.read_text(encoding="utf-8")

    yield json.loads(window.stdout.readline())["button"], text_after_click
    window.kill()
    window.wait()
    window.stdout.close()


def keyboard_mapping(client):
    first = client.display.info.min_keycode
    return [list(row) for row in client.get_keyboard_mapping(first, client.display.info.max_keycode - first + 1)]


@pytest.mark.parametrize("layout", ["us", "de", "fr"])
def test_a_tk_window_receives_the_text_on_each_layout_and_the_mapping_is_restored(layout, own_server, form,
                                                                                   monkeypatch):
    from Xlib import display
    subprocess.run(["setxkbmap", "-display", own_server.display, "-layout", layout], check=True, timeout=TIMEOUT_S)
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    button, text_after_click = form
    client = display.Display(own_server.display)
    before = keyboard_mapping(client)
    computer = Computer()
    computer.write(TEXT)
    assert keyboard_mapping(client) == before
    computer.click(*button)
    client.close()
    assert text_after_click() == TEXT
