"""Sessions through the MCP SDK's own client against the server under Xvfb: the tools as a model sees them, a
session that fills, scrolls and drags tests/x11's Tk form and reads the screenshot, bad calls answered as errors with
nothing sent, and a system that cannot be driven said at the first call."""

import base64
import struct
import time
import zlib

import anyio
import jsonschema
import pytest
from conftest import mcp_session

pytestmark = pytest.mark.anyio

TEXT = "Grüße, 世界"
SCREEN = (3000, 2000)  # tests/x11/x_server.py's
ALL_TOOLS = {"screenshot", "zoom", "click", "move", "drag", "scroll", "type", "key", "hold_key", "wait",
             "cursor_position"}
VIEWING = {"screenshot", "zoom", "cursor_position"}
KEYBOARD = {"type", "key", "hold_key"}


def can_see_the_screen():
    from ondrel_computer import Computer
    return hasattr(Computer, "screenshot")


def can_stop_a_call():
    from ondrel_computer import Computer
    return hasattr(Computer, "cancel")


# A call of each tool as the session below makes it, and calls its schema must refuse.
GOOD_CALLS = {"screenshot": {}, "zoom": {"x0": 0, "y0": 0, "x1": 10, "y1": 10}, "click": {"x": 1, "y": 2},
              "move": {"x": 1, "y": 2}, "drag": {"path": [[1, 2], [3, 4]]}, "scroll": {"x": 1, "y": 2, "dy": -3},
              "type": {"text": "a"}, "key": {"chord": "ctrl+a"}, "hold_key": {"chord": "shift", "seconds": 0.5},
              "wait": {"seconds": 1}, "cursor_position": {}}
REFUSED_CALLS = [("click", {"x": 1}), ("click", {"x": "1", "y": 2}), ("click", {"x": 1, "y": 2, "button": "LEFT"}),
                 ("click", {"x": 1, "y": 2, "count": 4}), ("click", {"x": 1, "y": 2, "buton": "right"}),
                 ("drag", {"path": [[1, 2]]}), ("drag", {"path": [[1, 2, 3], [4, 5]]}), ("wait", {"seconds": 61}),
                 ("move", {"x": -1, "y": 0}), ("type", {"text": ""}), ("screenshot", {"x": 1})]


@pytest.mark.parametrize("arguments, tools", [([], ALL_TOOLS), (["--no-keyboard"], ALL_TOOLS - KEYBOARD),
                                              (["--view-only"], VIEWING)])
async def test_the_tools_their_schemas_and_descriptions(x_server, arguments, tools):
    async with mcp_session({"DISPLAY": x_server.display}, *arguments) as session:
        listed = {tool.name: tool for tool in (await session.list_tools()).tools}
    assert set(listed) == tools
    for name, tool in listed.items():
        jsonschema.Draft202012Validator.check_schema(tool.input_schema)
        jsonschema.validate(GOOD_CALLS[name], tool.input_schema)
        assert len(tool.description) > 40, name
        assert tool.annotations.read_only_hint == (name in VIEWING | {"wait"}), name
    for name, call in REFUSED_CALLS:
        if name in listed:
            with pytest.raises(jsonschema.ValidationError):
                jsonschema.validate(call, listed[name].input_schema)
    if "cursor_position" in listed:
        jsonschema.validate({"x": 1, "y": 2}, listed["cursor_position"].output_schema)


def png_size_and_rows(png):
    """The PNG's width and height, after checking that its data inflates to exactly its rows (RGB, 8 bits)."""
    assert png[:8] == b"\x89PNG\r\n\x1a\n"
    chunks, offset = {}, 8
    while offset < len(png):
        length, kind = struct.unpack(">I4s", png[offset:offset + 8])
        chunks[kind] = chunks.get(kind, b"") + png[offset + 8:offset + 8 + length]
        offset += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, colour) == (8, 2)
    assert len(zlib.decompress(chunks[b"IDAT"])) == height * (1 + 3 * width)
    return width, height


