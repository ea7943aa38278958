"""Python module"""

from collections.abc import Iterator
from typing import Any, NotRequired, Protocol, Self, SupportsIndex, TypedDict, final, type_check_only


__all__ = ["Mouse", "Keyboard", "Gamepad", "AgentHID"]

# Integers go through the interpreter's own integer conversion, so anything
# with __index__ (bool included) is taken; the ranges are checked at run time.

@type_check_only
class _StrSequence(Protocol):
    """A sequence of str that is not itself a str: `str.__contains__` takes only
    a str, so a str does not match this `__contains__`, while list and tuple do."""

    def __getitem__(self, index: int, /) -> str: ...
    def __iter__(self) -> Iterator[str]: ...
    def __contains__(self, value: object, /) -> bool: ...

@type_check_only
class _ActionResult(TypedDict):
    """What `AgentHID.execute` returns: `error` is there exactly when `success` is False."""

    success: bool
    error: NotRequired[str]

@final
class Mouse:
    """Virtual Mouse"""

    def __new__(cls, name: str | None = None) -> Self: ...
    def move_by(self, dx: SupportsIndex, dy: SupportsIndex) -> None:
        """Move mouse by relative offset"""

    def click(self, button: str = "left") -> None:
        """Click mouse button"""

    def double_click(self, button: str = "left") -> None:
        """Double click mouse button"""

    def press(self, button: str = "left") -> None:
        """Press mouse button"""

    def release(self, button: str = "left") -> None:
        """Release mouse button"""

    def scroll(self, delta: SupportsIndex) -> None:
        """Scroll wheel"""

@final
class Keyboard:
    """Virtual Keyboard"""

    def __new__(cls, name: str | None = None) -> Self: ...
    def type_text(self, text: str) -> None:
        """Type a string"""

    def press(self, key: str) -> None:
        """Press a key"""

    def combo(self, modifiers: _StrSequence, key: str) -> None:
        """Press key combination (e.g., combo(["ctrl"], "c"))"""

    def release_all(self) -> None:
        """Release all keys"""

@final
class Gamepad:
    """Virtual Gamepad"""

    def __new__(cls, name: str | None = None) -> Self: ...
    def press(self, button: str) -> None:
        """Press button"""

    def release(self, button: str) -> None:
        """Release button"""

    def tap(self, button: str) -> None:
        """Tap button (press and release)"""

    def left_stick(self, x: SupportsIndex, y: SupportsIndex) -> None:
        """Set left stick position (0-255, 128 = center)"""

    def right_stick(self, x: SupportsIndex, y: SupportsIndex) -> None:
        """Set right stick position (0-255, 128 = center)"""

    def triggers(self, left: SupportsIndex, right: SupportsIndex) -> None:
        """Set triggers (0-255)"""

    def reset(self) -> None:
        """Reset all to default"""

@final
class AgentHID:
    """Agent HID controller for LLM agents"""

    def __new__(cls) -> Self: ...
    def execute(self, action: dict[str, Any]) -> _ActionResult:
        """Execute an action from dict/JSON"""

    def execute_json(self, json: str) -> str:
        """Execute action from JSON string"""
