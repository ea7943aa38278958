"""The tools, with typed arguments and descriptions written for a model.

Points are pixels of the screenshot. They reach the Computer through execute(), whose vocabularies scale them from
the screenshot's size to the screen and check them against it; the rest of a call (the click, the wheel) then acts
where the pointer is, so a point off the screenshot sends nothing."""

from typing import Annotated, Any, Literal, TypedDict

import anyio
from mcp.server.mcpserver import Image
from mcp.server.mcpserver.exceptions import ToolError
from mcp_types import ToolAnnotations
from pydantic import Field, StrictInt, StrictStr

from ondrel_computer.mcp.computer_session import ComputerSession

# As long as the Computer lets a key be held (its hold() takes at most 60 s).
MAX_SECONDS = 60

# The arguments' constraints and descriptions (pydantic's Field in Annotated; aliases of the whole Annotated types
# would read as classes to stubtest).
_LEFT = Field(ge=0, description="Pixels from the screenshot's left edge.")
_TOP = Field(ge=0, description="Pixels from the screenshot's top edge.")
_NOTCHES = Field(ge=-100, le=100)
_CHORD = Field(min_length=1, description=(
    "Key names joined by '+', pressed in order and let go in reverse, for example 'enter', 'ctrl+a', "
    "'ctrl+shift+t', 'alt+f4'. Names, in any case: a to z (never shifted), 0 to 9, enter, tab, space, "
    "backspace, delete, escape, up, down, left, right, home, end, pageup, pagedown, insert, f1 to f24, ctrl, "
    "shift, alt, super (or cmd, win, meta), and X keysym names as xdotool takes them (Return, BackSpace, "
    "Page_Up, KP_Enter, minus, comma, ...)."))
_SECONDS = Field(strict=True, ge=0, le=MAX_SECONDS)
_POINT = Field(min_length=2, max_length=2, description="[x, y]")


class Point(TypedDict):
    x: int
    y: int


SCREEN_SPACE = ("x and y are pixels of the screenshot that the screenshot tool returns, (0, 0) its top-left "
                "corner")


def executed(computer: Any, action: dict[str, Any]) -> dict[str, Any]:
    """The reply of an action that succeeded; a failed one's error is the tool's."""
    reply: dict[str, Any] = computer.execute(action)
    if not reply["success"]:
        raise ToolError(reply["error"])
    return reply


def moved(computer: Any, x: int, y: int) -> Any:
    """The computer, its pointer at the screenshot's pixel (x, y)."""
    executed(computer, {"action": "mouse_move", "coordinate": [x, y]})
    return computer


def scrolled(computer: Any, x: int, y: int, dx: int, dy: int) -> None:
    moved(computer, x, y)
    if dx or dy:  # no wheel event for a turn of nothing
        computer.scroll(dx=dx, dy=dy)


