"""Mouse through the Python API, observed as INPUT records."""

import ondrel
import pytest

CLICK = ["left down", "left up"]


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


def test_construction_and_freeing_send_nothing(recorder):
    mice = [ondrel.Mouse(), ondrel.Mouse(None), ondrel.Mouse("pointer"), ondrel.Mouse(name="pointer")]
    assert recorder.seen() == []
    mice[0].press()
    recorder.start()
    del mice
    assert recorder.seen() == []
