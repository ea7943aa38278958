"""A session per vendor through its SDK's own types and ondrel_computer's driver for it, against the Tk form of
tk_session_form.py: the answers are the SDK's own types (or validate as them), and the form ends in the state the
calls asked for. Gemini's type_text_at without press_enter must not submit the form. Each SDK's session skips where
that SDK is absent; the screenshots' content is checked once Computer takes screenshots itself."""

import base64

import pytest
from ondrel_computer import Computer
from test_computer_sessions import SCREEN, TEXT, form  # noqa: F401  (the fixture)

SHOT = (1500, 1000)  # the Anthropic session's screenshots: half the screen
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def screenshot_stand_in():
    """None when the Computer takes its own screenshots, else a stand-in (and the content checks skip)."""
    return None if hasattr(Computer, "screenshot") else (lambda: PNG_SIGNATURE + b" stand-in")


def places_of(form):
    places, reported = form
    return [tuple(places[name]) for name in ["entry", "button", "list", "slider", "trough_end"]], reported


def test_anthropic_toolset_session(form):
    pytest.importorskip("anthropic")
    from anthropic.types.beta import BetaToolUseBlock
    from ondrel_computer.anthropic import ComputerToolset

    (entry, button, rows, slider, trough_end), reported = places_of(form)
    half = lambda point: [point[0] // 2, point[1] // 2]  # noqa: E731
    toolset = ComputerToolset(Computer(scale_from=SHOT), confirm=lambda context: True,
                              screenshot=screenshot_stand_in())
    calls = [
        ("left_click", {"coordinate": half(entry)}),
        ("type", {"text": TEXT}),
        ("left_click", {"coordinate": half(button)}),
        ("scroll", {"coordinate": half(rows), "scroll_direction": "down", "scroll_amount": 3}),
        ("left_click_drag", {"start_coordinate": half(slider), "coordinate": half(trough_end)}),
        ("triple_click", {"coordinate": half(entry)}),
        ("key", {"text": "BackSpace question eacute"}),
        ("left_click", {"coordinate": half(button)}),
        ("cursor_position", {}),
        ("screenshot", {}),
    ]
    results = []
    for number, (name, given) in enumerate(calls):
        block = BetaToolUseBlock(type="tool_use", id=f"toolu_{number}", name=name, input=given,
                                 toolset_name="computer")
        results.append(toolset.tool_result(block))
    assert [result.get("is_error", False) for result in results] == [False] * len(calls), results
    assert f"X={button[0] // 2},Y={button[1] // 2}" in str(results[-2]["content"])
    image = results[-1]["content"][0]
    assert image["type"] == "image"
    if screenshot_stand_in() is None:
        assert base64.b64decode(image["source"]["data"]).startswith(PNG_SIGNATURE)
    first, last = reported(2)
    assert first == {"entry": TEXT, "top": 0, "scale": 0}
    assert last["entry"] == "?é" and last["top"] > 0 and last["scale"] == 100, last


def test_openai_computer_call_session(form):
    pytest.importorskip("openai")
    from ondrel_computer import openai as cu_openai
    from openai.types.responses import ResponseComputerToolCall
    from openai.types.responses.response_input_item import ComputerCallOutput

    (entry, button, rows, slider, trough_end), reported = places_of(form)
    at = lambda point: {"x": point[0], "y": point[1]}  # noqa: E731
    computer = Computer()
    batches = [
        [{"type": "click", "button": "left", **at(entry)}, {"type": "type", "text": TEXT},
         {"type": "click", "button": "left", **at(button)}],
        [{"type": "scroll", **at(rows), "scroll_x": 0, "scroll_y": 360},
         {"type": "drag", "path": [at(slider), at(trough_end)]},
         {"type": "double_click", **at(entry)}, {"type": "keypress", "keys": ["CTRL", "A"]},
         {"type": "keypress", "keys": ["BACKSPACE"]}, {"type": "type", "text": "ok"},
         {"type": "screenshot"}, {"type": "click", "button": "left", **at(button)}],
    ]
    for number, actions in enumerate(batches):
        call = ResponseComputerToolCall.model_validate({
            "type": "computer_call", "id": f"cu_{number}", "call_id": f"call_{number}", "status": "completed",
            "pending_safety_checks": [], "actions": actions})
        output = ComputerCallOutput.model_validate(cu_openai.respond(computer, call, screenshot=screenshot_stand_in()))
        assert output.call_id == f"call_{number}"
        assert output.output.image_url.startswith("data:image/png;base64,")
    first, last = reported(2)
    assert first == {"entry": TEXT, "top": 0, "scale": 0}
    assert last["entry"] == "ok" and last["top"] > 0 and last["scale"] == 100, last


def test_gemini_function_call_session_submits_only_when_asked(form):
    pytest.importorskip("google.genai")
    from google.genai import types
    from ondrel_computer import gemini as cu_gemini

    (entry, button, rows, slider, trough_end), reported = places_of(form)
    grid = lambda point: {"x": point[0] * 1000 // SCREEN[0], "y": point[1] * 1000 // SCREEN[1]}  # noqa: E731
    to = grid(trough_end)
    computer = Computer()
    calls = [
        ("type_text_at", {**grid(entry), "text": TEXT}),  # clears first, and no Enter unasked
        ("click_at", grid(button)),
        ("scroll_at", {**grid(rows), "direction": "down", "magnitude": 200}),
        ("drag_and_drop", {**grid(slider), "destination_x": to["x"], "destination_y": to["y"]}),
        ("click", {**grid(entry), "intent": "the field again"}),
        ("hotkey", {"keys": "control+a"}),
        ("press_key", {"key": "BackSpace"}),
        ("type", {"text": "x"}),
        ("click", grid(button)),
        ("type_text_at", {**grid(entry), "text": "sent", "press_enter": True}),
    ]
    for number, (name, args) in enumerate(calls):
        response = cu_gemini.respond(computer, types.FunctionCall(id=f"f{number}", name=name, args=args),
                                     screenshot=screenshot_stand_in())
        assert response.response == {"success": True} and response.name == name, response.response
        types.Content(role="user", parts=[types.Part(function_response=response)])
        if screenshot_stand_in() is None:
            assert response.parts[0].inline_data.data.startswith(PNG_SIGNATURE)
    first, second, submitted = reported(3)
    assert first == {"entry": TEXT, "top": 0, "scale": 0}
    assert second["entry"] == "x" and second["top"] > 0 and second["scale"] == 100, second
    assert submitted == {"submitted": "sent"}
