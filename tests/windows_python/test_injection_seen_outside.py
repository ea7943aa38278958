"""Mouse, Keyboard and AgentHID in Windows CPython, injecting for real (test recorder stopped): what another
process's low-level hooks and focused window receive. That process is the observer of tests/wine
(input_observer_process.exe; ONDREL_INPUT_OBSERVER names it). Each operation also runs once with the recorder
started, and the system must have received exactly the events that were recorded (a window sees a modifier by its
generic code, VK_SHIFT for VK_LSHIFT)."""

import ctypes
import json

import ondrel
import pytest

KEYUP, EXTENDED, MOVE = 0x0002, 0x0001, 0x0001
GENERIC_MODIFIERS = {0xA0: 0x10, 0xA1: 0x10, 0xA2: 0x11, 0xA3: 0x11, 0xA4: 0x12, 0xA5: 0x12}
MOUSE_EVENTS = {0x0002: "left down", 0x0004: "left up", 0x0008: "right down", 0x0010: "right up",
                0x0020: "middle down", 0x0040: "middle up"}


def describe_key(virtual_key, flags):
    return f"0x{virtual_key:02x} {'up' if flags & KEYUP else 'down'}{' extended' if flags & EXTENDED else ''}"


def recorded(operation):
    """What `operation` produces, taken by the test recorder: its keys as (virtual key, flags), its button and wheel
    events as the observer names them, and its motion."""
    lib = ctypes.CDLL(ondrel.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    try:
        operation()
        events = json.loads(lib.ondrel_recorder_events())
    finally:
        lib.ondrel_recorder_stop()
    keys = [(e["wVk"], e["dwFlags"]) for e in events if e["type"] == "keyboard"]
    mouse = [e for e in events if e["type"] == "mouse"]
    buttons = [MOUSE_EVENTS.get(e["dwFlags"], f"wheel {e['mouseData']}") for e in mouse if e["dwFlags"] != MOVE]
    return keys, buttons, (sum(e["dx"] for e in mouse), sum(e["dy"] for e in mouse))


def agent(*actions):
    def run():
        controller = ondrel.AgentHID()
        for action in actions:
            result = json.loads(controller.execute_json(action)) if isinstance(action, str) else (
                controller.execute(action))
            assert result["success"], result
    return run


@pytest.mark.parametrize("operation, chars, keys_seen", [
    (lambda: ondrel.Keyboard().type_text("Hi!"), "Hi!", ["0xa0 down", "0x48 down"]),
    (lambda: ondrel.Keyboard().combo(["ctrl"], "c"), "\x03", ["0xa2 down", "0x43 down"]),
    (agent({"action": "key_combo", "modifiers": ["shift"], "key": "right"}), "", ["0xa0 down", "0x27 down extended"]),
    (agent('{"action": "type", "text": "ok"}'), "ok", []),
    (agent('["key_press", "enter"]'), "\r", ["0x0d down"]),
], ids=["type_text", "combo", "agent_shift_right", "agent_type_text", "agent_key_press"])
def test_keys_reach_the_system_as_recorded(observer, operation, chars, keys_seen):
    keys, _, _ = recorded(operation)
    operation()
    seen = observer.report()
    hook_keys = [key.lower() for key in seen["hook_keys"]]
    assert hook_keys == [describe_key(key, flags) for key, flags in keys]
    assert [key.lower() for key in seen["window_keys"]] == [
        describe_key(GENERIC_MODIFIERS.get(key, key), flags) for key, flags in keys]
    assert seen["window_chars"] == chars
    assert [key for key in keys_seen if key in hook_keys] == keys_seen
    assert seen["all_injected"]


@pytest.mark.parametrize("operation, buttons_seen", [
    (lambda: ondrel.Mouse().move_by(40, -30), []),
    (lambda: ondrel.Mouse().click("right"), ["right down", "right up"]),
    (lambda: ondrel.Mouse().double_click(), ["left down", "left up"] * 2),
    (lambda: (mouse := ondrel.Mouse(), mouse.press("middle"), mouse.release("middle")), ["middle down", "middle up"]),
    (lambda: ondrel.Mouse().scroll(-2), ["wheel -240"]),
    (agent({"action": "mouse_move", "x": -25, "y": 15}, '{"action": "mouse_scroll", "delta": 1}'), ["wheel 120"]),
], ids=["move_by", "click", "double_click", "press_release", "scroll", "agent_move_scroll"])
def test_the_mouse_reaches_the_system_as_recorded(observer, operation, buttons_seen):
    _, buttons, motion = recorded(operation)
    assert buttons == buttons_seen
    operation()
    seen = observer.report()
    assert [event for event in seen["hook_mouse"] if event != "move"] == buttons
    assert seen["window_mouse"] == buttons
    end = seen["hook_points"][-1] if seen["hook_points"] else observer.centre
    assert (end[0] - observer.centre[0], end[1] - observer.centre[1]) == motion
    assert seen["all_injected"]
