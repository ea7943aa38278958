"""The mouse on an X display: how soon another client sees a move, what creating a Mouse costs, and what one record
through the X sink costs next to one fake motion request that a client of our own sends with python-xlib, in the same
run; then how long creation takes to fail against servers that never let a connection finish (a local listener that
never accepts, a TCP listener on the loopback that accepts and never answers).

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . python-xlib && DISPLAY=:99 python bench/bench_x11.py [repetitions]

The pointer goes back and forth by one pixel, so it never reaches an edge.
"""

import os
import socket
import statistics
import sys
import time
from contextlib import contextmanager

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


@contextmanager
def stuck_local_display():
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    number = next(n for n in range(150, 400) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    listener.bind(f"/tmp/.X11-unix/X{number}")
    listener.listen(1)
    try:
        yield f":{number}"
    finally:
        listener.close()
        os.unlink(f"/tmp/.X11-unix/X{number}")


@contextmanager
def stuck_tcp_display():
    """Accepted by the kernel (the listen queue is long enough) and never answered."""
    def port_free(number):
        with socket.socket() as probe:
            return probe.connect_ex(("127.0.0.1", 6000 + number)) != 0

    number = next(n for n in range(150, 400) if port_free(n))
    listener = socket.socket()
    listener.bind(("127.0.0.1", 6000 + number))
    listener.listen(64)
    try:
        yield f"127.0.0.1:{number}"
    finally:
        listener.close()


def failing_creations(display_name, repetitions):
    saved = os.environ["DISPLAY"]
    os.environ["DISPLAY"] = display_name
    durations = []
    try:
        for _ in range(repetitions):
            start = time.perf_counter_ns()
            try:
                ondrel.Mouse()
            except RuntimeError:
                pass
            durations.append(time.perf_counter_ns() - start)
    finally:
        os.environ["DISPLAY"] = saved
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
    print(summary("creating a Mouse (connect, setup, XTEST)", timed(lambda step: ondrel.Mouse(), repetitions // 4)))
    print(summary("move_by(1, 0): one record through the X sink", timed(lambda step: mouse.move_by(step, 0),
                                                                        repetitions)))
    print(summary("python-xlib: fake motion + round trip", timed(fake_motion_and_sync, repetitions)))
    print(summary("python-xlib: fake motion + flush only", timed(fake_motion_and_flush, repetitions)))
    client.sync()
    for label, stuck in (("a local listener that never accepts", stuck_local_display),
                         ("a TCP listener that never answers", stuck_tcp_display)):
        with stuck() as display_name:
            print(summary(f"Mouse() failing: {label}", failing_creations(display_name, 5)))


if __name__ == "__main__":
    main()
