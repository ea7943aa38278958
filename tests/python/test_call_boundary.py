"""Binding and conversion messages, exact to the character."""

import ondrel
import pytest


@pytest.fixture
def mouse(recorder):
    return ondrel.Mouse()


@pytest.mark.parametrize(
    "call, exc_type, message",
    [
        (lambda m: m.move_by(), TypeError, "Mouse.move_by() missing 2 required positional arguments: 'dx' and 'dy'"),
        (lambda m: m.move_by(1), TypeError, "Mouse.move_by() missing 1 required positional argument: 'dy'"),
        (lambda m: m.move_by(dy=1), TypeError, "Mouse.move_by() missing 1 required positional argument: 'dx'"),
        (lambda m: m.scroll(1, 2), TypeError, "Mouse.scroll() takes 1 positional arguments but 2 were given"),
        (lambda m: m.move_by(1, 2, 3), TypeError, "Mouse.move_by() takes 2 positional arguments but 3 were given"),
        (lambda m: m.click(1, 2), TypeError, "Mouse.click() takes from 0 to 1 positional arguments but 2 were given"),
        (lambda m: m.click("left", btn=1), TypeError, "Mouse.click() got an unexpected keyword argument 'btn'"),
        (lambda m: m.click(btn=1), TypeError, "Mouse.click() got an unexpected keyword argument 'btn'"),
        (lambda m: m.click(Button="x"), TypeError, "Mouse.click() got an unexpected keyword argument 'Button'"),
        (lambda m: m.click("x", button="y"), TypeError, "Mouse.click() got multiple values for argument 'button'"),
        (lambda m: m.click(None), TypeError, "argument 'button': 'NoneType' object cannot be converted to 'PyString'"),
        (lambda m: m.press(b"left"), TypeError, "argument 'button': 'bytes' object cannot be converted to 'PyString'"),
        (lambda m: ondrel.Mouse(3), TypeError, "argument 'name': 'int' object cannot be converted to 'PyString'"),
        (lambda m: ondrel.Mouse(name=3), TypeError, "argument 'name': 'int' object cannot be converted to 'PyString'"),
        (lambda m: ondrel.Mouse("a", "b"), TypeError,
         "Mouse.__new__() takes from 0 to 1 positional arguments but 2 were given"),
        (lambda m: ondrel.Mouse(nam="a"), TypeError, "Mouse.__new__() got an unexpected keyword argument 'nam'"),
        (lambda m: ondrel.Mouse("a", name="b"), TypeError, "Mouse.__new__() got multiple values for argument 'name'"),
        (lambda m: m.scroll(128), OverflowError, "out of range integral type conversion attempted"),
        (lambda m: m.scroll(-129), OverflowError, "out of range integral type conversion attempted"),
        (lambda m: m.scroll(1.5), TypeError, "argument 'delta': 'float' object cannot be interpreted as an integer"),
        (lambda m: m.move_by("1", 0), TypeError, "argument 'dx': 'str' object cannot be interpreted as an integer"),
        (lambda m: m.move_by(0, None), TypeError, "argument 'dy': 'NoneType' object cannot be interpreted as an integer"),
        (lambda m: m.move_by(2**40, 0), OverflowError, "Python int too large to convert to C long"),
        (lambda m: m.move_by(0, 2**31), OverflowError, "Python int too large to convert to C long"),
        (lambda m: m.move_by(-(2**31) - 1, 0), OverflowError, "Python int too large to convert to C long"),
        (lambda m: m.move_by(2**70, 0), OverflowError, "Python int too large to convert to C long"),
    ],
)
def test_refusals(mouse, recorder, call, exc_type, message):
    with pytest.raises(exc_type) as info:
        call(mouse)
    assert type(info.value) is exc_type
    assert str(info.value) == message
    assert recorder.events() == []


def test_first_bad_argument_is_reported(mouse):
    with pytest.raises(TypeError, match="argument 'dx'"):
        mouse.move_by("x", "y")


def test_overflow_beats_later_type_error(mouse):
    with pytest.raises(OverflowError):
        mouse.move_by(2**40, "y")


def test_refusal_keeps_cause_of_refused_error(mouse):
    class Bad:
        def __index__(self):
            try:
                raise KeyError("inner")
            except KeyError as error:
                raise TypeError("bad index") from error

    with pytest.raises(TypeError) as info:
        mouse.scroll(Bad())
    assert str(info.value) == "argument 'delta': bad index"
    assert isinstance(info.value.__cause__, KeyError)


def test_type_error_subclass_passes_unprefixed(mouse):
    class MyTypeError(TypeError):
        pass

    class Bad:
        def __index__(self):
            raise MyTypeError("custom")

    with pytest.raises(MyTypeError, match="^custom$"):
        mouse.scroll(Bad())


def test_lone_surrogate_raises_the_interpreters_encoding_error(mouse):
    with pytest.raises(UnicodeEncodeError):
        mouse.click("\ud800")


def test_lone_surrogate_keyword_is_unexpected(mouse):
    with pytest.raises(TypeError, match="unexpected keyword argument"):
        mouse.click(**{"\ud800": 1})


@pytest.mark.parametrize("value, expected", [(127, 127), (-128, -128), (True, 1), (0, 0)])
def test_scroll_accepts_int8_range(mouse, recorder, value, expected):
    mouse.scroll(value)
    assert [e["mouseData"] for e in recorder.events()] == ([expected * 120] if expected else [])


def test_index_objects_are_integers(mouse, recorder):
    class Three:
        def __index__(self):
            return 3

    mouse.move_by(Three(), 0)
    assert [e["dx"] for e in recorder.events()] == [3]


def test_keywords_bind_by_name_in_any_order(mouse, recorder):
    mouse.move_by(dy=1, dx=2)
    assert [(e["dx"], e["dy"]) for e in recorder.events()] == [(2, 1)]


def test_str_subclass_is_text(mouse, recorder):
    class Name(str):
        pass

    mouse.click(Name("right"))
    assert [e["dwFlags"] for e in recorder.events()] == [0x08, 0x10]


def test_wrong_self_is_refused():
    with pytest.raises(TypeError):
        ondrel.Mouse.click(5)


def test_device_failure_is_runtime_error_and_object_stays_usable(mouse, recorder):
    recorder.fail_call(1)
    with pytest.raises(RuntimeError) as info:
        mouse.press()
    assert str(info.value) == "Failed to send report: SendInput failed"
    mouse.release()  # the failed press left the button counted down on both sides
    assert [e["dwFlags"] for e in recorder.events()] == [0x04]
    mouse.click()
    assert [e["dwFlags"] for e in recorder.events()] == [0x04, 0x02, 0x04]
