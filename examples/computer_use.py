"""A short computer-use session in each model API's vocabulary, run by ondrel_computer's Computer.

Each step is what a model's tool call hands the program (Anthropic's computer tool input, OpenAI's computer_call
action, Gemini's function call); the program passes it to Computer.execute and sends the result back to the model
as the tool result. Screenshots stay the program's job: execute answers that they are not input actions.

By default the module's test recorder takes every input event, so nothing reaches this desktop, and each step
prints how many events it recorded. With --live the events reach the focused window.
"""

import argparse
import ctypes
import json
from typing import Any

import ondrel_computer._native

JsonObject = dict[str, Any]

# What each API hands the program, in its own field names and coordinate space.
SESSIONS: dict[str, list[JsonObject]] = {
    # Anthropic: the computer tool's `input`; points are pixels of the screenshots (scale_from).
    "anthropic": [
        {"action": "left_click", "coordinate": [640, 360]},
        {"action": "type", "text": "Grüße, 世界"},
        {"action": "key", "text": "ctrl+a"},
        {"action": "scroll", "coordinate": [640, 500], "scroll_direction": "down", "scroll_amount": 3},
        {"action": "cursor_position"},
        {"action": "screenshot"},
    ],
    # OpenAI: the computer_call's `action`.
    "openai": [
        {"type": "double_click", "x": 200, "y": 150},
        {"type": "keypress", "keys": ["CTRL", "C"]},
        {"type": "drag", "path": [{"x": 100, "y": 100}, {"x": 300, "y": 120}]},
        {"type": "scroll", "x": 400, "y": 300, "scroll_x": 0, "scroll_y": -240},
        {"type": "click", "x": 5000, "y": 10},  # off the screen: an error result, nothing moves
    ],
    # Gemini: the function call's name and args, points on its 0-999 grid.
    "gemini": [
        {"name": "click_at", "args": {"x": 500, "y": 500}},
        {"name": "type_text_at", "args": {"x": 500, "y": 100, "text": "ondrel", "press_enter": True}},
        {"name": "key_combination", "args": {"keys": "control+z"}},
        {"name": "navigate", "args": {"url": "https://example.com"}},  # the browser's job, said so
    ],
}


class Recorder:
    """ondrel_computer's test recorder (exported by its shared object): started before any Computer exists."""

    def __init__(self) -> None:
        self._lib = ctypes.CDLL(ondrel_computer._native.__file__)
        self._lib.ondrel_recorder_events.restype = ctypes.c_char_p
        self._lib.ondrel_recorder_start()
        self._seen = 0

    def new_event_count(self) -> int:
        events: list[JsonObject] = json.loads(self._lib.ondrel_recorder_events())
        fresh, self._seen = len(events) - self._seen, len(events)
        return fresh


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--live", action="store_true",
                        help="inject for real, into whatever window has the focus (default: record the events)")
    parser.add_argument("--screen-size", type=int, nargs=2, metavar=("W", "H"),
                        help="the screen's size in pixels (required for uinput)")
    options = parser.parse_args()
    recorder = None if options.live else Recorder()
    screen_size = tuple(options.screen_size) if options.screen_size else None
    for vocabulary, actions in SESSIONS.items():
        # Anthropic's model sees screenshots scaled to 1280x720; its points are scaled back to the screen.
        scale_from = (1280, 720) if vocabulary == "anthropic" else None
        computer = ondrel_computer.Computer(screen_size=screen_size, scale_from=scale_from)
        print(f"{vocabulary} (screen {computer.screen_size()}):")
        for action in actions:
            result = computer.execute(action)  # the tool result to send back; never raises for a bad action
            recorded = f"  [{recorder.new_event_count()} events]" if recorder else ""
            print(f"  {json.dumps(action, ensure_ascii=False)}\n    -> {json.dumps(result)}{recorded}")


if __name__ == "__main__":
    main()
