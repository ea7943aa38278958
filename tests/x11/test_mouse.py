"""The mouse on a real X display: what another client sees of the pointer and the buttons."""

import ondrel
import pytest
from conftest import START


@pytest.mark.parametrize("dx, dy", [(1, 0), (0, -1), (127, -128), (-128, 127), (1000, 0), (-1000, 0), (0, 999),
                                    (-999, -999), (333, -777)])
def test_move_by_moves_the_pointer_by_exactly_the_offset(observer, dx, dy):
    ondrel.Mouse().move_by(dx, dy)
    assert observer.pointer() == (START[0] + dx, START[1] + dy)


@pytest.mark.parametrize("name, button", [("left", 1), ("middle", 2), ("right", 3)])
def test_each_button_goes_down_and_up(observer, name, button):
    mouse = ondrel.Mouse()
    mouse.click(name)
    assert observer.buttons() == [("press", button), ("release", button)]
    mouse.press(name)
    assert observer.buttons() == [("press", button)]
    mouse.release(name)
    assert observer.buttons() == [("release", button)]


@pytest.mark.parametrize("notches, button", [(2, 4), (-2, 5), (1, 4), (-1, 5)])
def test_scroll_clicks_the_wheel_button_once_a_notch(observer, notches, button):
    ondrel.Mouse().scroll(notches)
    assert observer.buttons() == [("press", button), ("release", button)] * abs(notches)
