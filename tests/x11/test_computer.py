"""ondrel_computer's Computer on an X display, seen by a client of the tests' own: absolute moves land on the exact
pixel (corners included) and a point off the screen moves nothing; buttons, wheel notches and key chords arrive as
X events (a key that no key of the layout gives on a keycode bound for the while); a server that stops answering fails the call within the deadline, gets back what was pressed, and a
restarted one is reached again."""

import time

import pytest
from conftest import observe
from ondrel_computer import Computer

NO_ANSWER = "the X server did not answer within 2 s"
DEADLINE_S = 2


def keyboard_mapping(client):
    first = client.display.info.min_keycode
    return [list(row) for row in client.get_keyboard_mapping(first, client.display.info.max_keycode - first + 1)]


@pytest.fixture
def computer(on_display):
    return Computer()


def test_every_move_lands_on_its_pixel_and_a_point_off_the_screen_moves_nothing(observer, computer):
    width, height = computer.screen_size()
    assert (width, height) == (3000, 2000)
    for point in [(0, 0), (width - 1, height - 1), (width - 1, 0), (0, height - 1), (1234, 567), (1235, 567)]:
        computer.move_to(*point)
        assert observer.pointer() == point
        assert computer.position() == point
    for outside in [(width, 0), (0, height), (-1, 10), (10, -1)]:
        with pytest.raises(RuntimeError, match=r"is outside the screen \(3000x2000\)"):
            computer.move_to(*outside)
        with pytest.raises(RuntimeError, match="outside the screen"):
            computer.click(*outside)
    assert observer.pointer() == (1235, 567)
    assert observer.buttons() == []


def test_buttons_wheel_notches_and_chords_arrive_as_x_events(observer, computer):
    for button in ["left", "middle", "right", "back", "forward"]:
        computer.click(100, 100, button=button)
    computer.scroll(dx=-1, dy=2)
    computer.scroll(dx=2, dy=-1)
    clicks = [1, 2, 3, 8, 9, 5, 5, 6, 4, 7, 7]
    assert observer.buttons() == [event for number in clicks for event in [("press", number), ("release", number)]]

    mapping = keyboard_mapping(observer.display)
    computer.key("ctrl+shift+t")
    computer.key(["ALT", "Tab"])
    computer.key("super+Page_Down")
    computer.key("KP_Enter")
    computer.key("shift+F13")  # no key gives F13 here: a spare keycode does while it is down
    presses = observer.key_presses()
    assert presses[:4] == [("t", {"Control", "Shift"}), ("Tab", {"Alt"}), ("Page_Down", {"Super"}),
                           ("KP_Enter", set())]
    assert [held for _, held in presses[4:]] == [{"Shift"}]
    assert keyboard_mapping(observer.display) == mapping
    assert observer.held() == ([], [])


def test_a_thousand_notches_on_each_axis_all_arrive(observer, computer):
    computer.scroll(dx=-1000, dy=1000)
    computer.scroll(dx=1000, dy=-1000)
    presses = [number for kind, number in observer.buttons() if kind == "press"]
    assert presses == [5] * 1000 + [6] * 1000 + [4] * 1000 + [7] * 1000
    assert observer.held() == ([], [])


def test_a_stopped_server_fails_the_call_in_time_and_the_press_is_taken_back(own_server, monkeypatch):
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    computer = Computer()
    computer.move_to(10, 10)
    own_server.pause()
    start = time.monotonic()
    with pytest.raises(RuntimeError, match=NO_ANSWER):
        computer.mouse_down()
    assert DEADLINE_S <= time.monotonic() - start < DEADLINE_S + 1
    own_server.resume()
    watcher = observe(own_server.display)
    assert watcher.held() == ([], [])
    watcher.close()
    own_server.restart()
    computer.move_to(20, 30)  # the next call connects again
    watcher = observe(own_server.display)
    assert computer.position() == watcher.pointer() == (20, 30)
    watcher.close()
