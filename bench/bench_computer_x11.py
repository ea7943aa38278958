"""ondrel_computer on an X display, in one run: Computer.move_to (the screen's size, then an absolute XTEST motion
and a QueryPointer that sees it land) next to python-xlib's own absolute fake motion and a round trip; and
Computer.write of 200 mixed characters (ASCII, Shift, Latin-1, CJK, emoji: some on spare keycodes) against its
floor at the default pace: 6 ms a character (3 ms held, 3 ms after).

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . python-xlib && DISPLAY=:99 python bench/bench_computer_x11.py [moves] [writes]

The pointer goes back and forth between two neighbouring pixels.
"""

import os
import statistics
import sys
import time

from ondrel_computer import Computer
from Xlib import X, display
from Xlib.ext import xtest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from timing import measure, summarise  # noqa: E402

CHARACTER_FLOOR_MS = 6
TEXT = ("Grüße, 世界! 😀 @€ " * 13)[:200]


def microseconds(label, durations_ns):
    values = sorted(durations_ns)
    median = statistics.median(values) / 1e3
    p99 = values[int(0.99 * (len(values) - 1))] / 1e3
    return median, f"{label:>40}: median {median:8.1f} us, p99 {p99:8.1f} us, min {values[0] / 1e3:8.1f} us"


def timed(operation, repetitions):
    durations = []
    for i in range(repetitions):
        start = time.perf_counter_ns()
        operation(500 + i % 2)
        durations.append(time.perf_counter_ns() - start)
    return durations


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    moves = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    writes = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    client = display.Display()
    computer = Computer()

    def xlib_move(x):
        xtest.fake_input(client, X.MotionNotify, detail=False, x=x, y=500)
        client.sync()

    print(f"display {os.environ['DISPLAY']}, {moves} moves each, {writes} writes of {len(TEXT)} characters")
    ours, line = microseconds("Computer.move_to(x, y)", timed(lambda x: computer.move_to(x, 500), moves))
    print(line)
    theirs, line = microseconds("python-xlib: fake_input + sync", timed(xlib_move, moves))
    print(line)
    print(f"{'':>40}  move_to over python-xlib: {ours / theirs:.3f}x (goal: within 1.1x)")

    floor_ms = CHARACTER_FLOOR_MS * len(TEXT)
    durations = measure(lambda: computer.write(TEXT), writes)
    print(summarise("write(200)", durations, floor_ms))
    print(f"{'':>14}  write: {statistics.median(durations) / len(TEXT):.2f} ms a character (goal: at most 7)")


if __name__ == "__main__":
    main()
