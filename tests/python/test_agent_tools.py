"""The tool definitions made from the action schema: the model APIs take them, and every call a model can make with
them runs as the action it names.

A call becomes an action the way a program makes it: the arguments of the one tool are the action; the arguments of
a per-action tool get "action": <tool name> added. The exact schema is the reference: an action it accepts decodes
(it may still fail in the device layer), one it refuses is refused by the decoder.
"""

import copy
import importlib.resources
import importlib.util
import json
import re
from pathlib import Path

import ondrel
import pytest

jsonschema = pytest.importorskip("jsonschema")
pytest.importorskip("hypothesis_jsonschema")
from hypothesis import given, settings, strategies as st  # noqa: E402
from hypothesis_jsonschema import from_schema  # noqa: E402
from test_action_schema import (DEVICE_ERRORS, HYPOTHESIS, SCHEMA, VALIDATOR, VARIANTS, field_schema,  # noqa: E402
                                readme_table_examples, wrong_values)

ROOT = Path(__file__).resolve().parents[2]
TOOLS_PATH = ROOT / "schema" / "agent-tools.json"
TOOLS = json.loads(TOOLS_PATH.read_text(encoding="utf-8"))
SHAPES = ("function", "input_schema")
VARIANT_NAMES = ("one_tool", "one_tool_strict", "per_action", "per_action_strict")


