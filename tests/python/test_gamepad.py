"""Gamepad: refused creation where the system has none, and its reports through the recorder's gamepad switch."""

import ondrel
import pytest
from conftest import NO_GAMEPAD, raises_exactly, uinput_writable

NEUTRAL = [0, 0, 128, 128, 128, 128, 0, 0]


def buttons(bits):
    return [bits & 0xFF, bits >> 8] + NEUTRAL[2:]


@pytest.mark.parametrize("args, kwargs", [((), {}), ((None,), {}), (("pad",), {}), ((), {"name": "pad"})])
def test_creation_is_refused_every_time_while_the_recorder_hides_the_system(recorder, args, kwargs):
    for _ in range(2):
        raises_exactly(RuntimeError, NO_GAMEPAD, ondrel.Gamepad, *args, **kwargs)


@pytest.mark.skipif(uinput_writable, reason="this machine can create a gamepad")
def test_creation_names_what_the_system_lacks():
    raises_exactly(RuntimeError, NO_GAMEPAD, ondrel.Gamepad)
    assert ondrel.AgentHID().execute({"action": "gamepad_press", "button": "a"}) == {
        "success": False, "error": NO_GAMEPAD}


def test_tap_on_a_fresh_pad_holds_at_least_50_ms(pad, recorder):
    pad.tap("A")
    first, second = recorder.events()
    assert [first["bytes"], second["bytes"]] == [buttons(0x0001), NEUTRAL]
    assert second["t_ns"] - first["t_ns"] >= 50_000_000


@pytest.mark.parametrize("operation, expected", [
    (lambda p: (p.press("a"), p.press("B"), p.tap(button="A")),
     [buttons(0x0001), buttons(0x0003), buttons(0x0003), buttons(0x0002)]),  # a tap ends released
    (lambda p: p.triggers(10, 20), [NEUTRAL[:6] + [10, 0], NEUTRAL[:6] + [10, 20]]),
    (lambda p: (p.left_stick(0, 255), p.right_stick(255, 0)),
     [[0, 0, 0, 255, 128, 128, 0, 0], [0, 0, 0, 255, 255, 0, 0, 0]]),
    (lambda p: (p.press("start"), p.left_stick(1, 2), p.triggers(5, 6), p.reset()),
     [buttons(0x80), [0x80, 0, 1, 2, 128, 128, 0, 0], [0x80, 0, 1, 2, 128, 128, 5, 0],
      [0x80, 0, 1, 2, 128, 128, 5, 6], NEUTRAL]),
    (lambda p: (p.press("LeFt_BuMpEr"), p.release("DPAD_down"), p.release("lb")),
     [buttons(0x10), buttons(0x10), NEUTRAL]),
])
def test_reports(pad, recorder, operation, expected):
    operation(pad)
    assert recorder.seen() == expected
