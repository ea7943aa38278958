"""Mouse through the Python API, observed as INPUT records."""

import ondrel
import pytest

MOVE, LEFT_DOWN, LEFT_UP, RIGHT_DOWN, RIGHT_UP, MIDDLE_DOWN, MIDDLE_UP, WHEEL = (
    0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0800)


def mouse_event(flags, dx=0, dy=0, data=0):
    return {"type": "mouse", "dx": dx, "dy": dy, "mouseData": data, "dwFlags": flags}


def without_time(events):
    return [{k: v for k, v in e.items() if k != "t_ns"} for e in events]


@pytest.fixture
def mouse(recorder):
    return ondrel.Mouse()


@pytest.mark.parametrize(
    "operation, expected",
    [
        (lambda m: m.press(), [LEFT_DOWN]),
        (lambda m: (m.press(), m.release()), [LEFT_DOWN, LEFT_UP]),
        (lambda m: (m.press("right"), m.press("left")), [RIGHT_DOWN, LEFT_DOWN]),
        (lambda m: (m.press(), m.press()), [LEFT_DOWN]),  # unchanged buttons repeat nothing
        (lambda m: m.click(), [LEFT_DOWN, LEFT_UP]),
        (lambda m: m.click("MIDDLE"), [MIDDLE_DOWN, MIDDLE_UP]),
        (lambda m: (m.press(), m.click()), [LEFT_DOWN, LEFT_UP]),  # a click ends with the button up
        (lambda m: m.double_click("Right"), [RIGHT_DOWN, RIGHT_UP, RIGHT_DOWN, RIGHT_UP]),
        (lambda m: m.release(), []),
    ],
)
def test_button_events(mouse, recorder, operation, expected):
    operation(mouse)
    assert [e["dwFlags"] for e in recorder.events()] == expected


@pytest.mark.parametrize("name", ["center", "left ", "", "LEFT", "ri ght", "r\u0131ght"])
def test_other_names_mean_left(mouse, recorder, name):
    mouse.click(name)
    assert [e["dwFlags"] for e in recorder.events()] == [LEFT_DOWN, LEFT_UP]


def test_scroll_sends_one_wheel_event(mouse, recorder):
    mouse.scroll(-3)
    mouse.scroll(0)
    assert without_time(recorder.events()) == [mouse_event(WHEEL, data=-360)]


@pytest.mark.parametrize(
    "dx, dy, expected",
    [
        (0, 0, []),
        (10, -5, [(10, -5)]),
        (254, -254, [(127, -127), (127, -127)]),
        (255, 0, [(85, 0)] * 3),
        (129, 0, [(65, 0), (64, 0)]),
        (-300, 1, [(-100, 1), (-100, 0), (-100, 0)]),
        (1000, 0, [(125, 0)] * 8),
        (1001, 7, [(126, 1)] + [(125, 1)] * 6 + [(125, 0)]),
    ],
)
def test_move_by_adds_up_exactly(mouse, recorder, dx, dy, expected):
    mouse.move_by(dx, dy)
    events = recorder.events()
    assert all(e["dwFlags"] == MOVE for e in events)
    assert [(e["dx"], e["dy"]) for e in events] == expected


def test_move_by_large_offset_adds_up(mouse, recorder):
    mouse.move_by(-100_000, 99_999)
    events = recorder.events()
    assert len(events) == 788  # ceil(100000 / 127)
    assert sum(e["dx"] for e in events) == -100_000
    assert sum(e["dy"] for e in events) == 99_999
    assert max(max(abs(e["dx"]), abs(e["dy"])) for e in events) <= 127


def test_motion_then_buttons_then_wheel_in_one_report(mouse, recorder):
    """A failed move leaves its motion in the report; the next report carries it
    along with its buttons and wheel, in that order."""
    recorder.fail_call(1)
    with pytest.raises(RuntimeError):
        mouse.move_by(5, -3)
    mouse.scroll(2)
    assert without_time(recorder.events()) == [mouse_event(MOVE, 5, -3), mouse_event(WHEEL, data=240)]
    recorder.clear()
    recorder.fail_call(1)
    with pytest.raises(RuntimeError):
        mouse.move_by(0, 7)
    mouse.press("middle")
    assert without_time(recorder.events()) == [mouse_event(MOVE, 0, 7), mouse_event(MIDDLE_DOWN)]


def test_click_lasts_at_least_10_ms(mouse, recorder):
    mouse.click()
    down, up = recorder.events()
    assert up["t_ns"] - down["t_ns"] >= 10_000_000


def test_double_click_pauses(mouse, recorder):
    mouse.double_click()
    times = [e["t_ns"] for e in recorder.events()]
    gaps = [b - a for a, b in zip(times, times[1:])]
    assert gaps[0] >= 10_000_000 and gaps[1] >= 50_000_000 and gaps[2] >= 10_000_000


@pytest.mark.parametrize(
    "fail_on, operation, expected_before_failure",
    [
        (1, lambda m: m.click(), []),
        (2, lambda m: m.click(), [LEFT_DOWN]),
        (3, lambda m: m.double_click(), [LEFT_DOWN, LEFT_UP]),
    ],
)
def test_failing_send_input_surfaces_and_next_call_works(mouse, recorder, fail_on, operation, expected_before_failure):
    recorder.fail_call(fail_on)
    with pytest.raises(RuntimeError) as info:
        operation(mouse)
    assert str(info.value) == "Failed to send report: SendInput failed"
    assert [e["dwFlags"] for e in recorder.events()] == expected_before_failure
    recorder.clear()
    mouse.move_by(1, 1)
    assert [e["dwFlags"] for e in recorder.events()][0] == MOVE


def test_without_user32_every_send_fails(detached_recorder):
    mouse = ondrel.Mouse()
    with pytest.raises(RuntimeError, match="^Failed to send report: SendInput failed$"):
        mouse.move_by(1, 0)


def test_constructor_names(recorder):
    ondrel.Mouse()
    ondrel.Mouse(None)
    ondrel.Mouse("pointer")
    ondrel.Mouse(name="pointer")
    assert recorder.events() == []  # construction sends nothing


def test_freeing_a_pressed_mouse_sends_nothing(recorder):
    mouse = ondrel.Mouse()
    mouse.press()
    recorder.clear()
    del mouse
    assert recorder.events() == []
