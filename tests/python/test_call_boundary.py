"""Binding and conversion at the call boundary: every refusal exact to the character, and what is accepted."""

import sys
import types

import ondrel
import pytest
from conftest import raises_exactly, requires_linux_without_uinput

NOT_STR = "object cannot be converted to 'PyString'"
NOT_SEQUENCE = "object cannot be converted to 'Sequence'"
NOT_INT = "object cannot be interpreted as an integer"
TOO_LARGE = "Python int too large to convert to C long"
OUT_OF_RANGE = "out of range integral type conversion attempted"


class Modifiers:
    """A sequence whose length fails and whose iteration yields `items`, then raises `error` if given."""

    def __init__(self, items, error=None):
        self.items, self.error = items, error

    def __getitem__(self, index):
        return self.items[index]

    def __len__(self):
        raise RuntimeError("no length")

    def __iter__(self):
        yield from self.items
        if self.error is not None:
            raise self.error


class Liar:
    """Claims a huge length but holds one item: the length only sizes what is reserved."""

    def __len__(self):
        return sys.maxsize

    def __getitem__(self, index):
        if index:
            raise IndexError
        return "ctrl"


class Str(str):
    pass


class MyTypeError(TypeError):
    pass


class Raising:
    """An integer-like object whose conversion raises `error`, caused by a KeyError."""

    def __init__(self, error):
        self.error = error

    def __index__(self):
        try:
            raise KeyError("inner")
        except KeyError as inner:
            raise self.error from inner


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


@pytest.fixture
def objects(mouse, keyboard, pad, agent):
    return types.SimpleNamespace(m=mouse, k=keyboard, g=pad, a=agent)


