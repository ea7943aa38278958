"""AgentHID: actions as dicts and JSON texts, their results, and the input they produce."""

import json

import ondrel
import pytest
from conftest import NO_GAMEPAD

TAGS = ("`mouse_move`, `mouse_click`, `mouse_double_click`, `mouse_down`, `mouse_up`, `mouse_scroll`, `type`, "
        "`key_press`, `key_down`, `key_up`, `key_combo`, `gamepad_press`, `gamepad_release`, `gamepad_left_stick`, "
        "`gamepad_right_stick`, `gamepad_triggers`")
GAMEPAD_ACTIONS = [{"action": "gamepad_press", "button": "a"}, {"action": "gamepad_release", "button": "zzz"},
                   {"action": "gamepad_left_stick", "x": 1, "y": 2}, {"action": "gamepad_right_stick", "x": 1, "y": 2},
                   {"action": "gamepad_triggers", "left": 1, "right": 2}]


class Action(dict):
    pass


def run(agent, action):
    """(success, error) of `action`: through `execute` for a dict, `execute_json` for a text, checking each
    method's form of the result on the way."""
    if isinstance(action, dict):
        result = agent.execute(action)
        assert list(result) == (["success"] if result["success"] else ["success", "error"])
        return result["success"], result.get("error")
    text = agent.execute_json(action)
    result = json.loads(text)
    assert text == json.dumps(result, separators=(",", ":"), ensure_ascii=False)  # compact, escaped as JSON does
    assert list(result) == ["success", "error"]
    return result["success"], result["error"]


@pytest.mark.parametrize("actions, error, expected", [
    ([{"action": "mouse_move", "x": 10, "y": 5}, '{"action":"mouse_move","x":10,"y":5}'], None, ["move 10 5"] * 2),
    (['["key_press", "a"]'], None, ["0x41 down", "0x41 up"]),
    ([Action(action="mouse_scroll", delta=-1)], None, ["wheel -120"]),
    # The action path's own button names: exactly "right" and "middle", anything else is left.
    ([{"action": "mouse_click"}, {"action": "mouse_click", "button": "Right"}], None, ["left down", "left up"] * 2),
    (['{"action":"mouse_click","button":"right"}'], None, ["right down", "right up"]),
    # A drag: the button stays down through every move report.
    ([{"action": "mouse_down"}, {"action": "mouse_move", "x": 300, "y": 0}, '["mouse_up", null]'], None,
     ["left down", "move 100 0", "move 100 0", "move 100 0", "left up"]),
    ([{"action": "key_combo", "modifiers": ["Ctrl", "hyper"], "key": "C"}], None,
     ["0xa2 down", "0x43 down", "0x43 up", "0xa2 up"]),
    # A key put down stays down through other keys until it is let go.
    ([{"action": "key_down", "key": "a"}, '["key_press", "b"]', {"action": "key_up", "key": "a"}], None,
     ["0x41 down", "0x42 down", "0x42 up", "0x41 up"]),
    ([{}], "Invalid JSON: missing field `action` at line 1 column 2", []),
    ([{"action": "mouse_move", "x": 10.0, "y": 5}], "Invalid JSON: invalid type: floating point `10.0`, expected i32",
     []),
    ([""], "Invalid JSON: EOF while parsing a value at line 1 column 0", []),
    ([{"action": "jump"}], f"Invalid JSON: unknown variant `jump`, expected one of {TAGS} at line 1 column 17", []),
    (['{"action":"jump"}'], f"Invalid JSON: unknown variant `jump`, expected one of {TAGS} at line 1 column 16", []),
    ([{"action": "key_press", "key": "nosuchkey"}, '{"action":"key_combo","modifiers":["ctrl"],"key":"nosuchkey"}'],
     "Invalid key: nosuchkey", []),
    (['{"action":"key_press","key":"a\\u0001\\"\\\\/\u00e9\\u007f"}'], 'Invalid key: a\x01"\\/\u00e9\x7f', []),
    # Every gamepad action fails every time, through both methods.
    (GAMEPAD_ACTIONS * 2 + [json.dumps(list(action.values())) for action in GAMEPAD_ACTIONS] * 2, NO_GAMEPAD, []),
])
def test_actions(agent, recorder, actions, error, expected):
    for action in actions:
        assert run(agent, action) == (error is None, error)
    assert recorder.seen() == expected


def test_execute_json_result_texts(agent):
    assert agent.execute_json('["mouse_scroll", 1]') == '{"success":true,"error":null}'
    assert agent.execute_json('"x"') == ('{"success":false,"error":"Invalid JSON: invalid type: string \\"x\\", '
                                         'expected internally tagged enum AgentAction at line 1 column 3"}')


def test_failed_send_is_a_result_and_the_next_action_works(agent, recorder):
    recorder.fail_call(1)
    assert run(agent, {"action": "mouse_scroll", "delta": 1}) == (False, "Failed to send report: SendInput failed")
    assert run(agent, {"action": "mouse_scroll", "delta": 2}) == (True, None)


@pytest.mark.parametrize("value, exc_type", [({1, 2}, TypeError), (b"x", TypeError), ("circular", ValueError)])
def test_json_failures_propagate(agent, recorder, value, exc_type):
    action = {"action": "type"}
    action["text"] = action if value == "circular" else value
    with pytest.raises(exc_type):
        agent.execute(action)
    assert recorder.events() == []


def test_what_json_dumps_returns_is_what_runs(agent, monkeypatch):
    assert run(agent, {"action": "type", "text": float("nan")})[0] is False  # json.dumps writes NaN
    monkeypatch.setattr(json, "dumps", lambda obj: 5)
    with pytest.raises(TypeError):
        agent.execute({"action": "mouse_scroll", "delta": 1})


def test_reentrant_call_is_refused_and_the_outer_call_completes(agent, recorder, monkeypatch):
    inner_errors = []
    real_dumps = json.dumps

    def reentrant_dumps(obj):
        try:
            agent.execute({"action": "mouse_scroll", "delta": 1})
        except RuntimeError as error:
            inner_errors.append(str(error))
        return real_dumps(obj)

    monkeypatch.setattr(json, "dumps", reentrant_dumps)
    assert agent.execute({"action": "mouse_scroll", "delta": 2}) == {"success": True}
    assert inner_errors == ["Already borrowed"]
    assert recorder.seen() == ["wheel 240"]
    monkeypatch.undo()
    assert agent.execute({"action": "mouse_scroll", "delta": 1}) == {"success": True}
