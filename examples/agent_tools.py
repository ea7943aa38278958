"""Tool definitions for model APIs, shipped with ondrel, and a scripted agent session.

The definitions come with the package (agent-tools.json beside the action schema, in ondrel-stubs): one tool for
every action, or one tool per action (--per-action), each also in a strict variant for structured-output modes
(--strict), as OpenAI-style functions (parameters) and Anthropic-style tools (input_schema). The session needs no
network: its tool calls were written down in advance, the way models' answers carry them, in every shape: calls of
the one tool, calls of per-action tools (the program adds "action"), a strict call full of nulls, and wrong calls
whose error text goes back to the model, which then corrects them. Each call runs through AgentHID. By default the
module's test recorder is started before any device exists and the example prints what each call would have
injected: nothing reaches this desktop. With --live the calls type, click and move the pointer for real, in
whatever window has the focus.

    python examples/agent_tools.py [--per-action] [--strict] [--print-tools] [--live]
"""

import json
import os
import sys
from importlib.resources import files
from typing import NamedTuple

import ondrel

# The embeddable Windows CPython leaves the script's folder off sys.path; the shared helper lives there.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recording import JsonObject, argument_parser, start_recorder

ONE_TOOL_NAME = "computer_input"


def load_tool_definitions() -> JsonObject:
    """Every tool list, by API shape ("function", "input_schema") and variant ("one_tool", "per_action", and
    both with "_strict"), as installed with the package next to its typing stubs."""
    text = files("ondrel-stubs").joinpath("agent-tools.json").read_text(encoding="utf-8")
    definitions: JsonObject = json.loads(text)
    return definitions


class ToolCall(NamedTuple):
    """One tool call as a model's answer carries it: a function call's arguments are a JSON text, a tool-use
    block's an object."""
    call_id: str
    tool: str
    arguments: str | JsonObject


def action_of(tool: str, arguments: JsonObject) -> JsonObject:
    """The action a call asks for: the one tool's arguments are the action; a per-action tool is named after the
    action and its arguments are that action's fields."""
    return arguments if tool == ONE_TOOL_NAME else {**arguments, "action": tool}


def run_call(agent: ondrel.AgentHID, call: ToolCall) -> JsonObject:
    """Runs one tool call and returns the message that gives its result back to the model."""
    if isinstance(call.arguments, str):
        if call.tool == ONE_TOOL_NAME:
            result_text = agent.execute_json(call.arguments)  # the text is the action, in either shape
        else:
            try:
                result_text = json.dumps(agent.execute(action_of(call.tool, json.loads(call.arguments))))
            except json.JSONDecodeError as error:
                result_text = json.dumps({"success": False, "error": f"Invalid JSON: {error}"})
        return {"role": "tool", "tool_call_id": call.call_id, "content": result_text}
    result = agent.execute(action_of(call.tool, call.arguments))
    return {"type": "tool_result", "tool_use_id": call.call_id, "content": json.dumps(result),
            "is_error": not result["success"]}


def strict_nulls(**fields: object) -> JsonObject:
    """A strict-mode call of the one tool: every property present, null where the action has nothing to say."""
    strict_tool: JsonObject = load_tool_definitions()["input_schema"]["one_tool_strict"][0]
    return {name: fields.get(name) for name in strict_tool["input_schema"]["properties"]}


# What the models answered, in order. call_ ids are function calls, toolu_ ids tool-use blocks.
SCRIPTED_CALLS = [
    ToolCall("call_1", ONE_TOOL_NAME, '{"action": "mouse_move", "x": 240, "y": -80}'),
    ToolCall("toolu_2", ONE_TOOL_NAME, {"action": "mouse_click"}),
    ToolCall("toolu_3", ONE_TOOL_NAME, {"action": "type", "text": "hello from an agent"}),
    ToolCall("toolu_4", ONE_TOOL_NAME, {"action": "key_combo", "modifiers": ["ctrl"], "key": "Return key"}),  # no key
    ToolCall("toolu_5", ONE_TOOL_NAME, {"action": "key_combo", "modifiers": ["ctrl"], "key": "enter"}),  # corrected
    ToolCall("call_6", ONE_TOOL_NAME, '{"action": "mouse_scroll", "delta": 300}'),  # beyond -128..127
    ToolCall("call_7", ONE_TOOL_NAME, '{"action": "mouse_scroll", "delta": -3}'),  # corrected
    # A strict model fills in every field of the one tool, the unused ones as null.
    ToolCall("call_8", ONE_TOOL_NAME, json.dumps(strict_nulls(action="key_press", key="tab"))),
    ToolCall("toolu_9", ONE_TOOL_NAME, strict_nulls(action="mouse_click", button="right")),
    # Per-action tools: the tool's name is the action.
    ToolCall("call_10", "mouse_move", '{"x": 12.5, "y": 0}'),  # not an integer
    ToolCall("call_11", "mouse_move", '{"x": 12, "y": 0}'),  # corrected
    ToolCall("toolu_12", "key_down", {"key": "shift"}),  # a modifier is not a key name
    ToolCall("toolu_13", "key_down", {"key": "down"}),  # holds the arrow key down...
    ToolCall("toolu_14", "key_up", {"key": "down"}),  # ...until it is let go
    ToolCall("call_15", "mouse_double_click", '{"button": null}'),  # strict per-action: null is the left button
]


def show_tools(definitions: JsonObject, variant: str, in_full: bool) -> None:
    for shape in ("function", "input_schema"):
        tools: list[JsonObject] = definitions[shape][variant]
        text = json.dumps(tools, indent=2 if in_full else None)
        names = [tool["function"]["name"] if shape == "function" else tool["name"] for tool in tools]
        print(text if in_full else f"{variant} as {shape}: {len(tools)} tool(s) ({', '.join(names)}), "
              f"{len(text)} bytes of JSON")


def main() -> None:
    parser = argument_parser(__doc__.split("\n\n")[0])
    parser.add_argument("--per-action", action="store_true", help="offer one tool per action instead of one tool")
    parser.add_argument("--strict", action="store_true", help="the variant for strict structured-output modes")
    parser.add_argument("--print-tools", action="store_true", help="print the tool definitions in full")
    options = parser.parse_args()

    variant = ("per_action" if options.per_action else "one_tool") + ("_strict" if options.strict else "")
    show_tools(load_tool_definitions(), variant, options.print_tools)

    recorder = start_recorder(options.live)
    agent = ondrel.AgentHID()  # after the recorder, so that its devices are created under it
    for call in SCRIPTED_CALLS:
        shown = call.arguments if isinstance(call.arguments, str) else json.dumps(call.arguments)
        print(f"\n{call.call_id} {call.tool}: {shown}")
        print(f"  back to the model: {json.dumps(run_call(agent, call))}")
        if recorder is not None:
            recorder.show_new_events()


if __name__ == "__main__":
    main()
