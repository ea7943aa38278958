"""What the action schema's descriptions tell a model is what the module does.

Every pause a description states ("hold 10 ms") is found in the text and checked against the recorder's timestamps
(as a lower bound); a pause stated without a check here, or a check for a pause no longer stated, fails. What the
descriptions say is held, skipped, or where the wheel and the pointer go, is run and observed.
"""

import json
import re
from pathlib import Path

import ondrel
import pytest

ROOT = Path(__file__).resolve().parents[2]
SCHEMA = json.loads((ROOT / "schema" / "agent-action.schema.json").read_text(encoding="utf-8"))
VARIANTS = {variant["properties"]["action"]["const"]: variant for variant in SCHEMA["oneOf"]}
LCONTROL, LSHIFT = "0xa2", "0xa0"


def texts(tag):
    """The action's description and those of its fields."""
    variant = VARIANTS[tag]
    fields = [SCHEMA["$defs"][field["$ref"].rsplit("/", 1)[1]] if "$ref" in field else field
              for name, field in variant["properties"].items() if name != "action"]
    return [variant["description"], *(field["description"] for field in fields)]


def stated_pauses(tag):
    return {int(ms) for text in texts(tag) for ms in re.findall(r"\b(\d+) ms\b", text)}


def tap(vk):
    return [f"{vk} down", f"{vk} up"]


# tag: (action, its input events, [(from event, to event, at least ms)]).
PAUSES = {
    "mouse_click": ({"action": "mouse_click"}, ["left down", "left up"], [(0, 1, 10)]),
    "mouse_double_click": ({"action": "mouse_double_click"}, ["left down", "left up"] * 2,
                           [(0, 1, 10), (1, 2, 50), (2, 3, 10), (0, 3, 70)]),
    "type": ({"action": "type", "text": "ab"}, tap("0x41") + tap("0x42"), [(0, 1, 10), (1, 2, 5), (0, 2, 15)]),
    "key_press": ({"action": "key_press", "key": "a"}, tap("0x41"), [(0, 1, 10)]),
    "key_combo": ({"action": "key_combo", "modifiers": ["ctrl"], "key": "c"},
                  [f"{LCONTROL} down", "0x43 down", "0x43 up", f"{LCONTROL} up"], [(1, 2, 10)]),
}


@pytest.mark.parametrize("tag", VARIANTS)
def test_every_stated_pause_lasts_at_least_its_time(agent, recorder, tag):
    action, expected, pauses = PAUSES.get(tag, (None, None, []))
    assert stated_pauses(tag) == {ms for _, _, ms in pauses}, "a stated pause without a check, or the reverse"
    if action is None:
        return
    assert agent.execute(action) == {"success": True}
    assert recorder.seen() == expected
    times = [event["t_ns"] for event in recorder.events()]
    for first, then, ms in pauses:
        assert times[then] - times[first] >= ms * 1_000_000, (first, then, ms)


def gamepad(buttons=0, left=(128, 128), triggers=(0, 0)):
    return [buttons & 0xFF, buttons >> 8, *left, 128, 128, *triggers]


@pytest.mark.parametrize("actions, expected", [
    # key_down holds across later actions, typing included, until key_up: one event each.
    ([{"action": "key_down", "key": "a"}, {"action": "mouse_move", "x": 1, "y": 0}, {"action": "type", "text": "b"},
      {"action": "key_press", "key": "c"}, {"action": "key_up", "key": "A"}],
     ["0x41 down", "move 1 0", *tap("0x42"), *tap("0x43"), "0x41 up"]),
    # A key put down twice needs two key_up; a key that is not held sends nothing.
    ([{"action": "key_down", "key": "a"}, {"action": "key_down", "key": "a"}, {"action": "key_up", "key": "a"}],
     ["0x41 down"]),
    ([{"action": "key_down", "key": "a"}, {"action": "key_down", "key": "a"}, {"action": "key_up", "key": "a"},
      {"action": "key_up", "key": "a"}, {"action": "key_up", "key": "a"}], tap("0x41")),
    # What type skips: carriage return, accented letters, emoji; tab and line feed are keys, capitals take Shift.
    ([{"action": "type", "text": "a\r\u00e9\U0001F600\tB\n"}],
     [*tap("0x41"), *tap("0x09"), f"{LSHIFT} down", *tap("0x42"), f"{LSHIFT} up", *tap("0x0d")]),
    # Wheel notches of 120 (WHEEL_DELTA); a positive one is a turn away from the user.
    ([{"action": "mouse_scroll", "delta": 3}, {"action": "mouse_scroll", "delta": -2}], ["wheel 360", "wheel -240"]),
    # Motion is relative: the same offset twice moves twice; long moves go in steps that add up.
    ([{"action": "mouse_move", "x": 10, "y": -5}] * 2 + [{"action": "mouse_move", "x": 300, "y": 0}],
     ["move 10 -5"] * 2 + ["move 100 0"] * 3),
    # A click lets go of a button that mouse_down held.
    ([{"action": "mouse_down"}, {"action": "mouse_click"}], ["left down", "left up"]),
    # Gamepad buttons, sticks and triggers stay until changed; the left trigger goes first.
    ([{"action": "gamepad_press", "button": "a"}, {"action": "gamepad_left_stick", "x": 0, "y": 255},
      {"action": "gamepad_triggers", "left": 10, "right": 20}, {"action": "gamepad_release", "button": "a"}],
     [gamepad(1), gamepad(1, (0, 255)), gamepad(1, (0, 255), (10, 0)), gamepad(1, (0, 255), (10, 20)),
      gamepad(0, (0, 255), (10, 20))]),
])
def test_what_the_descriptions_say_is_held_skipped_and_where_it_goes(agent, recorder, actions, expected):
    recorder.gamepad(True)
    for action in actions:
        assert agent.execute(action) == {"success": True}, action
    assert recorder.seen() == expected


def test_releasing_the_agent_lets_nothing_go(recorder):
    agent = ondrel.AgentHID()
    for action in ({"action": "key_down", "key": "a"}, {"action": "mouse_down", "button": "right"}):
        assert agent.execute(action) == {"success": True}
    del agent
    assert recorder.seen() == ["0x41 down", "right down"]
