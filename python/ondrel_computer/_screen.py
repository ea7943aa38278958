"""The screenshot a driver answers with: the Computer's own, or the caller's capture."""

from collections.abc import Callable
from typing import Any


def capture_png(computer: Any, capture: Callable[[], bytes] | None) -> bytes:
    """PNG bytes of the screen now, from `capture` when given, else from `computer.screenshot()`."""
    if capture is not None:
        return capture()
    screenshot = getattr(computer, "screenshot", None)
    if screenshot is None:
        raise RuntimeError("this Computer takes no screenshots: pass screenshot=, a callable returning PNG bytes")
    png: bytes = screenshot()
    return png