@pytest.mark.parametrize("scale", [1, 2], ids=["screen pixels", "--scale-from half the screen"])
async def test_a_session_fills_scrolls_and_drags_the_form_and_reads_the_screenshot(x_server, form, scale):
    places, reported = form

    def at(name, dx=0):
        x, y = places[name]
        return {"x": (x + dx) // scale, "y": y // scale}

    entry, button, rows, slider, trough_end = (at(name) for name in ["entry", "button", "list", "slider",
                                                                      "trough_end"])
    middle = at("slider", (places["trough_end"][0] - places["slider"][0]) // 2)
    shot_size = (SCREEN[0] // scale, SCREEN[1] // scale)
    arguments = ["--scale-from", "{}x{}".format(*shot_size)] if scale != 1 else []
    async with mcp_session({"DISPLAY": x_server.display}, *arguments) as session:

        async def call(name, **arguments):
            result = await session.call_tool(name, arguments)
            assert not result.is_error, (name, arguments, result.content)
            return result

        await call("click", **entry)
        await call("type", text=TEXT)
        await call("click", **button)
        await call("scroll", **rows, dy=3)
        await call("drag", path=[[point["x"], point["y"]] for point in (slider, middle, trough_end)])
        await call("click", **entry)
        await call("key", chord="ctrl+a")
        await call("key", chord="BackSpace")
        await call("click", **button)
        assert (await call("cursor_position")).structured_content == button
        if can_see_the_screen():
            for name, arguments in [("screenshot", {}), ("zoom", {"x0": 0, "y0": 0, "x1": 100, "y1": 50})]:
                [image] = (await call(name, **arguments)).content
                assert (image.type, image.mime_type) == ("image", "image/png")
                width, height = png_size_and_rows(base64.b64decode(image.data))
                assert (width, height) == shot_size if name == "screenshot" else width == 2 * height
    first, last = reported(2)
    assert first == {"entry": TEXT, "top": 0, "scale": 0}
    assert last["entry"] == "" and last["top"] > 0 and last["scale"] == 100, last


# A bad call and what its answer must say. None of them may send anything.
BAD_CALLS = [
    ("click", {"x": 3000, "y": 10}, "[3000, 10] is outside the screen (3000x2000)"),
    ("click", {"x": -1, "y": 10}, "x: Input should be greater than or equal to 0"),
    ("click", {"x": "12", "y": 10}, "x: Input should be a valid integer"),
    ("click", {"x": 12.5, "y": 10}, "x: Input should be a valid integer"),
    ("click", {"x": True, "y": 10}, "x: Input should be a valid integer"),
    ("click", {"x": 10}, "y: Field required"),
    ("click", {"x": 10, "y": 10, "buton": "right"}, "unknown argument 'buton'"),
    ("click", {"x": 10, "y": 10, "button": "LEFT"}, "button: Input should be 'left', 'right'"),
    ("click", {"x": 10, "y": 10, "count": 4}, "count: Input should be 1, 2 or 3"),
    ("move", {"x": 10, "y": 2000}, "[10, 2000] is outside the screen"),
    ("drag", {"path": [[10, 10]]}, "path: List should have at least 2 items"),
    ("drag", {"path": [[10, 10], [20, 20], [3000, 20]]}, "`path[2]` (3000, 20) is outside the screen"),
    ("scroll", {"x": 4000, "y": 10, "dy": 3}, "[4000, 10] is outside the screen"),
    ("scroll", {"x": 10, "y": 10, "dy": 101}, "dy: Input should be less than or equal to 100"),
    ("type", {"text": "ab\x00"}, "U+0000"),
    ("type", {"text": 5}, "text: Input should be a valid string"),
    ("key", {"chord": "ctrl+nosuchkey"}, "unknown key `nosuchkey`"),
    ("hold_key", {"chord": "shift", "seconds": 61}, "seconds: Input should be less than or equal to 60"),
    ("hold_key", {"chord": "nosuchkey", "seconds": 1}, "unknown key `nosuchkey`"),
    ("wait", {"seconds": 61}, "seconds: Input should be less than or equal to 60"),
    ("wait", {"seconds": "1"}, "seconds: Input should be a valid number"),
    ("zoom", {"x0": 10, "y0": 10, "x1": 5, "y1": 20}, None),
    ("nosuchtool", {}, "Unknown tool: nosuchtool"),
]


async def test_bad_calls_are_errors_that_name_the_problem_and_send_nothing(x_server, x_state):
    x_state.warp(1500, 1000)
    x_state.events()
    async with mcp_session({"DISPLAY": x_server.display}) as session:
        for name, arguments, said in BAD_CALLS:
            if name == "zoom" and not can_see_the_screen():
                continue
            result = await session.call_tool(name, arguments)
            [text] = [content.text for content in result.content]
            assert result.is_error, (name, arguments, text)
            assert said is None or said in text, (name, arguments, text)
            assert "https://" not in text and "\n" not in text, text
            assert x_state.events() == [] and x_state.pointer() == (1500, 1000), (name, arguments)
        result = await session.call_tool("click", {"x": 20, "y": 30, "button": "right"})
        assert not result.is_error, result.content
        assert x_state.buttons() == [("press", 3), ("release", 3)] and x_state.pointer() == (20, 30)


@pytest.mark.parametrize("environment, seen", [({"DISPLAY": ":1999"}, "DISPLAY=:1999"),
                                               ({"ONDREL_INPUT": "x11"}, "ONDREL_INPUT=x11")])
async def test_a_system_that_cannot_be_driven_is_said_at_each_call_with_what_to_do(environment, seen):
    async with mcp_session(environment) as session:
        for name, arguments in [("move", {"x": 1, "y": 1}), ("cursor_position", {})]:
            result = await session.call_tool(name, arguments)
            [text] = [content.text for content in result.content]
            assert result.is_error and seen in text and '"env" entry' in text, text
        assert len((await session.list_tools()).tools) == len(ALL_TOOLS)


async def test_a_hold_the_client_cancels_lets_go_at_once_and_the_server_goes_on(x_server, x_state):
    if not can_stop_a_call():
        pytest.skip("needs Computer.cancel()")

    async def until(condition, what, within_s):
        deadline = time.monotonic() + within_s
        while not condition():
            assert time.monotonic() < deadline, f"{what} within {within_s} s"
            await anyio.sleep(0.01)

    async with mcp_session({"DISPLAY": x_server.display}) as session:
        async with anyio.create_task_group() as calls:
            calls.start_soon(session.call_tool, "hold_key", {"chord": "ctrl+shift", "seconds": 30})
            await until(lambda: len(x_state.held()[0]) == 2, "the hold did not press its keys", 20)
            calls.cancel_scope.cancel()
        await until(lambda: x_state.held() == ([], []), "the cancelled hold did not let go", 1)
        result = await session.call_tool("move", {"x": 30, "y": 40})
        assert not result.is_error and x_state.pointer() == (30, 40), result.content
