"""End-to-end time of a click and a double click through the Python API,
against their floors of 10 ms and 70 ms (the pauses inside them).

    pip install . && python bench/bench_click.py [repetitions]

Elsewhere than Windows the test recorder stands in for user32.
"""

import ctypes
import statistics
import sys
import time

import ondrel


def measure(operation, repetitions):
    durations = []
    for _ in range(repetitions):
        start = time.perf_counter_ns()
        operation()
        durations.append((time.perf_counter_ns() - start) / 1e6)
    durations.sort()
    return statistics.median(durations), durations[int(0.99 * (len(durations) - 1))], durations[0]


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    if sys.platform != "win32":
        ctypes.CDLL(ondrel.__file__).ondrel_recorder_start()
    mouse = ondrel.Mouse()
    for name, operation, floor in (("click", mouse.click, 10.0), ("double_click", mouse.double_click, 70.0)):
        median, p99, fastest = measure(operation, repetitions)
        print(f"{name:>12}: median {median:7.3f} ms, p99 {p99:7.3f} ms, min {fastest:7.3f} ms "
              f"(floor {floor:.0f} ms, median over floor {median - floor:+.3f} ms, {repetitions} runs)")
    if sys.platform != "win32":
        ctypes.CDLL(ondrel.__file__).ondrel_recorder_stop()


if __name__ == "__main__":
    main()
