"""Tool definitions for model APIs, made from ondrel's action schema, and a scripted agent session.

The session needs no network: its tool calls were written down in advance, one of each common format, the way a
model's answers would carry them, including wrong calls whose error text goes back to the model, which then
corrects them. Each call runs through AgentHID. Where no input system takes the events (or with --recorder), the
module's test recorder is attached before any device exists and the recorded input events are counted at the end.

    python examples/agent_tools.py [--recorder] [--print-tools]
"""

import argparse
import collections
import ctypes
import json
from collections.abc import Callable
from importlib.resources import files
from typing import Any

import ondrel

TOOL_NAME = "computer_input"
TOOL_DESCRIPTION = (
    "Operate this computer's virtual mouse, keyboard and gamepad with one input action per call. The result says "
    "whether it worked; on failure its error text says what to fix (an unknown key name, a value out of range, a "
    "missing field). Input goes to whatever window has the focus.")

JsonObject = dict[str, Any]


def load_action_schema() -> JsonObject:
    """The schema installed with the package, next to its typing stubs."""
    text = files("ondrel-stubs").joinpath("agent-action.schema.json").read_text(encoding="utf-8")
    schema: JsonObject = json.loads(text)
    return schema


def tool_parameters(schema: JsonObject) -> JsonObject:
    """The schema as a tool's parameters: without the keywords that identify the document itself."""
    return {key: value for key, value in schema.items() if key not in ("$schema", "$id", "title")}


def function_tool(schema: JsonObject) -> JsonObject:
    """A function with JSON Schema parameters, as in OpenAI-style chat APIs."""
    return {"type": "function",
            "function": {"name": TOOL_NAME, "description": TOOL_DESCRIPTION, "parameters": tool_parameters(schema)}}


def input_schema_tool(schema: JsonObject) -> JsonObject:
    """A tool with an input schema, as in Anthropic-style messages APIs."""
    return {"name": TOOL_NAME, "description": TOOL_DESCRIPTION, "input_schema": tool_parameters(schema)}


# What the models answered, in order. A function call carries its arguments as a JSON text (run with
# execute_json); a tool-use block carries them as an object (run with execute).
SCRIPTED_CALLS: list[tuple[str, str | JsonObject]] = [
    ("function", '{"action": "mouse_move", "x": 240, "y": -80}'),
    ("function", '{"action": "mouse_click"}'),
    ("tool_use", {"action": "type", "text": "hello from an agent"}),
    ("tool_use", {"action": "key_combo", "modifiers": ["ctrl"], "key": "Return key"}),  # not a key name
    ("tool_use", {"action": "key_combo", "modifiers": ["ctrl"], "key": "enter"}),  # corrected
    ("function", '{"action": "mouse_scroll", "delta": 300}'),  # beyond -128..127
    ("function", '{"action": "mouse_scroll", "delta": -3}'),  # corrected
    ("function", '{"action": "mouse_move", "x": 12.5, "y": 0}'),  # not an integer
    ("function", '{"action": "mouse_move", "x": 12, "y": 0}'),  # corrected
]


def run_call(agent: ondrel.AgentHID, call_id: str, kind: str, arguments: str | JsonObject) -> JsonObject:
    """Runs one tool call and returns the message that gives its result back to the model."""
    if isinstance(arguments, str):
        result_text = agent.execute_json(arguments)
        return {"role": "tool", "tool_call_id": call_id, "content": result_text}
    result = agent.execute(arguments)
    return {"type": "tool_result", "tool_use_id": call_id, "content": json.dumps(result),
            "is_error": not result["success"]}


def attach_recorder() -> Callable[[], list[JsonObject]]:
    """Starts the module's test recorder (input events are recorded instead of injected, gamepad reports
    included) and returns a function that reads what it recorded."""
    lib = ctypes.CDLL(ondrel.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_gamepad.argtypes = [ctypes.c_int]
    lib.ondrel_recorder_start()
    lib.ondrel_recorder_gamepad(1)

    def events() -> list[JsonObject]:
        recorded: list[JsonObject] = json.loads(lib.ondrel_recorder_events())
        return recorded

    return events


def real_input_available() -> bool:
    """Whether this system takes the module's input: where none does, creating a device says so."""
    try:
        ondrel.Mouse()
    except RuntimeError as error:
        if str(error).startswith("Platform not supported"):
            return False
        raise
    return True


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--recorder", action="store_true", help="record the input events instead of injecting them")
    parser.add_argument("--print-tools", action="store_true", help="print both tool definitions in full")
    options = parser.parse_args()

    schema = load_action_schema()
    tools = {"function (parameters)": function_tool(schema), "tool (input_schema)": input_schema_tool(schema)}
    for label, tool in tools.items():
        text = json.dumps(tool, indent=2 if options.print_tools else None)
        print(text if options.print_tools else f"{label} tool {TOOL_NAME!r}: {len(text)} bytes of JSON")

    recorded = attach_recorder() if options.recorder or not real_input_available() else None
    agent = ondrel.AgentHID()  # after the recorder, so that its devices are created under it
    for number, (kind, arguments) in enumerate(SCRIPTED_CALLS, 1):
        call_id = f"call_{number}"
        shown = arguments if isinstance(arguments, str) else json.dumps(arguments)
        print(f"\n{call_id} ({kind}): {shown}")
        print(f"  back to the model: {json.dumps(run_call(agent, call_id, kind, arguments))}")

    if recorded is not None:
        counts = collections.Counter(event["type"] for event in recorded())
        print(f"\nno input system took the events; the recorder saw {dict(counts)}")


if __name__ == "__main__":
    main()