class Tools:
    """The tool functions of one server, over one ComputerSession. What a tool does on the computer is one
    operation of the session, so that another call never lands between its move and its click."""

    def __init__(self, session: ComputerSession):
        self.session = session

    async def screenshot(self) -> Image:
        png = await self.session.run(lambda computer: computer.screenshot())
        return Image(data=png, format="png")

    async def zoom(self, x0: Annotated[StrictInt, _LEFT], y0: Annotated[StrictInt, _TOP],
                   x1: Annotated[StrictInt, _LEFT], y1: Annotated[StrictInt, _TOP]) -> Image:
        png = await self.session.run(lambda computer: computer.zoom((x0, y0, x1, y1)))
        return Image(data=png, format="png")

    async def cursor_position(self) -> Point:
        reply = await self.session.run(lambda computer: executed(computer, {"action": "cursor_position"}))
        return {"x": reply["x"], "y": reply["y"]}

    async def move(self, x: Annotated[StrictInt, _LEFT], y: Annotated[StrictInt, _TOP]) -> str:
        await self.session.run(lambda computer: moved(computer, x, y))
        return f"the pointer is at ({x}, {y})"

    async def click(self, x: Annotated[StrictInt, _LEFT], y: Annotated[StrictInt, _TOP],
                    button: Literal["left", "right", "middle", "back", "forward"] = "left",
                    count: Literal[1, 2, 3] = 1) -> str:
        await self.session.run(lambda computer: moved(computer, x, y).click(button=button, count=count))
        times = {1: "", 2: " twice", 3: " three times"}[count]
        return f"clicked {button}{times} at ({x}, {y})"

    async def drag(self, path: Annotated[list[Annotated[list[StrictInt], _POINT]], Field(min_length=2)]) -> str:
        points = [{"x": x, "y": y} for x, y in path]
        await self.session.run(lambda computer: executed(computer, {"type": "drag", "path": points}))
        return f"dragged from ({path[0][0]}, {path[0][1]}) to ({path[-1][0]}, {path[-1][1]})"

    async def scroll(self, x: Annotated[StrictInt, _LEFT], y: Annotated[StrictInt, _TOP],
                     dx: Annotated[StrictInt, _NOTCHES] = 0, dy: Annotated[StrictInt, _NOTCHES] = 0) -> str:
        await self.session.run(lambda computer: scrolled(computer, x, y, dx, dy))
        return f"scrolled {dx} notches right and {dy} down at ({x}, {y})"

    async def type(self, text: Annotated[StrictStr, Field(min_length=1)]) -> str:
        await self.session.run(lambda computer: computer.write(text))
        return f"typed {len(text)} characters"

    async def key(self, chord: Annotated[StrictStr, _CHORD]) -> str:
        await self.session.run(lambda computer: computer.key(chord))
        return f"pressed {chord}"

    async def hold_key(self, chord: Annotated[StrictStr, _CHORD], seconds: Annotated[float, _SECONDS]) -> str:
        await self.session.run(lambda computer: computer.hold(chord, seconds))
        return f"held {chord} for {seconds:g} s"

    async def wait(self, seconds: Annotated[float, _SECONDS]) -> str:
        await anyio.sleep(seconds)
        return f"waited {seconds:g} s"


DESCRIPTIONS = {
    "screenshot": ("A screenshot of the whole screen, as a PNG image. Take one before acting and after, to see "
                   "what changed: the x, y of every other tool is a pixel of this image."),
    "zoom": ("A region of the screen seen closer, as a PNG image: the rectangle from (x0, y0) to (x1, y1), x1 and "
             "y1 excluded, enlarged to about the screenshot's size, to read small text. " + SCREEN_SPACE + "."),
    "cursor_position": "Where the mouse pointer is, as x and y in screenshot pixels.",
    "move": "Moves the mouse pointer to (x, y), pressing nothing. " + SCREEN_SPACE + ".",
    "click": ("Moves the mouse pointer to (x, y) and clicks `button` `count` times (2: a double click, 3: a "
              "triple click). " + SCREEN_SPACE + ". No key is held."),
    "drag": ("Presses the left button at the path's first point, moves through each point in turn and lets go "
             "at the last: drags a slider, a selection, a file. `path` is a list of [x, y] points, at least two, "
             "in screenshot pixels."),
    "scroll": ("Moves the mouse pointer to (x, y) and turns the wheel there: `dy` notches down (negative: up), "
               "`dx` notches right (negative: left); one notch scrolls about three lines. " + SCREEN_SPACE + "."),
    "type": ("Types `text` as it is, in any language and on any keyboard layout, into what has the keyboard "
             "focus (click a field first). A newline is typed as Enter; no Enter is added at the end."),
    "key": "Presses a key or a chord of keys once and lets go, for example 'enter' or 'ctrl+shift+t'.",
    "hold_key": ("Holds a key or a chord of keys down for `seconds` (at most 60), then lets go; the tool "
                 "answers once it has let go."),
    "wait": f"Waits `seconds` (at most {MAX_SECONDS}) for the screen to settle, pressing nothing.",
}

# In the order a model meets them: look, act, look.
ALL_TOOLS = ("screenshot", "zoom", "click", "move", "drag", "scroll", "type", "key", "hold_key", "wait",
             "cursor_position")
VIEWING = frozenset({"screenshot", "zoom", "cursor_position"})
KEYBOARD = frozenset({"type", "key", "hold_key"})


def tool_names(keyboard: bool, pointer: bool) -> list[str]:
    """The tools of a server that may use the keyboard and the pointer, or not."""
    return [name for name in ALL_TOOLS if name in VIEWING or (pointer and (keyboard or name not in KEYBOARD))]


def annotations_of(name: str) -> ToolAnnotations:
    if name in VIEWING or name == "wait":
        return ToolAnnotations(read_only_hint=True, open_world_hint=False)
    return ToolAnnotations(read_only_hint=False, destructive_hint=True, idempotent_hint=False,
                           open_world_hint=False)
