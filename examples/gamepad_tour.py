"""A short tour of the gamepad: a button tap, both sticks, the triggers, reset.

On Linux with a writable /dev/uinput this creates a virtual gamepad, "ondrel
Tour Gamepad", that games and tools such as evtest see while the tour runs.
Where no gamepad can be created, it prints why and exits normally.
"""

import time
from collections.abc import Callable

import ondrel


def main() -> None:
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
        time.sleep(0.2)  # so that a watching program sees each step


if __name__ == "__main__":
    main()
