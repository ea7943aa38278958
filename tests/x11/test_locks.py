"""Caps Lock, Shift Lock and Num Lock, each on or off, change nothing of what a Tk window receives from a Computer:
write types exactly its text and leaves the locks as they were, and the keypad's keys arrive as their own keysyms."""

import subprocess

import pytest
from consumers import TkKeyLog
from ondrel_computer import Computer

TEXT = "abc ABC ö"
KEYPAD = [f"KP_{digit}" for digit in range(10)] + ["KP_Decimal", "KP_Enter", "KP_Add", "KP_Subtract", "KP_Multiply",
                                                   "KP_Divide"]
LOCK_AND_MODIFIER_KEYS = {"Caps_Lock", "Shift_Lock", "Num_Lock", "Shift_L", "Shift_R", "ISO_Level3_Shift"}
CAPS_KEYCODE, NUM_LOCK_KEYCODE = 66, 77  # on the evdev keymap of Xvfb
LOCKS = {  # how to turn each on: an xkb option, then a tap of a key
    "none": (None, None),
    "caps": (None, CAPS_KEYCODE),
    "shift": ("caps:shiftlock", CAPS_KEYCODE),
    "num": (None, NUM_LOCK_KEYCODE),
}


def tap(client, keycode):
    from Xlib import X
    from Xlib.ext import xtest
    xtest.fake_input(client, X.KeyPress, keycode)
    xtest.fake_input(client, X.KeyRelease, keycode)
    client.sync()


def pointer_mask(client):
    return client.screen().root.query_pointer().mask


@pytest.mark.parametrize("lock", LOCKS)
def test_text_and_keypad_arrive_as_given_with_each_lock_and_the_locks_stay(lock, own_server, monkeypatch, tmp_path):
    from Xlib import display
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    option, key = LOCKS[lock]
    if option:
        subprocess.run(["setxkbmap", "-display", own_server.display, "-layout", "us", "-option", option], check=True)
    client = display.Display(own_server.display)
    if key:
        tap(client, key)
    locked = pointer_mask(client)
    assert (locked != 0) == (key is not None)
    window = TkKeyLog(own_server.display, tmp_path)
    try:
        computer = Computer()
        computer.write(TEXT)
        for name in KEYPAD:
            computer.key(name)
        presses = window.wait_for_text(len(TEXT) + len(KEYPAD)) and window.presses()
        seen = [(keysym, char) for keysym, char in presses if keysym not in LOCK_AND_MODIFIER_KEYS]
        assert "".join(char for _, char in seen[:len(TEXT)]) == TEXT
        assert [keysym for keysym, _ in seen[len(TEXT):]] == KEYPAD
        assert pointer_mask(client) == locked
    finally:
        window.close()
        client.close()
