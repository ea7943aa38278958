"""Keyboard through the Python API, observed as INPUT records."""

import pytest

LCONTROL, LSHIFT, LMENU, LWIN = 0xA2, 0xA0, 0xA4, 0x5B
SEND_FAILED = "^Failed to send report: SendInput failed$"


def tap(vk, extended=False):
    suffix = " extended" if extended else ""
    return [f"{vk:#04x} down{suffix}", f"{vk:#04x} up{suffix}"]


def combination(modifiers, key_events):
    """A combination's events: its modifiers go down once around the key and up in the same order."""
    return [f"{vk:#04x} down" for vk in modifiers] + key_events + [f"{vk:#04x} up" for vk in modifiers]


def held_before_each(seen):
    """The keys held before each event and after the last, checking that no key goes down while held or up while
    not held."""
    held, states = set(), []
    for event in seen:
        states.append(set(held))
        key, direction = event.split()[:2]
        assert (key in held) == (direction == "up"), f"{event} at {len(states) - 1} in {seen}"
        (held.discard if direction == "up" else held.add)(key)
    return states + [held]


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


def test_seventh_key_is_dropped_while_six_are_held(keyboard, recorder):
    for key in "abcdef":  # each press fails at once and leaves its key in the report
        recorder.fail_call(1)
        with pytest.raises(RuntimeError, match=SEND_FAILED):
            keyboard.press(key)
    recorder.start()
    keyboard.press("g")  # puts the six down; its second report changes nothing
    assert recorder.seen() == [f"{vk:#04x} down" for vk in range(0x41, 0x47)]
    recorder.start()
    keyboard.release_all()
    keyboard.press("g")
    assert recorder.seen() == [f"{vk:#04x} up" for vk in range(0x41, 0x47)] + tap(0x47)


@pytest.mark.parametrize("failing_call", range(1, 7))
def test_after_a_failure_the_system_gets_exactly_the_changes(keyboard, recorder, failing_call):
    # "Ab" is six calls: Shift down, A down, A up, Shift up, B down, B up; typing stops at the failure, and a
    # failure before Shift's report is cleared (calls 1 to 3) leaves Shift in the report.
    recorder.fail_call(failing_call)
    with pytest.raises(RuntimeError, match=SEND_FAILED):
        keyboard.type_text("Ab")
    assert len(recorder.events()) == failing_call - 1
    keyboard.press("z")
    keyboard.type_text("B")  # the next shifted character clears Shift
    keyboard.press("z")
    keyboard.release_all()
    seen = recorder.seen()
    held = held_before_each(seen)
    shift_held_for_z = ["0xa0" in held[index] for index, event in enumerate(seen) if event == "0x5a down"]
    assert shift_held_for_z == [failing_call <= 3, False]
    assert held[-1] == set()