@pytest.mark.parametrize("call, exc_type, message", [
    # Binding: counts, names, duplicates.
    (lambda o: o.m.move_by(), TypeError, "Mouse.move_by() missing 2 required positional arguments: 'dx' and 'dy'"),
    (lambda o: o.m.move_by(1), TypeError, "Mouse.move_by() missing 1 required positional argument: 'dy'"),
    (lambda o: o.m.move_by(dy=1), TypeError, "Mouse.move_by() missing 1 required positional argument: 'dx'"),
    (lambda o: o.m.scroll(1, 2), TypeError, "Mouse.scroll() takes 1 positional arguments but 2 were given"),
    (lambda o: o.m.move_by(1, 2, 3), TypeError, "Mouse.move_by() takes 2 positional arguments but 3 were given"),
    (lambda o: o.m.click(1, 2), TypeError, "Mouse.click() takes from 0 to 1 positional arguments but 2 were given"),
    (lambda o: o.m.click("left", btn=1), TypeError, "Mouse.click() got an unexpected keyword argument 'btn'"),
    (lambda o: o.m.click(Button="x"), TypeError, "Mouse.click() got an unexpected keyword argument 'Button'"),
    (lambda o: o.m.click("x", button="y"), TypeError, "Mouse.click() got multiple values for argument 'button'"),
    (lambda o: ondrel.Mouse("a", "b"), TypeError,
     "Mouse.__new__() takes from 0 to 1 positional arguments but 2 were given"),
    (lambda o: ondrel.Mouse(nam="a"), TypeError, "Mouse.__new__() got an unexpected keyword argument 'nam'"),
    (lambda o: ondrel.Mouse("a", name="b"), TypeError, "Mouse.__new__() got multiple values for argument 'name'"),
    (lambda o: o.k.combo(), TypeError,
     "Keyboard.combo() missing 2 required positional arguments: 'modifiers' and 'key'"),
    (lambda o: o.k.release_all(1), TypeError, "Keyboard.release_all() takes no arguments (1 given)"),
    (lambda o: o.g.triggers(), TypeError,
     "Gamepad.triggers() missing 2 required positional arguments: 'left' and 'right'"),
    (lambda o: ondrel.AgentHID(1), TypeError, "AgentHID.__new__() takes 0 positional arguments but 1 was given"),
    # Conversion: text.
    (lambda o: o.m.click(None), TypeError, f"argument 'button': 'NoneType' {NOT_STR}"),
    (lambda o: o.m.press(b"left"), TypeError, f"argument 'button': 'bytes' {NOT_STR}"),
    (lambda o: ondrel.Mouse(name=3), TypeError, f"argument 'name': 'int' {NOT_STR}"),
    (lambda o: ondrel.Keyboard(3), TypeError, f"argument 'name': 'int' {NOT_STR}"),
    (lambda o: ondrel.Gamepad(5), TypeError, f"argument 'name': 'int' {NOT_STR}"),  # before any creation attempt
    (lambda o: o.k.combo(["ctrl"], 5), TypeError, f"argument 'key': 'int' {NOT_STR}"),
    (lambda o: o.a.execute_json({}), TypeError, f"argument 'json': 'dict' {NOT_STR}"),
    # Conversion: list of text.
    (lambda o: o.k.combo("ctrl", "c"), TypeError, "argument 'modifiers': Can't extract `str` to `Vec`"),
    (lambda o: o.k.combo(Str("ctrl"), "c"), TypeError, "argument 'modifiers': Can't extract `str` to `Vec`"),
    (lambda o: o.k.combo(5, "c"), TypeError, f"argument 'modifiers': 'int' {NOT_SEQUENCE}"),
    (lambda o: o.k.combo({"ctrl"}, "c"), TypeError, f"argument 'modifiers': 'set' {NOT_SEQUENCE}"),
    (lambda o: o.k.combo({"ctrl": 1}, "c"), TypeError, f"argument 'modifiers': 'dict' {NOT_SEQUENCE}"),
    (lambda o: o.k.combo(iter(["ctrl"]), "c"), TypeError, f"argument 'modifiers': 'list_iterator' {NOT_SEQUENCE}"),
    (lambda o: o.k.combo(None, "c"), TypeError, f"argument 'modifiers': 'NoneType' {NOT_SEQUENCE}"),
    (lambda o: o.k.combo(["ctrl", 1], "c"), TypeError, f"argument 'modifiers': 'int' {NOT_STR}"),
    (lambda o: o.k.combo(b"ctrl", "c"), TypeError, f"argument 'modifiers': 'int' {NOT_STR}"),
    (lambda o: o.k.combo([None], 5), TypeError, f"argument 'modifiers': 'NoneType' {NOT_STR}"),  # first argument first
    (lambda o: o.k.combo(Modifiers(["ctrl"], ValueError("broken")), "c"), ValueError, "broken"),
    (lambda o: o.k.combo(Modifiers(["ctrl"], TypeError("broken")), "c"), TypeError, "argument 'modifiers': broken"),
    # Conversion: dict.
    (lambda o: o.a.execute('{"action": "mouse_click"}'), TypeError,
     "argument 'action': 'str' object cannot be converted to 'PyDict'"),
    (lambda o: o.a.execute([]), TypeError, "argument 'action': 'list' object cannot be converted to 'PyDict'"),
    # Conversion: integers, the first bad argument reported, an overflow before a later type error.
    (lambda o: o.m.scroll(128), OverflowError, OUT_OF_RANGE),
    (lambda o: o.m.scroll(-129), OverflowError, OUT_OF_RANGE),
    (lambda o: o.m.scroll(1.5), TypeError, f"argument 'delta': 'float' {NOT_INT}"),
    (lambda o: o.m.move_by("x", "y"), TypeError, f"argument 'dx': 'str' {NOT_INT}"),
    (lambda o: o.m.move_by(0, None), TypeError, f"argument 'dy': 'NoneType' {NOT_INT}"),
    (lambda o: o.m.scroll(Raising(MyTypeError("custom"))), MyTypeError, "custom"),  # a subclass passes unprefixed
    (lambda o: o.m.move_by(2**40, "y"), OverflowError, TOO_LARGE),
    (lambda o: o.m.move_by(0, 2**31), OverflowError, TOO_LARGE),
    (lambda o: o.m.move_by(-(2**31) - 1, 0), OverflowError, TOO_LARGE),
    (lambda o: o.m.move_by(2**70, 0), OverflowError, TOO_LARGE),
    (lambda o: o.g.left_stick(256, 0), OverflowError, OUT_OF_RANGE),
    (lambda o: o.g.left_stick(-1, "not checked"), OverflowError, OUT_OF_RANGE),
    (lambda o: o.g.triggers(10, -1), OverflowError, OUT_OF_RANGE),
    # Failures of the device, raised as RuntimeError with the display text.
    (lambda o: o.k.press("F13"), RuntimeError, "Invalid key: F13"),
    (lambda o: o.k.combo(["ctrl"], "\u0130nsert"), RuntimeError, "Invalid key: \u0130nsert"),
    (lambda o: o.k.press("a\x00"), RuntimeError, "Invalid key: a\x00"),
    (lambda o: o.g.tap("left"), RuntimeError, "Unknown button: left"),
    (lambda o: o.g.release("\u00c4"), RuntimeError, "Unknown button: \u00c4"),
])
def test_refusals_send_nothing(objects, recorder, call, exc_type, message):
    raises_exactly(exc_type, message, call, objects)
    assert recorder.events() == []


