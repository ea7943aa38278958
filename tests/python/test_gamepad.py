"""Gamepad: refused creation, and every method's reports through the recorder's gamepad switch."""

import pytest

import ondrel

NEUTRAL = [0, 0, 128, 128, 128, 128, 0, 0]
REFUSED = "Platform not supported: Windows gamepad requires ViGEmBus driver"

CLASS_BUTTONS = {
    "a": 0x0001, "b": 0x0002, "x": 0x0004, "y": 0x0008,
    "lb": 0x0010, "left_bumper": 0x0010, "rb": 0x0020, "right_bumper": 0x0020,
    "back": 0x0040, "select": 0x0040, "start": 0x0080, "guide": 0x0100, "home": 0x0100,
    "ls": 0x0200, "left_stick": 0x0200, "rs": 0x0400, "right_stick": 0x0400,
    "up": 0x0800, "dpad_up": 0x0800, "down": 0x1000, "dpad_down": 0x1000,
    "dpad_left": 0x2000, "dpad_right": 0x4000,
}


def mixed_case(name):
    return "".join(c.upper() if i % 2 == 0 else c for i, c in enumerate(name))


def with_buttons(bits, base=NEUTRAL):
    return [bits & 0xFF, bits >> 8] + base[2:]


@pytest.fixture
def pad(recorder):
    recorder.gamepad(True)
    gamepad = ondrel.Gamepad()
    recorder.clear()
    return gamepad


def reports(recorder):
    return [event["bytes"] for event in recorder.events() if event["type"] == "gamepad_report"]


@pytest.mark.parametrize("args, kwargs", [((), {}), ((None,), {}), (("pad",), {}), ((), {"name": "pad"})])
def test_creation_is_refused_every_time(args, kwargs):
    for _ in range(2):
        with pytest.raises(RuntimeError) as error:
            ondrel.Gamepad(*args, **kwargs)
        assert str(error.value) == REFUSED


def test_bad_name_is_reported_before_creation():
    with pytest.raises(TypeError) as error:
        ondrel.Gamepad(5)
    assert str(error.value) == "argument 'name': 'int' object cannot be converted to 'PyString'"


@pytest.mark.parametrize("method, doc", [
    ("press", "press($self, button)\n--\n\nPress button"),
    ("release", "release($self, button)\n--\n\nRelease button"),
    ("tap", "tap($self, button)\n--\n\nTap button (press and release)"),
    ("left_stick", "left_stick($self, x, y)\n--\n\nSet left stick position (0-255, 128 = center)"),
    ("right_stick", "right_stick($self, x, y)\n--\n\nSet right stick position (0-255, 128 = center)"),
    ("triggers", "triggers($self, left, right)\n--\n\nSet triggers (0-255)"),
    ("reset", "reset($self)\n--\n\nReset all to default"),
])
def test_method_docstrings(method, doc):
    signature, summary = doc.split("\n--\n\n")
    function = getattr(ondrel.Gamepad, method)
    assert function.__text_signature__ == signature[len(method):]
    assert function.__doc__ == summary


def test_methods_in_table_order():
    assert [name for name in vars(ondrel.Gamepad) if not name.startswith("__")] == [
        "press", "release", "tap", "left_stick", "right_stick", "triggers", "reset"]


def test_tap_on_fresh_pad_holds_at_least_50_ms(pad, recorder):
    pad.tap("A")
    events = recorder.events()
    assert [e["bytes"] for e in events] == [with_buttons(0x0001), NEUTRAL]
    assert events[1]["t_ns"] - events[0]["t_ns"] >= 50_000_000


def test_tap_of_held_button_ends_released(pad, recorder):
    pad.press("a")
    pad.press("B")
    pad.tap(button="A")
    assert reports(recorder)[-2:] == [with_buttons(0x0003), with_buttons(0x0002)]


def test_triggers_send_left_then_right(pad, recorder):
    pad.triggers(10, 20)
    assert reports(recorder) == [NEUTRAL[:6] + [10, 0], NEUTRAL[:6] + [10, 20]]


def test_sticks_store_extremes_as_given(pad, recorder):
    pad.left_stick(0, 255)
    pad.right_stick(y=0, x=255)
    assert reports(recorder) == [[0, 0, 0, 255, 128, 128, 0, 0], [0, 0, 0, 255, 255, 0, 0, 0]]


def test_reset_restores_neutral(pad, recorder):
    pad.press("start")
    pad.left_stick(1, 2)
    pad.right_stick(3, 4)
    pad.triggers(5, 6)
    pad.reset()
    assert reports(recorder)[-1] == NEUTRAL


@pytest.mark.parametrize("method, args", [
    ("left_stick", (256, 0)), ("left_stick", (0, -1)), ("right_stick", (-1, 0)), ("right_stick", (0, 256)),
    ("triggers", (256, 0)), ("triggers", (10, -1)), ("left_stick", (-1, "not checked")),
])
def test_out_of_range_values_are_refused_before_sending(pad, recorder, method, args):
    with pytest.raises(OverflowError) as error:
        getattr(pad, method)(*args)
    assert str(error.value) == "out of range integral type conversion attempted"
    assert reports(recorder) == []
    pad.press("a")
    assert reports(recorder) == [with_buttons(0x0001)]


@pytest.mark.parametrize("name, bit", CLASS_BUTTONS.items())
def test_every_class_name_in_any_case(pad, recorder, name, bit):
    pad.press(name.upper())
    pad.release(mixed_case(name))
    assert reports(recorder) == [with_buttons(bit), NEUTRAL]


@pytest.mark.parametrize("method", ["press", "release", "tap"])
@pytest.mark.parametrize("name", ["left", "Right", "lt", "RT", "", " a", "left_trigger", "\u00c4"])
def test_unknown_button_names_the_button_as_given(pad, recorder, method, name):
    with pytest.raises(RuntimeError) as error:
        getattr(pad, method)(name)
    assert str(error.value) == "Unknown button: " + name
    assert reports(recorder) == []


@pytest.mark.parametrize("call, message", [
    (lambda pad: pad.press(None), "argument 'button': 'NoneType' object cannot be converted to 'PyString'"),
    (lambda pad: pad.tap(), "Gamepad.tap() missing 1 required positional argument: 'button'"),
    (lambda pad: pad.triggers(), "Gamepad.triggers() missing 2 required positional arguments: 'left' and 'right'"),
    (lambda pad: pad.left_stick(1, 2, 3), "Gamepad.left_stick() takes 2 positional arguments but 3 were given"),
    (lambda pad: pad.right_stick(1, z=2), "Gamepad.right_stick() got an unexpected keyword argument 'z'"),
])
def test_argument_errors(pad, recorder, call, message):
    with pytest.raises(TypeError) as error:
        call(pad)
    assert str(error.value) == message
    assert reports(recorder) == []


def test_reset_takes_no_arguments(pad):
    with pytest.raises(TypeError):
        pad.reset(1)
