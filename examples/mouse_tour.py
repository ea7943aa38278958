"""A few mouse operations, and what they did.

Where an input system is there (user32 on Windows; on Linux an X display
through XTEST, or uinput), the pointer really moves. Where none is, creating
the mouse fails with "Platform not supported"; the example then attaches the
module's test recorder and prints the input events that would have been
injected.
"""

import ctypes
import json
from collections.abc import Callable
from typing import Any

import ondrel

FLAG_NAMES = {
    0x0001: "move", 0x0002: "left down", 0x0004: "left up", 0x0008: "right down",
    0x0010: "right up", 0x0020: "middle down", 0x0040: "middle up", 0x0800: "wheel",
}

Recorded = Callable[[], list[dict[str, Any]]]


def attach_recorder() -> Recorded:
    lib = ctypes.CDLL(ondrel.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    return lambda: json.loads(lib.ondrel_recorder_events())


def describe(event: dict[str, Any]) -> str:
    name = FLAG_NAMES.get(event["dwFlags"], hex(event["dwFlags"]))
    if name == "move":
        return f"move by ({event['dx']}, {event['dy']})"
    if name == "wheel":
        return f"wheel {event['mouseData']:+d} ({event['mouseData'] // 120:+d} notches)"
    return name


def real_or_recorded_mouse() -> tuple[ondrel.Mouse, Recorded | None]:
    """A mouse of the system's input, or one whose events the recorder takes, with a function that returns them."""
    try:
        return ondrel.Mouse(), None
    except RuntimeError as error:
        if not str(error).startswith("Platform not supported"):
            raise
        print(f"{error}; recording instead")
        recorded = attach_recorder()
        return ondrel.Mouse(), recorded


def main() -> None:
    mouse, recorded = real_or_recorded_mouse()
    mouse.move_by(300, -40)
    mouse.click()
    mouse.double_click("right")
    mouse.scroll(-2)
    print("moved by (300, -40), clicked, double-clicked right, scrolled -2")
    if recorded is not None:
        print("the recorder saw these input events:")
        for event in recorded():
            print("  " + describe(event))


if __name__ == "__main__":
    main()
