"""Writers that share one X display take turns with its spare keycodes: two Computers in two threads, or in two
processes, writing Cyrillic (on no key of the US layout) at the same moment into one Tk window both arrive whole,
each in its own order, and the keymap is the same afterwards; a writer killed mid-text leaves its keys down and its
keycodes bound only until the next Computer on that display puts them back."""

import signal
import subprocess
import sys
import threading
import time

import pytest
from consumers import TkKeyLog, wait_until
from keyboard_probe import keyboard_state
from ondrel_computer import Computer

FIRST, SECOND = "жзийкл", "фхцчшщ"
TRIALS = 3
WRITE = "import sys; from ondrel_computer import Computer; Computer().write(sys.argv[1])"


@pytest.fixture
def window(on_own_display, tmp_path):
    own_server = on_own_display
    log = TkKeyLog(own_server.display, tmp_path)
    yield log, own_server.display
    log.close()


def in_threads(texts):
    computers = [Computer() for _ in texts]
    start = threading.Barrier(len(texts))
    failures = []

    def write(computer, text):
        start.wait()
        try:
            computer.write(text)
        except Exception as error:  # noqa: BLE001 (reported below)
            failures.append(error)

    threads = [threading.Thread(target=write, args=pair) for pair in zip(computers, texts)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert not failures


def in_processes(texts):
    writers = [subprocess.Popen([sys.executable, "-c", WRITE, text], stderr=subprocess.PIPE, text=True)
               for text in texts]
    for writer in writers:
        _, errors = writer.communicate(timeout=60)
        assert writer.returncode == 0 and not errors


@pytest.mark.parametrize("run_writers", [in_threads, in_processes])
def test_two_writers_at_once_both_arrive_in_order_and_the_keymap_is_restored(run_writers, window):
    log, display_name = window
    before = keyboard_state(display_name)
    for trial in range(1, TRIALS + 1):
        run_writers([FIRST, SECOND])
        typed = log.wait_for_text(trial * len(FIRST + SECOND))
        assert len(typed) == trial * len(FIRST + SECOND)
        assert "".join(c for c in typed if c in FIRST) == FIRST * trial
        assert "".join(c for c in typed if c in SECOND) == SECOND * trial
    assert keyboard_state(display_name) == before


def killed_mid_text(log, display_name, delay_s):
    """The keyboard state once a writer of a long text was killed `delay_s` after its first 40 characters."""
    typed = len(log.text())
    writer = subprocess.Popen([sys.executable, "-c", WRITE, "жЖ" * 2000])
    try:
        assert wait_until(lambda: len(log.text()) >= typed + 40, 20), "the writer did not start typing"
        time.sleep(delay_s)
    finally:
        writer.send_signal(signal.SIGKILL)
        writer.wait()
    return keyboard_state(display_name)


def test_what_a_killed_writer_left_is_put_back_by_the_next_computer(window):
    log, display_name = window
    before = keyboard_state(display_name)
    for attempt in range(8):  # until the kill comes while a key is down (half of the time)
        mapping, down = killed_mid_text(log, display_name, attempt * 0.0017)
        if down:
            break
    assert mapping != before[0]  # its bindings outlived it
    Computer()
    assert keyboard_state(display_name) == before
