"""AgentHID: actions as dicts and JSON texts, results, and the input they produce."""

import json

import ondrel
import pytest

PLATFORM = "Platform not supported: Windows gamepad requires ViGEmBus driver"
LEFT_DOWN, LEFT_UP, RIGHT_DOWN, RIGHT_UP = 0x02, 0x04, 0x08, 0x10
VK_LCONTROL, VK_C, KEY_UP = 0xA2, 0x43, 0x02


@pytest.fixture
def agent(recorder):
    return ondrel.AgentHID()


def flags(recorder):
    return [e["dwFlags"] for e in recorder.events() if e["type"] == "mouse"]


def keys(recorder):
    return [(e["wVk"], e["dwFlags"]) for e in recorder.events() if e["type"] == "keyboard"]


def test_class_frame():
    assert ondrel.AgentHID.__text_signature__ == "()"
    assert ondrel.AgentHID.execute.__doc__ == "Execute an action from dict/JSON"
    assert ondrel.AgentHID.execute.__text_signature__ == "($self, action)"
    assert ondrel.AgentHID.execute_json.__doc__ == "Execute action from JSON string"
    assert ondrel.AgentHID.execute_json.__text_signature__ == "($self, json)"
    with pytest.raises(TypeError) as info:
        ondrel.AgentHID(1)
    assert str(info.value) == "AgentHID.__new__() takes 0 positional arguments but 1 was given"


def test_success_shapes(agent, recorder):
    assert agent.execute({"action": "mouse_move", "x": 10, "y": 5}) == {"success": True}
    assert agent.execute_json('{"action":"mouse_move","x":10,"y":5}') == '{"success":true,"error":null}'
    assert [(e["dx"], e["dy"]) for e in recorder.events()] == [(10, 5), (10, 5)]


@pytest.mark.parametrize(
    "action, error",
    [
        ({}, "Invalid JSON: missing field `action` at line 1 column 2"),
        ({"action": "mouse_move", "x": 10.0, "y": 5}, "Invalid JSON: invalid type: floating point `10.0`, expected i32"),
        # json.dumps writes '{"action": "jump"}': the tag ends at byte 17
        ({"action": "jump"}, "Invalid JSON: unknown variant `jump`, expected one of `mouse_move`, `mouse_click`, "
         "`mouse_double_click`, `mouse_down`, `mouse_up`, `mouse_scroll`, `type`, `key_press`, `key_down`, "
         "`key_up`, `key_combo`, `gamepad_press`, `gamepad_release`, `gamepad_left_stick`, "
         "`gamepad_right_stick`, `gamepad_triggers` at line 1 column 17"),
        ({"action": "key_press", "key": "nosuchkey"}, "Invalid key: nosuchkey"),
        ({"action": "gamepad_press", "button": "nosuch"}, PLATFORM),
        ({"action": "gamepad_triggers", "left": 1, "right": 2}, PLATFORM),
    ],
)
def test_failures_are_results(agent, action, error):
    assert agent.execute(action) == {"success": False, "error": error}


@pytest.mark.parametrize(
    "text, expected",
    [
        ("", '{"success":false,"error":"Invalid JSON: EOF while parsing a value at line 1 column 0"}'),
        ('"x"', '{"success":false,"error":"Invalid JSON: invalid type: string \\"x\\", expected internally tagged '
                'enum AgentAction at line 1 column 3"}'),
        ('["key_press", "a"]', '{"success":true,"error":null}'),
        ('{"action":"jump"}', '{"success":false,"error":"Invalid JSON: unknown variant `jump`, expected one of '
         '`mouse_move`, `mouse_click`, `mouse_double_click`, `mouse_down`, `mouse_up`, `mouse_scroll`, `type`, '
         '`key_press`, `key_down`, `key_up`, `key_combo`, `gamepad_press`, `gamepad_release`, '
         '`gamepad_left_stick`, `gamepad_right_stick`, `gamepad_triggers` at line 1 column 16"}'),
        ('{"action":"key_press","key":"a\\u0001\\"\\\\/\u00e9"}',
         '{"success":false,"error":"Invalid key: a\\u0001\\"\\\\/\u00e9"}'),
    ],
)
def test_execute_json_texts(agent, text, expected):
    assert agent.execute_json(text) == expected


def test_every_gamepad_action_fails_every_time(agent, recorder):
    for action in (["gamepad_press", "a"], ["gamepad_release", "zzz"], ["gamepad_left_stick", 1, 2],
                   ["gamepad_right_stick", 1, 2], ["gamepad_triggers", 1, 2]) * 2:
        result = json.loads(agent.execute_json(json.dumps(action)))
        assert result == {"success": False, "error": PLATFORM}
    assert recorder.events() == []


