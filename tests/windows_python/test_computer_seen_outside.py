"""ondrel_computer's Computer in Windows CPython, injecting for real: the observer process (conftest.py) sees the
pointer land on each point asked, the virtual screen's corners included, by its hook and by GetCursorPos; clicks, the
side buttons and both wheels at their points; text in any language arrive as exactly its characters; a chord's keys
go down in order and up in reverse; with Caps Lock on, text still arrives exactly. Keys reach the system as the test
recorder journals them for a US layout, the one Wine gives a new prefix. The calls come from a thread unaware of DPI
while the screen is at 144 DPI (scripts/windows-python-tests sets it), so that only the Computer's own per-monitor
awareness makes them physical pixels; the window sees a modifier by its generic code (VK_SHIFT for VK_LSHIFT), and
Wine's hook marks the up of a Unicode packet as a down (the window gets its WM_KEYUP)."""

import ctypes
import json

import ondrel_computer._native
import pytest
from ondrel_computer import Computer

KEYUP, UNICODE, VK_PACKET = 0x0002, 0x0004, 0xE7
GENERIC = {"0xa0": "0x10", "0xa2": "0x11"}
TEXT = "Grüße, 世界! 😀 @€"


def recorded_keys(operation):
    """The keys `operation(computer)` sends, as the hook names them (a Unicode record arrives as VK_PACKET)."""
    lib = ctypes.CDLL(ondrel_computer._native.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    try:
        operation(Computer())
        events = json.loads(lib.ondrel_recorder_events())
    finally:
        lib.ondrel_recorder_stop()
    return [f"0x{VK_PACKET if e['dwFlags'] & UNICODE else e['wVk']:02x} {'up' if e['dwFlags'] & KEYUP else 'down'}"
            for e in events]


@pytest.fixture
def unaware_thread():
    set_awareness = ctypes.windll.user32.SetThreadDpiAwarenessContext
    set_awareness.restype, set_awareness.argtypes = ctypes.c_void_p, [ctypes.c_void_p]
    previous = set_awareness(-1)  # DPI_AWARENESS_CONTEXT_UNAWARE
    yield
    set_awareness(previous)


def test_points_and_text_arrive_exactly(observer, unaware_thread):
    computer = Computer()
    left, top, width, height = observer.screen
    assert computer.screen_size() == (width, height)
    for x, y in [(0, 0), (width - 1, 0), (width - 1, height - 1), (0, height - 1), (width // 3, height // 7)]:
        computer.move_to(x, y)
        seen = observer.report()
        assert seen["hook_points"][-1:] == [[left + x, top + y]] and seen["cursor"] == [left + x, top + y]
        assert computer.position() == (x, y) and seen["all_injected"]

    clicks = [((17, 23), "left"), ((width - 2, 5), "right"), ((40, height - 3), "back")]
    for (x, y), button in clicks:
        computer.click(x, y, button=button)
    computer.scroll(dx=-1, dy=2, x=width // 2, y=height // 2)
    seen = observer.report()
    assert seen["window_mouse"] == [f"{button} {way}" for _, button in clicks for way in ("down", "up")] + [
        "wheel -240", "hwheel -120"]
    assert seen["window_points"] == [[left + x, top + y] for (x, y), _ in clicks for _ in range(2)] + [
        [left + width // 2, top + height // 2]] * 2
    assert [event for event in seen["hook_mouse"] if event != "move"] == seen["window_mouse"]
    assert computer.position() == (width // 2, height // 2) and seen["cursor"] == [left + width // 2, top + height // 2]

    for operation, chars in [(lambda c: c.write(TEXT), TEXT), (lambda c: c.key("ctrl+shift+t"), "\x14")]:
        keys = recorded_keys(operation)
        operation(computer)
        seen = observer.report()
        assert seen["window_chars"] == chars
        # (A packet's lParam carries its character where a key has its scan code and extended flag.)
        assert [" ".join(key.lower().split()[:2]) for key in seen["window_keys"]] == [
            " ".join([GENERIC.get(key.split()[0], key.split()[0])] + key.split()[1:]) for key in keys]
        assert [key.lower() for key in seen["hook_keys"]] == [key.replace("0xe7 up", "0xe7 down") for key in keys]
        assert seen["all_injected"]
    assert keys == ["0xa2 down", "0xa0 down", "0x54 down", "0x54 up", "0xa0 up", "0xa2 up"]

    computer.key("capslock")  # on: each letter typed by its key takes the other shift state
    try:
        computer.write(TEXT)
        assert observer.report()["window_chars"] == TEXT
    finally:
        computer.key("capslock")
