"""The action JSON Schema and the decoder agree.

Instances generated from the schema must decode (they may still fail in the device layer); values the schema
refuses for their type or range, a missing field or an unknown action must be refused by the decoder too. The
generated actions run through the test recorder, so nothing real is injected; most of them are made to fail at
their first input event, before any of the operations' pauses, so that thousands run in a few seconds.
"""

import copy
import importlib.resources
import json
import re
from pathlib import Path

import pytest

jsonschema = pytest.importorskip("jsonschema")
pytest.importorskip("hypothesis_jsonschema")
from hypothesis import HealthCheck, given, settings, strategies as st  # noqa: E402
from hypothesis_jsonschema import from_schema  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
SCHEMA = json.loads((ROOT / "schema" / "agent-action.schema.json").read_text(encoding="utf-8"))
VALIDATOR = jsonschema.Draft202012Validator(SCHEMA)
VARIANTS = {variant["properties"]["action"]["const"]: variant for variant in SCHEMA["oneOf"]}
DEFS = SCHEMA["$defs"]
# What an action that decoded may still answer: the device layer's errors.
DEVICE_ERRORS = ("Failed to send report: ", "Invalid key: ", "Invalid action: Unknown gamepad button: ",
                 "Platform not supported: ")
HYPOTHESIS = dict(deadline=None, database=None,
                  suppress_health_check=[HealthCheck.function_scoped_fixture, HealthCheck.too_slow])


def fields(tag):
    """The action's fields in the order of the array shape."""
    return [name for name in VARIANTS[tag]["properties"] if name != "action"]


def field_schema(tag, name):
    schema = VARIANTS[tag]["properties"][name]
    return DEFS[schema["$ref"].rsplit("/", 1)[1]] if "$ref" in schema else schema


def array_shape(action):
    return [action["action"], *(action.get(name) for name in fields(action["action"]))]


def outcome(agent, text):
    return json.loads(agent.execute_json(text))["error"]


@pytest.fixture
def fast_failing(agent, recorder):
    """The agent, with every SendInput call failing once it is armed (recorder.fail_call(1) before each action):
    an action then stops at its first input event, before any pause. Gamepad reports are recorded."""
    recorder.gamepad(True)
    return agent


# Generation: each variant on its own, closed to extra members, which come from a bounded strategy instead. This
# stays inside the schema (checked for every instance) and is about ten times faster than letting
# hypothesis-jsonschema fill additionalProperties with arbitrary JSON.
JSON_VALUES = st.recursive(
    st.none() | st.booleans() | st.integers() | st.floats(allow_nan=False, allow_infinity=False) | st.text(max_size=8),
    lambda inner: st.lists(inner, max_size=3) | st.dictionaries(st.text(max_size=5), inner, max_size=3),
    max_leaves=6)


def with_extra_members(tag):
    # hypothesis-jsonschema rewrites the schema it is given in place, so it gets a copy.
    closed = from_schema(copy.deepcopy({**VARIANTS[tag], "additionalProperties": False, "$defs": DEFS}))
    extras = st.dictionaries(st.text(max_size=8).filter(lambda name: name not in VARIANTS[tag]["properties"]),
                             JSON_VALUES, max_size=2)
    merged = st.builds(lambda action, extra: [*action.items(), *extra.items()], closed, extras)
    return merged.flatmap(lambda members: st.permutations(members)).map(dict)  # "action" anywhere


ACTIONS = st.one_of([with_extra_members(tag) for tag in VARIANTS])


def shortened(action):
    """The same action, short enough to run to its end: pointer motion and typed text kept small."""
    if action["action"] == "mouse_move":
        return {**action, "x": max(-300, min(300, action["x"])), "y": max(-300, min(300, action["y"]))}
    if action["action"] == "type":
        return {**action, "text": action["text"][:4]}
    return action


def test_the_schema_is_valid_and_lists_the_decoders_actions(agent):
    jsonschema.Draft202012Validator.check_schema(SCHEMA)
    assert SCHEMA["properties"]["action"]["enum"] == list(VARIANTS)
    listed = re.search(r"expected one of (.*) at line", outcome(agent, '{"action":"?"}')).group(1)
    assert re.findall(r"`([a-z_]+)`", listed) == list(VARIANTS)


@settings(max_examples=2000, **HYPOTHESIS)
@given(action=ACTIONS)
def test_generated_actions_decode_in_every_shape(fast_failing, recorder, action):
    VALIDATOR.validate(action)
    for text in (json.dumps(action), json.dumps(action, ensure_ascii=False), json.dumps(array_shape(action))):
        recorder.fail_call(1)
        error = outcome(fast_failing, text)
        assert error is None or error.startswith(DEVICE_ERRORS), f"{text} -> {error}"


@settings(max_examples=100, **HYPOTHESIS)
@given(action=from_schema(copy.deepcopy(SCHEMA)))
def test_actions_generated_from_the_whole_schema_decode(fast_failing, recorder, action):
    recorder.fail_call(1)
    error = fast_failing.execute(action).get("error")
    assert error is None or error.startswith(DEVICE_ERRORS), f"{action} -> {error}"


@settings(max_examples=150, **HYPOTHESIS)
@given(action=ACTIONS.map(shortened))
def test_generated_actions_run_to_their_end(agent, recorder, action):
    recorder.gamepad(True)
    error = agent.execute(action).get("error")
    assert error is None or error.startswith(DEVICE_ERRORS[1:3]), f"{action} -> {error}"


