"""A few mouse operations, and what they did.

On Windows the pointer really moves. Elsewhere there is no user32 to inject
into, so the example attaches the module's test recorder first and prints the
input events that would have been injected.
"""

import ctypes
import json
import sys
from collections.abc import Callable
from typing import Any

import ondrel

FLAG_NAMES = {
    0x0001: "move", 0x0002: "left down", 0x0004: "left up", 0x0008: "right down",
    0x0010: "right up", 0x0020: "middle down", 0x0040: "middle up", 0x0800: "wheel",
}


def attach_recorder() -> Callable[[], list[dict[str, Any]]]:
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


def main() -> None:
    recorded = None if sys.platform == "win32" else attach_recorder()
    mouse = ondrel.Mouse()
    mouse.move_by(300, -40)
    mouse.click()
    mouse.double_click("right")
    mouse.scroll(-2)
    print("moved by (300, -40), clicked, double-clicked right, scrolled -2")
    if recorded is not None:
        print("no user32 here; the recorder saw these input events:")
        for event in recorded():
            print("  " + describe(event))


if __name__ == "__main__":
    main()
