"""The screenshot a driver answers with: the Computer's own, or the caller's capture (uinput, for one, cannot see
the screen: its users pass the compositor's screenshot tool)."""

from collections.abc import Callable
from typing import Any


def capture_png(computer: Any, capture: Callable[[], bytes] | None) -> bytes:
    """PNG bytes of the screen now, from `capture` when given, else from `computer.screenshot()`."""
    png: bytes = capture() if capture is not None else computer.screenshot()
    return png
