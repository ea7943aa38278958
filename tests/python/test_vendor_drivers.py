"""The drivers of ondrel_computer.anthropic, .openai and .gemini, and Computer.execute, fed the SDKs' own objects,
through the test recorder: what each call sends, what each answer says (read back by the SDK's own types), refusals
that send nothing, a batch and a turn that stop at their first failure. Each SDK's tests skip where it is absent."""

import base64
import importlib
import sys

import pytest
from ondrel_computer import ActionFailed, Computer
from test_computer import describe, recorder  # noqa: F401 (a fixture)

SCREEN = (1280, 800)
# Any bytes stand for the screenshot here; the X session tests see real ones.
PNG = b"\x89PNG\r\n\x1a\n stand-in"


def seen(recorder):
    return " ".join(describe(event, SCREEN) for event in recorder.events())


def test_anthropic_toolset_members_and_refusals(recorder):
    pytest.importorskip("anthropic")
    from anthropic.types.beta import BetaToolUseBlock
    from ondrel_computer.anthropic import ComputerToolset

    asked = []

    def confirm(context):
        asked.append(context.member)
        return context.member != "hold_key"

    toolset = ComputerToolset(Computer(screen_size=SCREEN, scale_from=(640, 400)), confirm=confirm,
                              screenshot=lambda: PNG)
    assert "configs" not in toolset.to_dict() or not any(
        entry.get("enabled") is False for entry in toolset.to_dict()["configs"].values())

    def call(name, **given):
        block = BetaToolUseBlock(type="tool_use", id=f"toolu_{name}", name=name, input=given, toolset_name="computer")
        return toolset.tool_result(block)

    results = [
        call("left_click", coordinate=[320, 200], text="shift"),
        call("type", text="ok"),
        call("key", text="ctrl+plus"),
        call("scroll", coordinate=[0, 399], scroll_direction="down", scroll_amount=2),
        call("cursor_position"),
    ]
    assert all(not result.get("is_error") for result in results), results
    assert "X=0,Y=399" in str(results[-1]["content"])
    assert seen(recorder) == ("move 641 401 0xa0/0x2a left down left up ^0xa0/0x2a O/0x18 ^O/0x18 K/0x25 ^K/0x25 "
                              "0xa2/0x1d 0xa0/0x2a 0xbb/0xd ^0xbb/0xd ^0xa0/0x2a ^0xa2/0x1d move 1 799 wheel -240")
    shot = call("screenshot")
    assert shot["content"][0]["source"]["data"] == base64.b64encode(PNG).decode()

    # Refused: a point off the screenshot (never clamped), a wait longer than the longest, a declined confirm.
    refused = [call("left_click", coordinate=[640, 10]), call("wait", duration=61),
               call("hold_key", text="shift", duration=1), call("left_click", coordinate=[1, 2], extra=1)]
    assert [result.get("is_error") for result in refused] == [True] * 4
    texts = [str(result["content"]) for result in refused]
    assert "outside the screenshot (640x400)" in texts[0] and "from 0 to 60" in texts[1]
    assert "did not grant permission" in texts[2] and "`extra` is not a field" in texts[3]
    assert seen(recorder).endswith("wheel -240")
    assert "hold_key" in asked


def test_openai_respond_runs_the_batch_and_stops_at_its_failure(recorder):
    pytest.importorskip("openai")
    from ondrel_computer import openai as cu_openai
    from openai.types.responses import ResponseComputerToolCall
    from openai.types.responses.response_input_item import ComputerCallOutput

    computer = Computer(screen_size=SCREEN)

    def computer_call(actions, checks=()):
        return ResponseComputerToolCall.model_validate({
            "type": "computer_call", "id": "cu_1", "call_id": "call_1", "status": "completed",
            "pending_safety_checks": list(checks), "actions": actions})

    output = cu_openai.respond(computer, computer_call([
        {"type": "click", "x": 10, "y": 20, "button": "left", "keys": ["SHIFT"]},
        {"type": "screenshot"},
        {"type": "type", "text": "a"},
    ]), screenshot=lambda: PNG)
    item = ComputerCallOutput.model_validate(output)
    assert item.call_id == "call_1" and item.output.image_url == "data:image/png;base64," + base64.b64encode(PNG).decode()
    assert seen(recorder) == "move 10 20 0xa0/0x2a left down left up ^0xa0/0x2a A/0x1e ^A/0x1e"

    with pytest.raises(ActionFailed) as failed:
        cu_openai.respond(computer, computer_call([{"type": "type", "text": "b"},
                                                   {"type": "click", "x": 5000, "y": 1, "button": "left"},
                                                   {"type": "type", "text": "never"}]), screenshot=lambda: PNG)
    assert isinstance(failed.value, RuntimeError) and failed.value.index == 1
    assert "outside the screen" in failed.value.error
    ComputerCallOutput.model_validate(failed.value.output)
    assert seen(recorder).endswith("B/0x30 ^B/0x30")

    check = {"id": "sc_1", "code": "malicious_instructions", "message": "look twice"}
    held = computer_call([{"type": "type", "text": "c"}], [check])
    with pytest.raises(cu_openai.SafetyChecksPending):
        cu_openai.respond(computer, held, screenshot=lambda: PNG)
    assert computer.execute(held)["success"] is False
    assert seen(recorder).endswith("B/0x30 ^B/0x30")
    output = cu_openai.respond(computer, held, acknowledged_safety_checks=[check], screenshot=lambda: PNG)
    assert ComputerCallOutput.model_validate(output).acknowledged_safety_checks[0].id == "sc_1"
    assert seen(recorder).endswith("C/0x2e ^C/0x2e")


