#!/usr/bin/env python3
"""Writes schema/agent-tools.json, the tool definitions for model APIs, from the action schema.

The action schema (schema/agent-action.schema.json) is exact, but its oneOf at the root is refused in a tool's
parameters by the model APIs. The definitions made here say the same with what those APIs take:

- one_tool: one tool for every action, a flat object with an "action" enum and every field of every action as an
  optional property whose description says which actions use it and its range;
- per_action: sixteen tools named after the actions, each with exactly that action's fields (the program adds
  "action" before running a call);
- one_tool_strict, per_action_strict: the same for structured-output (strict) modes: every property required, the
  optional ones nullable, no additional properties, ranges stated in the descriptions only.

Each comes as a list of OpenAI-style functions ("function": parameters) and of Anthropic-style tools
("input_schema"). The test suite regenerates the file and compares, so it never drifts from the schema.

    scripts/generate_agent_tools.py           # rewrite schema/agent-tools.json
    scripts/generate_agent_tools.py --check   # fail if it is out of date
"""

import argparse
import json
import sys
from pathlib import Path
from typing import Any

ROOT = Path(__file__).resolve().parents[1]
SCHEMA_PATH = ROOT / "schema" / "agent-action.schema.json"
TOOLS_PATH = ROOT / "schema" / "agent-tools.json"

TOOL_NAME = "computer_input"
TOOL_DESCRIPTION = (
    "Operate this computer's virtual mouse, keyboard and gamepad with one input action per call. Input goes to "
    "whatever has the focus. The result says whether it worked; on failure its error text says what to fix (an "
    "unknown key name, a value out of range, a missing field).")
# Field keywords that every API takes; strict modes take neither bound, so ranges also stand in the descriptions.
FIELD_KEYWORDS = ("type", "description", "enum", "items", "minimum", "maximum")
STRICT_DROPPED = ("minimum", "maximum")

Schema = dict[str, Any]


def variants(schema: Schema) -> dict[str, Schema]:
    return {variant["properties"]["action"]["const"]: variant for variant in schema["oneOf"]}


def field_schema(schema: Schema, variant: Schema, name: str) -> Schema:
    """The field's own schema, its $ref resolved, with only the keywords every API takes."""
    field = variant["properties"][name]
    if "$ref" in field:
        field = schema["$defs"][field["$ref"].rsplit("/", 1)[1]]
    return {key: value for key, value in field.items() if key in FIELD_KEYWORDS}


def fields(schema: Schema, tag: str) -> list[tuple[str, Schema, bool]]:
    """(name, schema, required) of the action's fields, in the order of the array shape."""
    variant = variants(schema)[tag]
    return [(name, field_schema(schema, variant, name), name in variant["required"])
            for name in variant["properties"] if name != "action"]


def type_list(field: Schema) -> list[str]:
    return field["type"] if isinstance(field["type"], list) else [field["type"]]


def value_text(field: Schema, required: bool, strict: bool) -> str:
    """The field's kind and range in words, for descriptions that must carry them without keywords."""
    kinds = []
    for kind in type_list(field):
        if kind == "integer":
            kinds.append(f"integer {field['minimum']}..{field['maximum']}")
        elif kind == "array":
            kinds.append(f"array of {field['items']['type']}s")
        else:
            kinds.append(kind)
    optional = "" if required or strict else ", optional"
    return " or ".join(kinds) + optional


def described(field: Schema, required: bool, strict: bool) -> Schema:
    return {**field, "description": f"{field['description']} Value: {value_text(field, required, strict)}."}


def one_tool_parameters(schema: Schema, strict: bool) -> Schema:
    tags = list(variants(schema))
    lines = [f"- {tag} ({', '.join(name for name, _, _ in fields(schema, tag)) or 'no fields'}): "
             f"{variants(schema)[tag]['description']}" for tag in tags]
    properties: Schema = {"action": {"type": "string", "enum": tags, "description": "Which action to run; each "
                                     "reads only the fields named with it:\n" + "\n".join(lines)}}
    users: dict[str, list[tuple[str, Schema, bool]]] = {}
    for tag in tags:
        for name, field, required in fields(schema, tag):
            users.setdefault(name, []).append((tag, field, required))
    for name, uses in users.items():
        properties[name] = merged_field(uses, strict)
    return {"type": "object", "properties": properties, "required": ["action"]}


