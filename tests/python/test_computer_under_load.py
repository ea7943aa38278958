"""ondrel_computer beside other threads and processes, through its test recorder: holds that end on time while
another thread keeps the interpreter's lock, Ctrl-C and cancel() reaching a call (one waiting for its turn
included), and a forked child's inherited Computer."""

import json
import os
import select
import subprocess
import sys
import textwrap
import threading
import time

import pytest
from ondrel_computer import Computer
from recorded_holds import holds_ms
from test_computer import ComputerRecorder, describe, recorder  # noqa: F401 (a fixture)

# (what runs, the holds in ms it makes, in order)
HOLDS = [
    (lambda computer: computer.write("abcdef"), [3] * 6),
    (lambda computer: computer.write("ab", pace=0.05), [25, 25]),
    (lambda computer: computer.key("a"), [3]),
    (lambda computer: computer.key("ctrl+shift+t"), [3, 3, 3]),
    (lambda computer: computer.hold("shift", 0.2), [200]),
    (lambda computer: computer.click(), [10]),
]


def test_holds_end_on_time_beside_a_thread_that_keeps_the_lock(recorder):
    computer = Computer()
    done = threading.Event()

    def busy():  # one long C call after another, each keeping the interpreter's lock throughout
        while not done.is_set():
            sum(range(2 * 10**7))

    thread = threading.Thread(target=busy)
    thread.start()
    try:
        time.sleep(0.05)
        for call, expected in HOLDS:
            recorder.start()
            began = time.monotonic()
            call(computer)
            wall = time.monotonic() - began
            held = holds_ms(recorder.events())
            assert len(held) == len(expected), recorder.events()
            # A lock-taking stop check stretched these holds by 600 ms and more; the bound leaves room for a
            # loaded machine's scheduling (the figures are the bench's).
            for hold, length in zip(held, expected):
                assert length <= hold < length + 200, (held, expected)
            # The call takes the lock back at its end, once the busy thread's C call lets go of it.
            assert wall < sum(expected) / 1000 + 2
    finally:
        done.set()
        thread.join()


def test_cancel_stops_the_call_of_another_thread(recorder):
    computer = Computer()
    computer.cancel()  # no call runs: nothing to stop, nothing later stopped
    raised = []

    def hold():
        try:
            computer.hold("ctrl", 30)
        except RuntimeError as error:
            raised.append(str(error))

    thread = threading.Thread(target=hold)
    thread.start()
    time.sleep(0.2)
    began = time.monotonic()
    computer.cancel()
    thread.join(timeout=5)
    assert not thread.is_alive() and time.monotonic() - began < 5
    assert raised == ["stopped"]
    computer.key("a")
    assert ComputerRecorder().seen() == "0xa2/0x1d ^0xa2/0x1d A/0x1e ^A/0x1e"


# Ctrl-C while a call waits for another thread's hold: both calls stop, the one of the main thread with
# KeyboardInterrupt. Windows raises SIGINT through its C runtime, in the calling thread.
WAITER = textwrap.dedent("""
    import ctypes, json, os, signal, sys, threading, time
    import ondrel_computer._native
    lib = ctypes.CDLL(ondrel_computer._native.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    computer = ondrel_computer.Computer()
    outcome = {}

    def hold():
        try:
            computer.hold("shift", 30)
        except RuntimeError as error:
            outcome["holder"] = str(error)

    def interrupt():
        time.sleep(0.3)
        if sys.platform == "win32":
            signal.raise_signal(signal.SIGINT)
        else:
            os.kill(os.getpid(), signal.SIGINT)

    holder = threading.Thread(target=hold)
    holder.start()
    deadline = time.monotonic() + 10
    while not json.loads(lib.ondrel_recorder_events()) and time.monotonic() < deadline:
        time.sleep(0.01)  # until the holder's Shift is down: its call has the turn
    threading.Thread(target=interrupt).start()
    began = time.monotonic()
    try:
        computer.key("a")
    except KeyboardInterrupt:
        outcome["waited"] = time.monotonic() - began
    holder.join()
    print(json.dumps([outcome, json.loads(lib.ondrel_recorder_events())]), flush=True)
""")


def test_ctrl_c_reaches_a_call_waiting_for_its_turn():
    out = subprocess.run([sys.executable, "-c", WAITER], capture_output=True, text=True, timeout=20).stdout
    outcome, events = json.loads(out)
    assert outcome["holder"] == "stopped"
    assert 0.3 <= outcome["waited"] < 3  # long before the 30 s hold would end
    assert " ".join(describe(event) for event in events) == "0xa0/0x2a ^0xa0/0x2a"


@pytest.mark.skipif(not hasattr(os, "fork"), reason="needs os.fork")
@pytest.mark.filterwarnings("ignore::DeprecationWarning")  # fork() beside a thread, on purpose
def test_a_forked_child_neither_hangs_nor_lets_go_of_the_parents_presses(recorder):
    computer = Computer()
    computer.mouse_down()
    holder = threading.Thread(target=computer.hold, args=("shift", 0.5))  # its turn is taken at the fork
    holder.start()
    time.sleep(0.1)
    reader, writer = os.pipe()
    pid = os.fork()
    if pid == 0:  # the child: report, and leave without pytest's machinery
        try:
            os.close(reader)
            seen = len(recorder.events())
            try:
                computer.key("a")
                answer = "no error"
            except RuntimeError as error:
                answer = str(error)
            del computer
            __import__("gc").collect()
            os.write(writer, json.dumps([answer, len(recorder.events()) - seen]).encode())
        finally:
            os._exit(0)
    os.close(writer)
    assert select.select([reader], [], [], 10)[0], "the child hangs"
    with os.fdopen(reader) as pipe:
        answer, sent_in_child = json.loads(pipe.read())
    assert os.waitpid(pid, 0)[1] == 0
    holder.join()
    assert answer == (f"this Computer belongs to its parent process (pid {os.getpid()}): a forked child creates "
                      "a Computer of its own")
    assert sent_in_child == 0
    computer.mouse_up()
    assert recorder.seen() == "left down 0xa0/0x2a ^0xa0/0x2a left up"
