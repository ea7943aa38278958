"""Caps Lock, Shift Lock and Num Lock, each on or off, change nothing of what a Tk window receives from a Computer:
write types exactly its text and leaves the locks as they were, and the keypad's keys arrive as their own keysyms."""

import subprocess

import pytest
from consumers import TkKeyLog
from keyboard_probe import CAPS_KEYCODE, NUM_LOCK_KEYCODE, keyboard_state, pointer_mask, tap
from ondrel_computer import Computer

TEXT = "abc ABC ö"
KEYPAD = [f"KP_{digit}" for digit in range(10)] + ["KP_Decimal", "KP_Enter", "KP_Add", "KP_Subtract", "KP_Multiply",
                                                   "KP_Divide"]
LOCK_AND_MODIFIER_KEYS = {"Caps_Lock", "Shift_Lock", "Num_Lock", "Shift_L", "Shift_R", "ISO_Level3_Shift"}
LOCKS = {  # how to turn each on: an xkb option, then a tap of a key
    "none": (None, None),
    "caps": (None, CAPS_KEYCODE),
    "shift": ("caps:shiftlock", CAPS_KEYCODE),
    "num": (None, NUM_LOCK_KEYCODE),
}


@pytest.mark.parametrize("lock", LOCKS)
def test_text_and_keypad_arrive_as_given_with_each_lock_and_the_locks_stay(lock, on_own_display, tmp_path):
    from Xlib import display
    own_server = on_own_display
    option, key = LOCKS[lock]
    if option:
        subprocess.run(["setxkbmap", "-display", own_server.display, "-layout", "us", "-option", option], check=True)
    client = display.Display(own_server.display)
    if key:
        tap(client, key)
    locked = pointer_mask(client)
    assert (locked != 0) == (key is not None)
    before = keyboard_state(own_server.display)
    window = TkKeyLog(own_server.display, tmp_path)
    try:
        computer = Computer()
        computer.write(TEXT)
        for name in KEYPAD:
            computer.key(name)
        window.wait_for_text(len(TEXT) + len(KEYPAD))
        seen = [(keysym, char) for keysym, char in window.presses() if keysym not in LOCK_AND_MODIFIER_KEYS]
        assert "".join(char for _, char in seen[:len(TEXT)]) == TEXT
        assert [keysym for keysym, _ in seen[len(TEXT):]] == KEYPAD
        assert pointer_mask(client) == locked
        assert keyboard_state(own_server.display) == before
    finally:
        window.close()
        client.close()
