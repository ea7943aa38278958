"""A few mouse operations, and what each of them sent.

By default the module's test recorder takes the events and the tour prints them: nothing reaches this desktop.
With --live the pointer really moves and clicks, wherever it is (user32 on Windows; on Linux an X display through
XTEST, or uinput); where no input system is there, the tour says why and exits with status 1.

    python examples/mouse_tour.py [--live]
"""

import os
import sys
from collections.abc import Callable

import ondrel

# The embeddable Windows CPython leaves the script's folder off sys.path; the shared helper lives there.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recording import argument_parser, start_recorder


def main() -> int:
    options = argument_parser(__doc__.split("\n\n")[0]).parse_args()
    recorder = start_recorder(options.live)  # before the mouse, so that the mouse is created under it
    try:
        mouse = ondrel.Mouse()
    except RuntimeError as error:
        print(f"no mouse here: {error}")
        return 1
    steps: list[tuple[str, Callable[[], None]]] = [
        ("move_by(300, -40): relative, in steps of at most 127", lambda: mouse.move_by(300, -40)),
        ("click(): left, held 10 ms", mouse.click),
        ("double_click('right'): 10 ms hold, 50 ms gap, 10 ms hold", lambda: mouse.double_click("right")),
        ("scroll(-2): two notches towards the user", lambda: mouse.scroll(-2)),
    ]
    for text, step in steps:
        step()
        print(text)
        if recorder is not None:
            recorder.show_new_events()
    return 0


if __name__ == "__main__":
    sys.exit(main())
