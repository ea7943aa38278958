"""A short tour of the gamepad: a button tap, both sticks, the triggers, reset.

By default the module's test recorder takes the gamepad's reports and the tour prints them: no device appears.
With --live, on Linux with a writable /dev/uinput, it creates a virtual gamepad, "ondrel Tour Gamepad", that games
and tools such as evtest see while the tour runs; where no gamepad can be created (Windows has no gamepad back
end), it prints why and exits normally.

    python examples/gamepad_tour.py [--live]
"""

import os
import sys
import time
from collections.abc import Callable

import ondrel

# The embeddable Windows CPython leaves the script's folder off sys.path; the shared helper lives there.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recording import argument_parser, start_recorder

STEP_PAUSE_S = 0.2  # live only: so that a watching program sees each step


def main() -> None:
    options = argument_parser(__doc__.split("\n\n")[0]).parse_args()
    recorder = start_recorder(options.live)  # before the gamepad, so that its reports are recorded
    try:
        pad = ondrel.Gamepad("ondrel Tour Gamepad")
    except RuntimeError as error:
        print(f"no gamepad here: {error}")
        return
    steps: list[tuple[str, Callable[[], None]]] = [
        ("tap A (50 ms hold)", lambda: pad.tap("A")),
        ("hold the left bumper", lambda: pad.press("lb")),
        ("left stick full right", lambda: pad.left_stick(255, 128)),
        ("right stick full up", lambda: pad.right_stick(128, 0)),
        ("triggers: left half, right full", lambda: pad.triggers(128, 255)),
        ("D-pad down", lambda: pad.tap("dpad_down")),
        ("reset: buttons up, sticks centred, triggers released", pad.reset),
    ]
    for text, step in steps:
        step()
        print(text)
        if recorder is not None:
            recorder.show_new_events(limit=3)
        else:
            time.sleep(STEP_PAUSE_S)


if __name__ == "__main__":
    main()
