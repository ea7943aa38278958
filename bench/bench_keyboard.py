"""End-to-end time of keyboard operations through the Python API, against
their floors: a press 15 ms (10 ms between its reports, 5 ms inside the
back end), typing 20 ms per unshifted character (the press plus 5 ms after
it), a combination 15 ms (one key held in three reports: only the middle one
holds a key).

    pip install . && python bench/bench_keyboard.py [repetitions]

Elsewhere than Windows the test recorder stands in for user32.
"""

import ctypes
import statistics
import sys
import time

import ondrel

TEXT = "hello world"


def measure(operation, repetitions):
    durations = []
    for _ in range(repetitions):
        start = time.perf_counter_ns()
        operation()
        durations.append((time.perf_counter_ns() - start) / 1e6)
    durations.sort()
    return statistics.median(durations), durations[int(0.99 * (len(durations) - 1))], durations[0]


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 100
    recorder = ctypes.CDLL(ondrel.__file__) if sys.platform != "win32" else None
    if recorder:
        recorder.ondrel_recorder_start()
    keyboard = ondrel.Keyboard()
    cases = (
        ("press", lambda: keyboard.press("a"), 15.0),
        ("combo", lambda: keyboard.combo(["ctrl"], "c"), 15.0),
        (f"type_text({len(TEXT)})", lambda: keyboard.type_text(TEXT), 20.0 * len(TEXT)),
    )
    for name, operation, floor in cases:
        median, p99, fastest = measure(operation, repetitions)
        print(f"{name:>14}: median {median:8.3f} ms, p99 {p99:8.3f} ms, min {fastest:8.3f} ms "
              f"(floor {floor:.0f} ms, median over floor {median - floor:+.3f} ms, {repetitions} runs)")
        if recorder:
            recorder.ondrel_recorder_start()  # keep the journal small
    if recorder:
        recorder.ondrel_recorder_stop()


if __name__ == "__main__":
    main()
