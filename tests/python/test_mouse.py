"""Mouse through the Python API, observed as INPUT records."""

import ondrel
import pytest

CLICK = ["left down", "left up"]
SEND_FAILED = "^Failed to send report: SendInput failed$"


@pytest.mark.parametrize("operation, expected", [
    (lambda m: m.press(), ["left down"]),
    (lambda m: (m.press("right"), m.press(), m.release("right")), ["right down", "left down", "right up"]),
    (lambda m: (m.press(), m.press()), ["left down"]),  # an unchanged button byte repeats nothing
    (lambda m: m.release(), []),
    (lambda m: m.click(), CLICK),
    (lambda m: m.click("MIDDLE"), ["middle down", "middle up"]),
    (lambda m: m.click("r\u0131ght"), CLICK),  # any other name is the left button
    (lambda m: (m.press(), m.click()), CLICK),  # a click ends with the button up
    (lambda m: m.double_click("Right"), ["right down", "right up"] * 2),
    (lambda m: (m.scroll(-3), m.scroll(0)), ["wheel -360"]),
    (lambda m: m.move_by(0, 0), []),
    (lambda m: m.move_by(129, -5), ["move 65 -3", "move 64 -2"]),  # the reports add up to the offset
    (lambda m: m.move_by(-300, 1), ["move -100 1", "move -100 0", "move -100 0"]),
    (lambda m: m.move_by(1001, 7), ["move 126 1"] + ["move 125 1"] * 6 + ["move 125 0"]),
])
def test_records(mouse, recorder, operation, expected):
    operation(mouse)
    assert recorder.seen() == expected


def test_one_report_plays_motion_then_buttons_then_wheel(mouse, recorder):
    # Failed sends leave their motion and wheel in the report, so the next report carries all three.
    for failing in (lambda: mouse.move_by(5, -3), lambda: mouse.scroll(2)):
        recorder.fail_call(1)
        with pytest.raises(RuntimeError, match=SEND_FAILED):
            failing()
    assert recorder.seen() == []
    mouse.press("right")
    assert recorder.seen() == ["move 5 -3", "right down", "wheel 240"]


@pytest.mark.parametrize("fail_on, operation, before, then, after", [
    # The failed press leaves the button down in the report: releasing it sends the up.
    (1, lambda m: m.press(), [], lambda m: m.release(), ["left up"]),
    (1, lambda m: m.click(), [], lambda m: m.move_by(1, 1), ["move 1 1"]),
    (2, lambda m: m.click(), ["left down"], lambda m: m.click(), CLICK),
    (3, lambda m: m.double_click(), CLICK, lambda m: m.release(), ["left up"]),
])
def test_failing_send_input_raises_and_the_next_call_works(mouse, recorder, fail_on, operation, before, then, after):
    recorder.fail_call(fail_on)
    with pytest.raises(RuntimeError, match=SEND_FAILED):
        operation(mouse)
    assert recorder.seen() == before
    recorder.start()
    then(mouse)
    assert recorder.seen() == after


def test_construction_and_freeing_send_nothing(recorder):
    mice = [ondrel.Mouse(), ondrel.Mouse(None), ondrel.Mouse("pointer"), ondrel.Mouse(name="pointer")]
    assert recorder.seen() == []
    mice[0].press()
    recorder.start()
    del mice
    assert recorder.seen() == []
