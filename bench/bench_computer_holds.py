"""How long ondrel_computer holds each press, against the length asked for, on a quiet interpreter and beside a
thread that keeps the interpreter's lock (one long C call after another, as JSON parsing or image work does):
write's characters (3 ms), key (3 ms), hold (50 ms) and click (10 ms), read off the test recorder's timestamps.

    pip install . && python bench/bench_computer_holds.py [repetitions]
"""

import ctypes
import json
import os
import statistics
import sys
import threading

import ondrel_computer._native
from ondrel_computer import Computer

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "python"))
from recorded_holds import holds_ms  # noqa: E402

CALLS = [  # (label, call, the hold asked for in ms)
    ("write", lambda computer: computer.write("abcdef"), 3),
    ("key", lambda computer: computer.key("a"), 3),
    ("hold 50 ms", lambda computer: computer.hold("shift", 0.05), 50),
    ("click", lambda computer: computer.click(), 10),
]


def measure(recorder, computer, call, repetitions):
    holds = []
    for _ in range(repetitions):
        recorder.ondrel_recorder_start()
        call(computer)
        holds.extend(hold for hold in holds_ms(json.loads(recorder.ondrel_recorder_events())) if hold is not None)
    return holds


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 50
    recorder = ctypes.CDLL(ondrel_computer._native.__file__)
    recorder.ondrel_recorder_events.restype = ctypes.c_char_p
    recorder.ondrel_recorder_start()
    computer = Computer()
    done = threading.Event()

    def busy():
        while not done.is_set():
            sum(range(2 * 10**7))

    for beside in ("quiet", "busy thread"):
        thread = threading.Thread(target=busy) if beside == "busy thread" else None
        if thread:
            thread.start()
        try:
            for label, call, asked in CALLS:
                holds = measure(recorder, computer, call, repetitions)
                print(f"{beside:>11} {label:>10}: asked {asked:3d} ms, median {statistics.median(holds):8.3f} ms, "
                      f"max {max(holds):8.3f} ms ({len(holds)} presses)")
        finally:
            done.set()
            if thread:
                thread.join()
            done.clear()
    recorder.ondrel_recorder_stop()


if __name__ == "__main__":
    main()
