"""What the examples share: they send nothing to this desktop unless asked to with --live.

By default an example starts the module's test recorder before it creates any device: every input event then goes
into the recorder's journal instead of the system (the gamepad's reports too), and the example prints what each step
would have injected. With --live the devices are the system's own: the events reach the focused window.
"""

import argparse
import ctypes
import json
from typing import Any

import ondrel

JsonObject = dict[str, Any]

LIVE_HELP = "inject for real, into whatever window has the focus (default: record the events and print them)"
RECORDING_NOTE = "recording: nothing is sent to this desktop (--live injects for real); +name is down, -name is up"

MOUSE_FLAGS = {0x0002: "+left", 0x0004: "-left", 0x0008: "+right", 0x0010: "-right", 0x0020: "+middle",
               0x0040: "-middle"}
MOUSE_MOVE, MOUSE_WHEEL, WHEEL_DELTA, KEY_UP = 0x0001, 0x0800, 120, 0x0002
KEY_NAMES = {0x08: "backspace", 0x09: "tab", 0x0D: "enter", 0x1B: "esc", 0x20: "space", 0x25: "left", 0x26: "up",
             0x27: "right", 0x28: "down", 0xA0: "shift", 0xA2: "ctrl", 0xA4: "alt", 0x5B: "win"}


def argument_parser(description: str) -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--live", action="store_true", help=LIVE_HELP)
    return parser


class Recorder:
    """The module's test recorder, reached through the C functions its shared object exports. Started on
    construction, gamepad reports included, so construct it before any device."""

    def __init__(self) -> None:
        self._lib = ctypes.CDLL(ondrel.__file__)
        self._lib.ondrel_recorder_events.restype = ctypes.c_char_p
        self._lib.ondrel_recorder_gamepad.argtypes = [ctypes.c_int]
        self._lib.ondrel_recorder_start()
        self._lib.ondrel_recorder_gamepad(1)
        self._shown = 0
        print(RECORDING_NOTE)

    def new_events(self) -> list[JsonObject]:
        """The events recorded since the last call."""
        events: list[JsonObject] = json.loads(self._lib.ondrel_recorder_events())
        fresh, self._shown = events[self._shown:], len(events)
        return fresh

    def show_new_events(self, limit: int = 14) -> None:
        """One line: the first `limit` new events as short texts, and how many more there were."""
        events = self.new_events()
        texts = [describe(event) for event in events[:limit]]
        more = f" ... and {len(events) - limit} more" if len(events) > limit else ""
        print(f"  recorded: {' '.join(texts) or 'nothing'}{more}")


def start_recorder(live: bool) -> Recorder | None:
    return None if live else Recorder()


def describe(event: JsonObject) -> str:
    """An input event as a short text: "move 127,-40", "wheel -2", "+left", "+shift", "-a", or a gamepad report
    as "pad[buttons 0001 L128,128 R128,128 T0,0]" (buttons, left and right stick, triggers)."""
    if event["type"] == "gamepad_report":
        low, high, *axes = event["bytes"]
        return f"pad[buttons {high << 8 | low:04x} L{axes[0]},{axes[1]} R{axes[2]},{axes[3]} T{axes[4]},{axes[5]}]"
    flags = event["dwFlags"]
    if event["type"] == "mouse":
        if flags == MOUSE_MOVE:
            return f"move {event['dx']},{event['dy']}"
        if flags == MOUSE_WHEEL:
            return f"wheel {event['mouseData'] // WHEEL_DELTA:+d}"
        return MOUSE_FLAGS.get(flags, f"mouse {flags:#x}")
    key = event["wVk"]
    name = chr(key).lower() if 0x30 <= key <= 0x5A else KEY_NAMES.get(key, f"vk{key:#04x}")
    return ("-" if flags & KEY_UP else "+") + name