def merged_field(uses: list[tuple[str, Schema, bool]], strict: bool) -> Schema:
    """One property for a field name that several actions use: the union of their types and ranges, and a
    description that says which actions read it and how."""
    kinds: list[str] = []
    for _, field, _ in uses:
        kinds += [kind for kind in type_list(field) if kind not in kinds]
    merged: Schema = {"type": kinds[0] if len(kinds) == 1 else kinds}
    bounded = [field for _, field, _ in uses if "minimum" in field]
    if bounded:
        merged["minimum"] = min(field["minimum"] for field in bounded)
        merged["maximum"] = max(field["maximum"] for field in bounded)
    if any("items" in field for _, field, _ in uses):
        merged["items"] = next(field["items"] for _, field, _ in uses if "items" in field)
    groups: dict[str, list[str]] = {}
    for tag, field, required in uses:
        groups.setdefault(described(field, required, strict)["description"], []).append(tag)
    other = "Null for every other action, which ignores it." if strict else "Every other action ignores it."
    merged["description"] = " ".join([*(f"{', '.join(tags)}: {text}" for text, tags in groups.items()), other])
    return merged


def per_action_parameters(schema: Schema, tag: str, strict: bool) -> Schema:
    action_fields = fields(schema, tag)
    return {"type": "object",
            "properties": {name: described(field, required, strict) for name, field, required in action_fields},
            "required": [name for name, _, required in action_fields if required]}


def strict_parameters(parameters: Schema) -> Schema:
    """Every property required, the optional ones nullable, nothing else allowed, no bounds."""
    properties = {}
    for name, field in parameters["properties"].items():
        field = {key: value for key, value in field.items() if key not in STRICT_DROPPED}
        if name not in parameters["required"] and "null" not in type_list(field):
            field["type"] = [*type_list(field), "null"]
        properties[name] = field
    return {"type": "object", "properties": properties, "required": list(properties), "additionalProperties": False}


def function_tool(name: str, description: str, parameters: Schema, strict: bool) -> Schema:
    function = {"name": name, "description": description, "parameters": parameters}
    return {"type": "function", "function": {**function, "strict": True} if strict else function}


def input_schema_tool(name: str, description: str, parameters: Schema, strict: bool) -> Schema:
    tool = {"name": name, "description": description, "input_schema": parameters}
    return {**tool, "strict": True} if strict else tool


def definitions(schema: Schema) -> Schema:
    """Every tool list, by API shape and variant."""
    tools: dict[str, list[tuple[str, str, Schema, bool]]] = {
        "one_tool": [(TOOL_NAME, TOOL_DESCRIPTION, one_tool_parameters(schema, strict=False), False)],
        "one_tool_strict": [(TOOL_NAME, TOOL_DESCRIPTION, strict_parameters(one_tool_parameters(schema, strict=True)),
                             True)],
        "per_action": [(tag, variant["description"], per_action_parameters(schema, tag, strict=False), False)
                       for tag, variant in variants(schema).items()],
        "per_action_strict": [(tag, variant["description"],
                               strict_parameters(per_action_parameters(schema, tag, strict=True)), True)
                              for tag, variant in variants(schema).items()],
    }
    return {
        "$comment": "Generated by scripts/generate_agent_tools.py from agent-action.schema.json; do not edit.",
        "function": {variant: [function_tool(*tool) for tool in listed] for variant, listed in tools.items()},
        "input_schema": {variant: [input_schema_tool(*tool) for tool in listed] for variant, listed in tools.items()},
    }


def generated_text(schema_text: str) -> str:
    return json.dumps(definitions(json.loads(schema_text)), indent=2) + "\n"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true", help="fail if schema/agent-tools.json is out of date")
    options = parser.parse_args()
    text = generated_text(SCHEMA_PATH.read_text(encoding="utf-8"))
    if options.check:
        if TOOLS_PATH.read_text(encoding="utf-8") != text:
            print(f"{TOOLS_PATH} is out of date: run {Path(__file__).name}", file=sys.stderr)
            return 1
        return 0
    TOOLS_PATH.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
