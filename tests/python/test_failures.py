"""A failed call leaves nothing behind: with each INPUT record of an operation refused in turn, the system is left
holding nothing and the next call injects exactly its own events; Ctrl-C stops a long call the same way."""

import json
import os
import signal
import subprocess
import sys
import textwrap
import time

import ondrel
import pytest
from conftest import describe

SEND_FAILED = "Failed to send report: SendInput failed"


def held_after(seen):
    """What the records leave held (keys and buttons), checking that nothing goes down twice or up unheld."""
    held = set()
    for event in seen:
        if event.startswith(("move", "wheel")):
            continue
        key, direction = event.split()[:2]
        assert (key in held) == (direction == "up"), f"{event} in {seen}"
        (held.discard if direction == "up" else held.add)(key)
    return held


def agent_call(action):
    def run(agent):
        result = agent.execute(action)
        if not result["success"]:
            raise RuntimeError(result["error"])
    return run


# Each operation on a device that holds nothing, and a call that follows it.
OPERATIONS = [
    (ondrel.Keyboard, lambda k: k.press("a")),
    (ondrel.Keyboard, lambda k: k.combo(["ctrl", "shift"], "c")),
    (ondrel.Keyboard, lambda k: k.type_text("Ab!")),
    (ondrel.Mouse, lambda m: m.click("right")),
    (ondrel.Mouse, lambda m: m.double_click()),
    (ondrel.Mouse, lambda m: m.move_by(300, -2)),
    (ondrel.Mouse, lambda m: m.scroll(-3)),
    (ondrel.Mouse, lambda m: m.press("middle")),
    (ondrel.AgentHID, agent_call({"action": "key_combo", "modifiers": ["alt"], "key": "tab"})),
    (ondrel.AgentHID, agent_call({"action": "key_down", "key": "x"})),
    (ondrel.AgentHID, agent_call({"action": "mouse_click", "button": "right"})),
]
NEXT_CALL = {
    ondrel.Keyboard: lambda k: k.type_text("hi"),
    ondrel.Mouse: lambda m: m.click(),
    ondrel.AgentHID: lambda a: (agent_call({"action": "type", "text": "hi"})(a),
                                agent_call({"action": "mouse_click"})(a)),
}


def records_of(recorder, make, call):
    recorder.start()
    call(make())
    return recorder.seen()


@pytest.mark.parametrize("make, operation", OPERATIONS)
def test_each_refused_record_leaves_nothing_held_and_the_next_call_exact(recorder, make, operation):
    expected_next = records_of(recorder, make, NEXT_CALL[make])
    for failing in range(1, len(records_of(recorder, make, operation)) + 1):
        device = make()
        recorder.start()
        recorder.fail_call(failing)
        with pytest.raises(RuntimeError) as info:
            operation(device)
        assert str(info.value) == SEND_FAILED
        assert held_after(recorder.seen()) == set(), f"record {failing} refused"
        recorder.start()
        NEXT_CALL[make](device)
        assert recorder.seen() == expected_next, f"record {failing} refused"


def test_a_key_down_retried_after_a_refusal_is_let_go_by_one_key_up(recorder, agent):
    recorder.fail_call(1)
    assert agent.execute({"action": "key_down", "key": "a"}) == {"success": False, "error": SEND_FAILED}
    for action in ("key_down", "key_up"):
        assert agent.execute({"action": action, "key": "a"}) == {"success": True}
    assert recorder.seen() == ["0x41 down", "0x41 up"]


def test_refused_presses_take_no_slot(recorder, keyboard):
    for key in "abcdefg":
        recorder.fail_call(1)
        with pytest.raises(RuntimeError):
            keyboard.press(key)
    keyboard.press("z")
    assert recorder.seen() == ["0x5a down", "0x5a up"]


# A child process, so that the signal reaches the interpreter's main thread while the call holds the lock.
CHILD = textwrap.dedent("""
    import ctypes, json, sys, ondrel
    lib = ctypes.CDLL(ondrel.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    device = ondrel.Mouse() if sys.argv[1] == "move" else ondrel.Keyboard()
    print("ready", flush=True)
    try:
        device.move_by(2**31 - 1, 0) if sys.argv[1] == "move" else device.type_text("Ab" * 100_000)
    except KeyboardInterrupt:
        events = json.loads(lib.ondrel_recorder_events())
        print(json.dumps(events if sys.argv[1] == "type" else events[-1:]), flush=True)
""")


@pytest.mark.skipif(sys.platform == "win32", reason="sends SIGINT")
@pytest.mark.parametrize("call", ["move", "type"])
def test_ctrl_c_stops_a_long_call_and_takes_back_what_it_pressed(call):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "ONDREL_INPUT")}
    child = subprocess.Popen([sys.executable, "-c", CHILD, call], stdout=subprocess.PIPE, text=True, env=env)
    try:
        assert child.stdout.readline() == "ready\n"
        time.sleep(0.3)
        child.send_signal(signal.SIGINT)
        out, _ = child.communicate(timeout=20)  # the whole call would take minutes
    finally:
        child.kill()
    seen = [describe(event) for event in json.loads(out)]
    assert seen and held_after(seen) == set()