def test_argument_error_keeps_the_cause(mouse):
    error = raises_exactly(TypeError, "argument 'delta': bad index", mouse.scroll, Raising(TypeError("bad index")))
    assert isinstance(error.__cause__, KeyError)


@pytest.mark.parametrize("call, exc_type", [
    (lambda o: o.m.click("\ud800"), UnicodeEncodeError),
    (lambda o: o.k.type_text("a\ud800"), UnicodeEncodeError),
    (lambda o: o.k.combo(["\udc00"], "a"), UnicodeEncodeError),
    (lambda o: o.m.click(**{"\ud800": 1}), TypeError),  # an unexpected keyword
    (lambda o: ondrel.Mouse.click(5), TypeError),
])
def test_the_interpreters_own_errors_pass_through(objects, recorder, call, exc_type):
    with pytest.raises(exc_type):
        call(objects)
    assert recorder.events() == []


def test_devices_created_for_the_recorder_fail_honestly_once_it_stops(objects, recorder):
    objects.a.execute({"action": "type", "text": "a"})
    recorder.stop()
    raises_exactly(RuntimeError, "Failed to send report: SendInput failed", objects.m.move_by, 1, 0)
    raises_exactly(RuntimeError, "Failed to send report: SendInput failed", objects.k.press, "a")
    objects.k.release_all()  # nothing to inject: an empty report succeeds
    assert objects.a.execute({"action": "type", "text": "a"}) == {
        "success": False, "error": "Failed to send report: SendInput failed"}


NO_SYSTEM = ("Platform not supported: no X display with the XTEST extension (DISPLAY is not set) "
             "and /dev/uinput is not writable")


@requires_linux_without_uinput
@pytest.mark.parametrize("environment, missing", [
    ({}, NO_SYSTEM),
    ({"WAYLAND_DISPLAY": "wayland-0"}, NO_SYSTEM),
    ({"ONDREL_INPUT": "x11"}, "Platform not supported: no X display with the XTEST extension (DISPLAY is not set)"),
    ({"ONDREL_INPUT": "uinput"}, "Platform not supported: /dev/uinput is not writable"),
    ({"ONDREL_INPUT": "wayland"}, "Platform not supported: ONDREL_INPUT must be x11 or uinput, not 'wayland'"),
])
def test_without_an_input_system_creation_says_what_is_missing(recorder, monkeypatch, environment, missing):
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "ONDREL_INPUT"):
        monkeypatch.delenv(name, raising=False)
    for name, value in environment.items():
        monkeypatch.setenv(name, value)
    recorder.stop()
    raises_exactly(RuntimeError, missing, ondrel.Mouse)
    raises_exactly(RuntimeError, missing, ondrel.Keyboard)
    agent = ondrel.AgentHID()
    assert agent.execute({"action": "mouse_click"}) == {"success": False, "error": missing}
    assert agent.execute({"action": "key_press", "key": "a"}) == {"success": False, "error": missing}


@pytest.mark.parametrize("call, expected", [
    (lambda o: o.m.scroll(127), ["wheel 15240"]),
    (lambda o: o.m.scroll(-128), ["wheel -15360"]),
    (lambda o: o.m.scroll(True), ["wheel 120"]),
    (lambda o: o.m.move_by(Index(3), 0), ["move 3 0"]),
    (lambda o: o.m.move_by(dy=1, dx=2), ["move 2 1"]),
    (lambda o: o.m.click(Str("right")), ["right down", "right up"]),
    (lambda o: o.k.combo(("ctrl",), "c"), ["0xa2 down", "0x43 down"]),
    (lambda o: o.k.combo([Str("CTRL")], "c"), ["0xa2 down", "0x43 down"]),
    (lambda o: o.k.combo(Modifiers(["ctrl"]), "c"), ["0xa2 down", "0x43 down"]),  # length failure ignored
    (lambda o: o.k.combo(Liar(), "c"), ["0xa2 down", "0x43 down", "0x43 up", "0xa2 up"]),
    (lambda o: o.g.right_stick(y=0, x=255), [[0, 0, 128, 128, 255, 0, 0, 0]]),
])
def test_accepted_arguments(objects, recorder, call, expected):
    assert call(objects) is None
    assert recorder.seen()[:len(expected)] == expected