def valid_value(schema):
    if "enum" in schema or "const" in schema:
        return schema.get("const", schema.get("enum", [None])[0])
    kind = schema["type"][0] if isinstance(schema["type"], list) else schema["type"]
    return {"integer": schema.get("minimum", 0), "string": "a", "array": ["ctrl"]}[kind]


def valid_action(tag):
    return {"action": tag, **{name: valid_value(field_schema(tag, name)) for name in fields(tag)}}


def wrong_values(schema):
    """Values of the wrong JSON type or out of range for a field."""
    kinds = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
    values = [True, {}, 0.5, "1", None, [], 1]
    if "integer" in kinds:
        values += [schema["minimum"] - 1, schema["maximum"] + 1]
    if "array" in kinds:
        values += [[1], [None], ["ctrl", {}]]
    return [value for value in values if not any(
        jsonschema.Draft202012Validator({"type": kind}).is_valid(value) for kind in kinds if kind != "array")
        and not (kinds == ["array"] and value == [])]


REFUSED = (
    [pytest.param({**valid_action(tag), name: value}, id=f"{tag}.{name}={json.dumps(value)}")
     for tag in VARIANTS for name in fields(tag) for value in wrong_values(field_schema(tag, name))]
    + [pytest.param({key: value for key, value in valid_action(tag).items() if key != name}, id=f"{tag}-{name}")
       for tag in VARIANTS for name in VARIANTS[tag]["required"]]
    + [pytest.param({**valid_action(tag), "action": tag.title()}, id=tag.title()) for tag in ("mouse_move", "type")]
    + [pytest.param({"action": "jump"}, id="jump"), pytest.param({"Action": "type", "text": "a"}, id="Action")])


@pytest.mark.parametrize("action", REFUSED)
def test_what_the_schema_refuses_the_decoder_refuses(agent, recorder, action):
    assert not VALIDATOR.is_valid(action)
    error = agent.execute(action).get("error")
    assert error is not None and error.startswith("Invalid JSON: "), f"{action} -> {error}"
    assert recorder.events() == []


@pytest.mark.parametrize("value", ["5.0", "5e0", "-0", "1E1"])
def test_integers_written_as_floats_are_refused_as_the_description_says(agent, value):
    """JSON Schema sees 5.0 as an integer; the decoder goes by how the number is written."""
    text = f'{{"action":"mouse_scroll","delta":{value}}}'
    assert VALIDATOR.is_valid(json.loads(text))
    assert outcome(agent, text).startswith("Invalid JSON: invalid type: floating point")
    assert "5.0" in SCHEMA["description"] and "-0" in SCHEMA["description"]


def listed_names(description, after):
    return re.findall(r'"([^"]*)"', description.split(after, 1)[1].split(" (", 1)[0])


@pytest.mark.parametrize("tag, names, count", [
    ("key_press", listed_names(DEFS["key"]["description"], "Accepted: "), 66),
    ("gamepad_press", listed_names(DEFS["gamepadButton"]["description"], "Accepted: "), 25),
])
def test_every_listed_name_is_accepted_in_any_case(fast_failing, recorder, tag, names, count):
    assert len(set(names)) == count
    field = fields(tag)[0]
    for name in names + [name.upper() for name in names]:
        recorder.fail_call(1)
        error = fast_failing.execute({"action": tag, field: name}).get("error")
        assert error is None or error.startswith("Failed to send report: "), f"{name!r} -> {error}"
    assert fast_failing.execute({"action": tag, field: "page_up"})["success"] is False


@pytest.mark.parametrize("name", listed_names(
    VARIANTS["key_combo"]["properties"]["modifiers"]["description"], "case: "))
def test_every_listed_modifier_holds_a_modifier_key(agent, recorder, name):
    assert agent.execute({"action": "key_combo", "modifiers": [name.upper()], "key": "a"}) == {"success": True}
    assert recorder.seen()[0] != "0x41 down"


def readme_table_examples():
    rows = re.findall(r"^\| [^|]+ \| `(\{.*?\})` \| `(\[.*?\])` \|$", (ROOT / "README.md").read_text(), re.M)
    return [(json.loads(obj), json.loads(arr)) for obj, arr in rows]


def test_the_readme_examples_validate_and_decode(fast_failing, recorder):
    examples = readme_table_examples()
    assert sorted({obj["action"] for obj, _ in examples}) == sorted(VARIANTS)
    for obj, arr in examples:
        VALIDATOR.validate(obj)
        VALIDATOR.validate({"action": arr[0], **dict(zip(fields(arr[0]), arr[1:]))})
        for text in (json.dumps(obj), json.dumps(arr)):
            recorder.fail_call(1)
            error = outcome(fast_failing, text)
            assert error is None or error.startswith(DEVICE_ERRORS), f"{text} -> {error}"


def test_the_installed_schema_is_this_one():
    try:
        installed = importlib.resources.files("ondrel-stubs").joinpath("agent-action.schema.json")
        text = installed.read_text(encoding="utf-8")
    except (ModuleNotFoundError, FileNotFoundError):
        pytest.skip("ondrel is not installed from a wheel here")
    assert json.loads(text) == SCHEMA