def test_gemini_respond_keeps_the_reference_defaults_and_asks_first(recorder):
    pytest.importorskip("google.genai")
    from google.genai import types
    from ondrel_computer import gemini as cu_gemini

    computer = Computer(screen_size=SCREEN)
    respond = lambda call, **kw: cu_gemini.respond(computer, call, screenshot=lambda: PNG, **kw)  # noqa: E731

    filled = respond(types.FunctionCall(id="f1", name="type_text_at", args={"x": 0, "y": 0, "text": "x"}))
    assert isinstance(filled, types.FunctionResponse) and filled.response == {"success": True}
    assert filled.id == "f1" and filled.parts[0].inline_data.data == PNG
    types.Content(role="user", parts=[types.Part(function_response=filled)])
    # Clicked, cleared (ctrl+a, BackSpace), typed: no Enter.
    assert seen(recorder) == ("move 0 0 left down left up 0xa2/0x1d A/0x1e ^A/0x1e ^0xa2/0x1d 0x08/0xe ^0x08/0xe "
                              "X/0x2d ^X/0x2d")

    calls = [types.FunctionCall(name="press_key", args={"key": "equals", "intent": "zoom"}),
             types.FunctionCall(name="take_screenshot", args={}),
             types.FunctionCall(name="navigate", args={"url": "https://example.com"})]
    answers = [respond(call).response for call in calls]
    assert answers == [{"success": True}, {"success": True},
                       {"error": "`navigate` is a browser function, not available on a desktop"}]

    risky = types.FunctionCall(name="type", args={"text": "y", "safety_decision": {
        "decision": "require_confirmation", "explanation": "it buys something"}})
    with pytest.raises(cu_gemini.ConfirmationRequired) as asked:
        respond(risky)
    assert asked.value.explanation == "it buys something"
    assert seen(recorder).endswith("0xbb/0xd ^0xbb/0xd")
    assert respond(risky, safety_acknowledged=True).response == {"success": True, "safety_acknowledgement": "true"}
    assert seen(recorder).endswith("Y/0x15 ^Y/0x15")


def test_execute_takes_sdk_objects_and_whole_turns(recorder):
    computer = Computer(screen_size=SCREEN)
    turn = [{"type": "tool_use", "id": "t1", "name": "type", "input": {"text": "a"}, "toolset_name": "computer"},
            {"type": "computer_call", "call_id": "c1", "actions": [{"type": "type", "text": "b"},
                                                                   {"type": "move", "x": -1, "y": 0}]},
            {"name": "type", "args": {"text": "never"}}]
    replies = computer.execute(turn)
    assert [reply["success"] for reply in replies] == [True, False, False]
    assert replies[1]["error"].startswith("action 1 of the computer_call failed (`actions[1]`)")
    assert replies[2]["error"] == "not executed: call 1 of the turn failed, and the later calls were not run"
    assert seen(recorder) == "A/0x1e ^A/0x1e B/0x30 ^B/0x30"
    # A call that is not one raises before anything of the turn is sent.
    with pytest.raises(TypeError):
        computer.execute([{"name": "type", "args": {"text": "c"}}, 5])
    assert seen(recorder) == "A/0x1e ^A/0x1e B/0x30 ^B/0x30"


def test_execute_takes_the_sdks_own_objects(recorder):
    pytest.importorskip("openai")
    from openai.types.responses import computer_action, response_computer_tool_call

    computer = Computer(screen_size=SCREEN)
    single = response_computer_tool_call.ActionClick(type="click", x=1, y=1, button="right")
    batched = computer_action.Keypress(type="keypress", keys=["ESC"])
    assert [computer.execute(single), computer.execute(batched)] == [{"success": True}] * 2
    assert seen(recorder) == "move 1 1 right down right up 0x1b/0x1 ^0x1b/0x1"


@pytest.mark.parametrize("driver, sdk", [("anthropic", "anthropic"), ("openai", "openai"), ("gemini", "google.genai")])
def test_a_driver_without_its_sdk_names_the_extra(monkeypatch, driver, sdk):
    monkeypatch.setitem(sys.modules, sdk, None)  # as if not installed
    monkeypatch.delitem(sys.modules, f"ondrel_computer.{driver}", raising=False)
    with pytest.raises(ImportError, match=rf"pip install 'ondrel\[{driver}\]'"):
        importlib.import_module(f"ondrel_computer.{driver}")
