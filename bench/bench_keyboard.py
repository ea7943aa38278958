"""End-to-end time of keyboard operations through the Python API, against
their floors, the keyboard's own pauses (the back end makes none): a press
10 ms between its reports, typing 15 ms per unshifted character (the press
plus 5 ms after it), a combination 10 ms (the press inside it).

    pip install . && python bench/bench_keyboard.py [repetitions]

Elsewhere than Windows the test recorder stands in for user32.
"""

import ctypes
import sys

import ondrel
from timing import measure, summarise

TEXT = "hello world"


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 100
    recorder = ctypes.CDLL(ondrel.__file__) if sys.platform != "win32" else None
    if recorder:
        recorder.ondrel_recorder_start()
    keyboard = ondrel.Keyboard()
    cases = (
        ("press", lambda: keyboard.press("a"), 10.0),
        ("combo", lambda: keyboard.combo(["ctrl"], "c"), 10.0),
        (f"type_text({len(TEXT)})", lambda: keyboard.type_text(TEXT), 15.0 * len(TEXT)),
    )
    for name, operation, floor in cases:
        print(summarise(name, measure(operation, repetitions), floor))
        if recorder:
            recorder.ondrel_recorder_start()  # keep the journal small
    if recorder:
        recorder.ondrel_recorder_stop()


if __name__ == "__main__":
    main()
