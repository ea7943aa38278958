"""Keyboard through the Python API, observed as INPUT records."""

import pytest

LCONTROL, LSHIFT, LMENU, LWIN = 0xA2, 0xA0, 0xA4, 0x5B


def tap(vk, extended=False):
    suffix = " extended" if extended else ""
    return [f"{vk:#04x} down{suffix}", f"{vk:#04x} up{suffix}"]


def combination(modifiers, key_events):
    """A combination's events: its modifiers go down once around the key and up in the same order."""
    return [f"{vk:#04x} down" for vk in modifiers] + key_events + [f"{vk:#04x} up" for vk in modifiers]


@pytest.mark.parametrize("operation, expected", [
    (lambda k: k.press("a"), tap(0x41)),
    (lambda k: k.press(key="ENTER"), tap(0x0D)),
    (lambda k: k.press("bac\u212aspace"), tap(0x08)),  # KELVIN SIGN lower-cases to k
    (lambda k: k.combo(["CTRL", "Shift", "hyper"], "c"), combination([LCONTROL, LSHIFT], tap(0x43))),
    (lambda k: k.combo([], "x"), tap(0x58)),
    (lambda k: k.combo(("win", "alt", "cmd"), "f4"), combination([LMENU, LWIN], tap(0x73))),
    (lambda k: k.combo(["shift"], "Left"), combination([LSHIFT], tap(0x25, extended=True))),
    (lambda k: k.type_text("Hi!\r\n"),
     combination([LSHIFT], tap(0x48)) + tap(0x49) + combination([LSHIFT], tap(0x31)) + tap(0x0D)),
    (lambda k: k.type_text(text="a\tb "), tap(0x41) + tap(0x09) + tap(0x42) + tap(0x20)),
    (lambda k: k.type_text("\u00e9\u20ac\U0001F600\u212a\r"), []),
    (lambda k: k.type_text(""), []),
    (lambda k: k.release_all(), []),
])
def test_records(keyboard, recorder, operation, expected):
    assert operation(keyboard) is None
    assert recorder.seen() == expected
