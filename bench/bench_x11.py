"""The mouse on an X display: how soon another client sees a move, and what one record through the X sink costs
next to one fake motion request that a client of our own sends with python-xlib, in the same run.

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . python-xlib && DISPLAY=:99 python bench/bench_x11.py [repetitions]

The pointer goes back and forth by one pixel, so it never reaches an edge.
"""

import os
import statistics
import sys
import time

import ondrel
from Xlib import X, display
from Xlib.ext import xtest


def summary(label, durations_ns):
    values = sorted(durations_ns)
    median = statistics.median(values) / 1e3
    p99 = values[int(0.99 * (len(values) - 1))] / 1e3
    return f"{label:>44}: median {median:8.1f} us, p99 {p99:8.1f} us, min {values[0] / 1e3:8.1f} us ({len(values)} runs)"


def seen_after_move(mouse, client, repetitions):
    """From the call of move_by to the moment another client's QueryPointer shows the new position; and in how many
    runs the first query after the call already showed it."""
    root = client.screen().root
    durations, first_query_saw_it = [], 0
    for i in range(repetitions):
        step = 1 if i % 2 == 0 else -1
        before = root.query_pointer().root_x
        start = time.perf_counter_ns()
        mouse.move_by(step, 0)
        queries = 1
        while root.query_pointer().root_x == before:
            queries += 1
        durations.append(time.perf_counter_ns() - start)
        first_query_saw_it += queries == 1
    return durations, first_query_saw_it


def timed(operation, repetitions):
    durations = []
    for i in range(repetitions):
        start = time.perf_counter_ns()
        operation(1 if i % 2 == 0 else -1)
        durations.append(time.perf_counter_ns() - start)
    return durations


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    client = display.Display()
    client.screen().root.warp_pointer(500, 500)
    client.sync()
    mouse = ondrel.Mouse()

    def fake_motion_and_sync(step):
        xtest.fake_input(client, X.MotionNotify, detail=True, x=step, y=0)
        client.sync()

    def fake_motion_and_flush(step):
        xtest.fake_input(client, X.MotionNotify, detail=True, x=step, y=0)
        client.flush()

    print(f"display {os.environ['DISPLAY']}, {repetitions} runs each")
    seen, first_query_saw_it = seen_after_move(mouse, client, repetitions)
    print(summary("move_by(1, 0) until another client sees it", seen))
    print(f"{'':>44}  (the first query after the call saw it in {first_query_saw_it} of {repetitions} runs)")
    print(summary("creating a Mouse (connect, XTEST, probe)", timed(lambda step: ondrel.Mouse(), repetitions // 4)))
    print(summary("move_by(1, 0): one record through the X sink", timed(lambda step: mouse.move_by(step, 0),
                                                                        repetitions)))
    print(summary("python-xlib: fake motion + round trip", timed(fake_motion_and_sync, repetitions)))
    print(summary("python-xlib: fake motion + flush only", timed(fake_motion_and_flush, repetitions)))
    client.sync()


if __name__ == "__main__":
    main()
