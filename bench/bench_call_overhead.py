"""The cost of one call into the module, through the test recorder (no system input), next to json.loads of the
same action texts, in the same interpreter and run: execute_json of a typical action and of a failing one, and
Mouse.move_by(1, 0). Medians of 15 rounds, per call. Two builds compare best run after run, alternating
(PYTHONPATH=build/A, then build/B, several times): the machine's other load moves single figures a lot.

    python bench/bench_call_overhead.py                  (with ondrel installed)
    wine build/windows-python/python/python.exe bench/bench_call_overhead.py </dev/null | cat
                                                          (Windows CPython, after scripts/windows-python-tests)
"""

import ctypes
import json
import os
import platform
import statistics
import sys
import timeit

import ondrel

TYPICAL = '{"action": "mouse_move", "x": 10, "y": -5}'
FAILING = '{"action": "mouse_move", "x": 10}'  # missing field `y`
ROUNDS, CALLS = 15, 20000


def median_ns(statement, names, recorder):
    # Each round starts the recorder afresh, so that its journal does not grow from round to round.
    timer = timeit.Timer(statement, setup=recorder.ondrel_recorder_start, globals=names)
    return statistics.median(timer.repeat(repeat=ROUNDS, number=CALLS)) / CALLS * 1e9


def main():
    recorder = ctypes.CDLL(ondrel.__file__)
    recorder.ondrel_recorder_start()
    agent, mouse = ondrel.AgentHID(), ondrel.Mouse()
    assert json.loads(agent.execute_json(TYPICAL))["success"]
    assert not json.loads(agent.execute_json(FAILING))["success"]
    names = {"agent": agent, "mouse": mouse, "loads": json.loads, "typical": TYPICAL, "failing": FAILING}
    rows = [
        ("execute_json (typical)", "agent.execute_json(typical)"),
        ("json.loads (typical)", "loads(typical)"),
        ("execute_json (failing)", "agent.execute_json(failing)"),
        ("json.loads (failing text)", "loads(failing)"),
        ("Mouse.move_by(1, 0)", "mouse.move_by(1, 0)"),
    ]
    print(f"Python {sys.version.split()[0]} on {platform.system()}, {os.path.basename(ondrel.__file__)}")
    for label, statement in rows:
        print(f"{label:>26}: {median_ns(statement, names, recorder):8.0f} ns")
    recorder.ondrel_recorder_stop()


if __name__ == "__main__":
    main()