def load_generator():
    spec = importlib.util.spec_from_file_location("generate_agent_tools", ROOT / "scripts" / "generate_agent_tools.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def unpacked(shape, tool):
    """(name, parameters, strict) of a tool in either shape."""
    if shape == "function":
        function = tool["function"]
        return function["name"], function["parameters"], function.get("strict", False)
    return tool["name"], tool["input_schema"], tool.get("strict", False)


def tools(variant, shape="input_schema"):
    return [unpacked(shape, tool) for tool in TOOLS[shape][variant]]


def as_action(variant, name, arguments):
    """What a program runs for a call of tool `name` with `arguments`."""
    return arguments if variant.startswith("one_tool") else {**arguments, "action": name}


# ---- The published constraints of the two APIs, as data ----------------------------------------------------------

# Tool names. Anthropic, tool use ("Specifying client tools"), https://docs.anthropic.com/en/docs/agents-and-tools/
# tool-use/implement-tool-use: name must match ^[a-zA-Z0-9_-]{1,64}$; the messages API answers other names with
# "tools.N.custom.name: String should match pattern '^[a-zA-Z0-9_-]{1,64}$'" (quoted in public bug reports, e.g.
# github.com/apify/tester-mcp-client/issues/11; later pages allow 128 characters, the older limit binds more
# deployments). OpenAI API reference, chat completions, tools[].function.name
# https://platform.openai.com/docs/api-reference/chat/create: "Must be a-z, A-Z, 0-9, or contain underscores and
# dashes, with a maximum length of 64."
NAME_PATTERN = {"input_schema": r"[a-zA-Z0-9_-]{1,64}", "function": r"[a-zA-Z0-9_-]{1,64}"}
# The parameters' root. Anthropic: input_schema is a JSON Schema object of type "object" (same page); the messages
# API answers other roots with "input_schema does not support oneOf, allOf, or anyOf at the top level". OpenAI: the
# API answers "schema must have type 'object' and not have 'oneOf'/'anyOf'/'allOf'/'enum'/'not' at the top level".
ROOT_TYPE = "object"
ROOT_REFUSED = {"input_schema": {"oneOf", "allOf", "anyOf"}, "function": {"oneOf", "anyOf", "allOf", "enum", "not"}}
# Strict mode, OpenAI, Structured Outputs, "Supported schemas", https://platform.openai.com/docs/guides/
# structured-outputs#supported-schemas: additionalProperties must be false in every object; every property must be
# in required (optional ones as a union with null); the root may not be anyOf; keywords not supported: minLength,
# maxLength, pattern, format; minimum, maximum, multipleOf; patternProperties, unevaluatedProperties, propertyNames,
# minProperties, maxProperties; unevaluatedItems, contains, minContains, maxContains, minItems, maxItems,
# uniqueItems; allOf, not, dependentRequired, dependentSchemas, if, then, else; at most 5 levels of nesting and 100
# properties in all. (Later versions of the page accept some of these keywords; the older list binds more models.)
# Strict mode, Anthropic, Structured outputs, "JSON Schema limitations", https://platform.claude.com/docs/en/
# build-with-claude/structured-outputs#json-schema-limitations: additionalProperties must be false; not supported:
# minimum, maximum, multipleOf, minLength, maxLength, maxItems, minItems other than 0 or 1, recursive schemas;
# at most 20 strict tools in a request, 24 optional parameters and 16 parameters with anyOf or type arrays across
# all strict schemas of a request.
STRICT_REFUSED = {"minLength", "maxLength", "pattern", "format", "minimum", "maximum", "multipleOf",
                  "patternProperties", "unevaluatedProperties", "propertyNames", "minProperties", "maxProperties",
                  "unevaluatedItems", "contains", "minContains", "maxContains", "minItems", "maxItems", "uniqueItems",
                  "allOf", "not", "dependentRequired", "dependentSchemas", "if", "then", "else", "$ref", "oneOf"}
STRICT_LIMITS = {"depth": 5, "properties": 100, "tools": 20, "optional": 24, "unions": 16}


def nodes(schema, depth=1):
    """(depth, subschema) of every schema inside a parameters object, itself included."""
    yield depth, schema
    for child in schema.get("properties", {}).values():
        yield from nodes(child, depth + 1)
    if isinstance(schema.get("items"), dict):
        yield from nodes(schema["items"], depth + 1)


def broken_rules(shape, name, parameters, strict):
    broken = []
    if not re.fullmatch(NAME_PATTERN[shape], name):
        broken.append(f"name {name!r}")
    if parameters.get("type") != ROOT_TYPE:
        broken.append("root type")
    broken += [f"root {keyword}" for keyword in ROOT_REFUSED[shape] & set(parameters)]
    if strict:
        for depth, node in nodes(parameters):
            broken += [f"strict {keyword}" for keyword in STRICT_REFUSED & set(node)]
            if "object" in ([node["type"]] if isinstance(node.get("type"), str) else node.get("type", [])):
                if node.get("additionalProperties") is not False:
                    broken.append("strict additionalProperties")
                if sorted(node.get("required", [])) != sorted(node.get("properties", {})):
                    broken.append("strict required")
            if depth > STRICT_LIMITS["depth"]:
                broken.append("strict depth")
    return broken


def strict_request_limits(variant):
    listed = tools(variant)
    properties = [field for _, parameters, _ in listed for field in parameters["properties"].values()]
    optional = sum(len(parameters["properties"]) - len(parameters["required"]) for _, parameters, _ in listed)
    unions = sum(isinstance(field.get("type"), list) or "anyOf" in field for field in properties)
    return {"tools": len(listed), "properties": len(properties), "optional": optional, "unions": unions}


@pytest.mark.parametrize("shape", SHAPES)
@pytest.mark.parametrize("variant", VARIANT_NAMES)
def test_every_definition_keeps_the_published_rules(shape, variant):
    listed = [unpacked(shape, tool) for tool in TOOLS[shape][variant]]
    assert [strict for _, _, strict in listed] == [variant.endswith("strict")] * len(listed)
    for name, parameters, strict in listed:
        assert broken_rules(shape, name, parameters, strict) == [], name
    if variant.endswith("strict"):
        for limit, count in strict_request_limits(variant).items():
            assert count <= STRICT_LIMITS[limit], limit


def test_the_rules_refuse_the_exact_schema_as_parameters():
    """What a program would send if it handed over the exact schema: refused by both APIs."""
    for shape in SHAPES:
        assert "root oneOf" in broken_rules(shape, "computer_input", SCHEMA, strict=False)
    assert "strict additionalProperties" in broken_rules("function", "computer_input", SCHEMA, strict=True)


def test_both_shapes_carry_the_same_tools():
    for variant in VARIANT_NAMES:
        assert tools(variant, "function") == tools(variant, "input_schema")
    assert [name for name, _, _ in tools("per_action")] == list(VARIANTS)


def test_the_definitions_are_generated_from_this_schema():
    generator = load_generator()
    schema_text = (ROOT / "schema" / "agent-action.schema.json").read_text(encoding="utf-8")
    assert TOOLS_PATH.read_text(encoding="utf-8") == generator.generated_text(schema_text), (
        "schema/agent-tools.json is out of date: run scripts/generate_agent_tools.py")


def test_the_installed_definitions_are_these():
    try:
        text = importlib.resources.files("ondrel-stubs").joinpath("agent-tools.json").read_text(encoding="utf-8")
    except (ModuleNotFoundError, FileNotFoundError):
        pytest.skip("ondrel is not installed from a wheel here")
    assert json.loads(text) == TOOLS


# ---- Every call a model can make runs as intended -----------------------------------------------------------------

def strict_call(parameters, arguments):
    """The call of a model in strict mode: every property present, null where it has nothing to say."""
    return {name: arguments.get(name) for name in parameters["properties"]}


def calls(variant, intended):
    """The call a model makes in `variant` for the action `intended`: (tool name, arguments)."""
    tag = intended["action"]
    if variant.startswith("one_tool"):
        (name, parameters, strict), = tools(variant)
        arguments = intended
    else:
        name, parameters, strict = next(tool for tool in tools(variant) if tool[0] == tag)
        arguments = {key: value for key, value in intended.items() if key != "action"}
    return name, parameters, strict_call(parameters, arguments) if strict else arguments


def recorded_run(recorder, action):
    """The result and the input events of `action` on a fresh AgentHID, so that what one run holds cannot change
    what the next one sends."""
    recorder.start()
    result = ondrel.AgentHID().execute(action)
    return result, [{**event, "t_ns": 0} for event in recorder.events()]


@pytest.mark.parametrize("variant", VARIANT_NAMES)
def test_calls_in_every_variant_run_as_the_intended_action(recorder, variant):
    """Strict calls full of nulls included: {"action": "key_press", "key": "a", "x": null, "button": null, ...}."""
    recorder.gamepad(True)
    for intended, _ in readme_table_examples():
        name, parameters, arguments = calls(variant, intended)
        jsonschema.Draft202012Validator(parameters).validate(arguments)
        assert recorded_run(recorder, as_action(variant, name, arguments)) == recorded_run(recorder, intended), arguments


def closed(parameters):
    """The parameters without room for members they do not name (generating those is slow and adds nothing: the
    decoder ignores them)."""
    return {**copy.deepcopy(parameters), "additionalProperties": False}


def generated_calls(variant):
    return st.one_of([from_schema(closed(parameters)).map(lambda arguments, name=name: (name, arguments))
                      for name, parameters, _ in tools(variant)])


def outcome_matches_the_exact_schema(agent, recorder, action):
    recorder.fail_call(1)
    error = json.loads(agent.execute_json(json.dumps(action)))["error"]
    if VALIDATOR.is_valid(action):
        assert error is None or error.startswith(DEVICE_ERRORS), f"{action} -> {error}"
    else:
        assert error is not None and error.startswith("Invalid JSON: "), f"{action} -> {error}"


@pytest.mark.parametrize("variant", VARIANT_NAMES)
def test_generated_calls_decode_as_the_exact_schema_says(agent, recorder, variant):
    """Every SendInput call fails once armed, so an action stops at its first input event, before any pause."""
    recorder.gamepad(True)

    @settings(max_examples=300, **HYPOTHESIS)
    @given(call=generated_calls(variant))
    def run(call):
        outcome_matches_the_exact_schema(agent, recorder, as_action(variant, *call))

    run()


def base_arguments(variant, tag):
    intended = next(example for example, _ in readme_table_examples() if example["action"] == tag)
    return calls(variant, intended)


@pytest.mark.parametrize("variant", VARIANT_NAMES)
def test_values_a_definition_refuses_in_a_field_of_the_action_are_refused_by_the_decoder(agent, recorder, variant):
    refused = 0
    for tag in VARIANTS:
        name, parameters, arguments = base_arguments(variant, tag)
        validator = jsonschema.Draft202012Validator(parameters)
        for field in (field for field in VARIANTS[tag]["properties"] if field != "action"):
            for value in wrong_values(field_schema(tag, field)):
                if not validator.is_valid({**arguments, field: value}):
                    action = as_action(variant, name, {**arguments, field: value})
                    assert not VALIDATOR.is_valid(action)
                    outcome_matches_the_exact_schema(agent, recorder, action)
                    refused += 1
    assert refused > 100
