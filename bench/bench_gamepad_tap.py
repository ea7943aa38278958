"""Hold time of a gamepad tap (between its two reports) and the end-to-end
time of the call, against the 50 ms floor of the hold.

    pip install . && python bench/bench_gamepad_tap.py [repetitions]

No gamepad can be created on any system, so this runs only where the test
recorder exists (not on Windows): its gamepad switch installs a back end that
time-stamps every report.
"""

import ctypes
import json
import statistics
import sys
import time

import ondrel

FLOOR_MS = 50.0


def summary(label, values):
    values = sorted(values)
    median = statistics.median(values)
    return (f"{label:>9}: median {median:7.3f} ms, p99 {values[int(0.99 * (len(values) - 1))]:7.3f} ms, "
            f"min {values[0]:7.3f} ms (median over floor {median - FLOOR_MS:+.3f} ms, {len(values)} runs)")


def main():
    if sys.platform == "win32":
        sys.exit("needs the test recorder, which Windows builds leave out")
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 100
    recorder = ctypes.CDLL(ondrel.__file__)
    recorder.ondrel_recorder_events.restype = ctypes.c_char_p
    recorder.ondrel_recorder_gamepad(1)
    pad = ondrel.Gamepad()
    holds, calls = [], []
    for _ in range(repetitions):
        recorder.ondrel_recorder_start()
        start = time.perf_counter_ns()
        pad.tap("a")
        calls.append((time.perf_counter_ns() - start) / 1e6)
        down, up = json.loads(recorder.ondrel_recorder_events())
        holds.append((up["t_ns"] - down["t_ns"]) / 1e6)
    recorder.ondrel_recorder_gamepad(0)
    recorder.ondrel_recorder_stop()
    print(summary("hold", holds))
    print(summary("tap call", calls))


if __name__ == "__main__":
    main()
