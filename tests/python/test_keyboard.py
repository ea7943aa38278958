"""Keyboard through the Python API, observed as INPUT records."""

import pytest

LCONTROL, LSHIFT, LMENU, LWIN = 0xA2, 0xA0, 0xA4, 0x5B
SEND_FAILED = "^Failed to send report: SendInput failed$"


def tap(vk, extended=False):
    suffix = " extended" if extended else ""
    return [f"{vk:#04x} down{suffix}", f"{vk:#04x} up{suffix}"]


def combination(modifiers, key_events):
    """The four reports of a combination: the modifiers alone, with the key, alone again, then nothing.
    The back end puts each report's modifiers down around its keys and up again in the same order."""
    downs, ups = [f"{vk:#04x} down" for vk in modifiers], [f"{vk:#04x} up" for vk in modifiers]
    return downs + ups + downs + key_events + ups + downs + ups


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
    keyboard.press("g")
    six = [event for vk in range(0x41, 0x47) for event in tap(vk)]
    assert recorder.seen() == six + six
    recorder.start()
    keyboard.release_all()
    keyboard.press("g")
    assert recorder.seen() == tap(0x47)


@pytest.mark.parametrize("failing_call", range(1, 9))
def test_failure_inside_shifted_character_leaves_shift_in_report(keyboard, recorder, failing_call):
    # "A" plays as calls 1-2 (Shift), 3-6 (Shift and A), 7-8 (Shift again); typing stops at the failure.
    recorder.fail_call(failing_call)
    with pytest.raises(RuntimeError, match=SEND_FAILED):
        keyboard.type_text("Ab")
    assert len(recorder.events()) == failing_call - 1
    recorder.start()
    keyboard.press("z")
    seen = recorder.seen()
    assert (seen[0], seen[-1]) == ("0xa0 down", "0xa0 up")  # Shift is still in the report
    keyboard.type_text("B")  # the next shifted character clears Shift
    recorder.start()
    keyboard.press("z")
    assert not [event for event in recorder.seen() if event.startswith("0xa0")]