@pytest.mark.parametrize(
    "button, expected",
    [(None, [LEFT_DOWN, LEFT_UP]), ("Right", [LEFT_DOWN, LEFT_UP]), ("right", [RIGHT_DOWN, RIGHT_UP])],
)
def test_action_button_names_are_exact(agent, recorder, button, expected):
    action = {"action": "mouse_click"} if button is None else {"action": "mouse_click", "button": button}
    assert agent.execute(action) == {"success": True}
    assert flags(recorder) == expected


def test_drag_holds_the_button(agent, recorder):
    agent.execute({"action": "mouse_down"})
    agent.execute({"action": "mouse_move", "x": 300, "y": 0})
    agent.execute({"action": "mouse_up"})
    assert [(e["dwFlags"], e["dx"]) for e in recorder.events()] == [
        (LEFT_DOWN, 0), (0x01, 100), (0x01, 100), (0x01, 100), (LEFT_UP, 0)]


def test_key_combo_drops_unknown_modifiers(agent, recorder):
    assert agent.execute({"action": "key_combo", "modifiers": ["Ctrl", "hyper"], "key": "C"}) == {"success": True}
    control_down, control_up = (VK_LCONTROL, 0), (VK_LCONTROL, KEY_UP)
    assert keys(recorder) == [control_down, control_up, control_down, (VK_C, 0), (VK_C, KEY_UP), control_up,
                              control_down, control_up]


def test_invalid_key_sends_nothing(agent, recorder):
    assert agent.execute({"action": "key_press", "key": "nosuchkey"})["error"] == "Invalid key: nosuchkey"
    assert recorder.events() == []


def test_failed_send_is_a_result_and_next_action_works(agent, recorder):
    recorder.fail_call(1)
    assert agent.execute({"action": "mouse_scroll", "delta": 1}) == {
        "success": False, "error": "Failed to send report: SendInput failed"}
    assert agent.execute({"action": "mouse_scroll", "delta": 2}) == {"success": True}


def test_without_user32_actions_fail_honestly(detached_recorder):
    agent = ondrel.AgentHID()
    assert agent.execute({"action": "type", "text": "a"}) == {
        "success": False, "error": "Failed to send report: SendInput failed"}


@pytest.mark.parametrize(
    "call, exc_type, message",
    [
        (lambda a: a.execute("{\"action\": \"mouse_click\"}"), TypeError,
         "argument 'action': 'str' object cannot be converted to 'PyDict'"),
        (lambda a: a.execute([]), TypeError, "argument 'action': 'list' object cannot be converted to 'PyDict'"),
        (lambda a: a.execute_json({}), TypeError, "argument 'json': 'dict' object cannot be converted to 'PyString'"),
        (lambda a: a.execute(), TypeError, "AgentHID.execute() missing 1 required positional argument: 'action'"),
    ],
)
def test_argument_errors_raise(agent, recorder, call, exc_type, message):
    with pytest.raises(exc_type) as info:
        call(agent)
    assert str(info.value) == message
    assert recorder.events() == []


@pytest.mark.parametrize("value", [{1, 2}, b"x", float("nan")])
def test_json_failures_propagate(agent, recorder, value):
    action = {"action": "type", "text": value}
    if isinstance(value, float):
        assert agent.execute(action)["success"] is False  # json.dumps writes NaN, which is not JSON
        return
    with pytest.raises(TypeError):
        agent.execute(action)
    assert recorder.events() == []


def test_circular_reference_propagates(agent):
    action = {"action": "type"}
    action["text"] = action
    with pytest.raises(ValueError):
        agent.execute(action)


def test_dict_subclass_is_accepted(agent, recorder):
    class Action(dict):
        pass

    assert agent.execute(Action(action="mouse_scroll", delta=-1)) == {"success": True}


def test_reentrant_call_is_refused_and_outer_call_completes(agent, recorder, monkeypatch):
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
    assert [e["mouseData"] for e in recorder.events()] == [240]
    monkeypatch.undo()
    assert agent.execute({"action": "mouse_scroll", "delta": 1}) == {"success": True}


def test_dumps_returning_non_str_is_a_type_error(agent, monkeypatch):
    monkeypatch.setattr(json, "dumps", lambda obj: 5)
    with pytest.raises(TypeError):
        agent.execute({"action": "mouse_scroll", "delta": 1})
