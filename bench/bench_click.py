"""End-to-end time of a click and a double click through the Python API,
against their floors of 10 ms and 70 ms (the pauses inside them).

    pip install . && python bench/bench_click.py [repetitions]

Elsewhere than Windows the test recorder stands in for user32.
"""

import ctypes
import sys

import ondrel
from timing import measure, summarise


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    if sys.platform != "win32":
        ctypes.CDLL(ondrel.__file__).ondrel_recorder_start()
    mouse = ondrel.Mouse()
    for name, operation, floor in (("click", mouse.click, 10.0), ("double_click", mouse.double_click, 70.0)):
        print(summarise(name, measure(operation, repetitions), floor))
    if sys.platform != "win32":
        ctypes.CDLL(ondrel.__file__).ondrel_recorder_stop()


if __name__ == "__main__":
    main()
