"""The observer process (ONDREL_INPUT_OBSERVER names input_observer_process.exe): its low-level hooks and focused
window covering the screen see what reaches the system from this one."""

import json
import os
import queue
import subprocess
import threading

import pytest

DEADLINE_S = 30


class Observer:
    """The observer process: report() says what arrived since the previous report; centre is where it put the
    pointer, screen the virtual screen as (left, top, width, height)."""

    def __init__(self, program):
        self.process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        encoding="utf-8")  # the observer writes UTF-8, whatever the code page
        self.lines = queue.Queue()
        threading.Thread(target=self._forward_lines, daemon=True).start()
        try:
            ready = self._read()
            self.centre, self.screen = tuple(ready["centre"]), tuple(ready["screen"])
        except BaseException:
            self.process.kill()
            raise

    def _forward_lines(self):
        for line in self.process.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def _read(self):
        try:
            line = self.lines.get(timeout=DEADLINE_S)
        except queue.Empty:
            pytest.fail(f"the observer said nothing for {DEADLINE_S} s")
        if line is None:
            pytest.fail(f"the observer ended with exit code {self.process.wait(DEADLINE_S)}")
        return json.loads(line)

    def report(self):
        self.process.stdin.write("report\n")
        self.process.stdin.flush()
        return self._read()

    def close(self):
        try:
            self.process.communicate("quit\n", timeout=DEADLINE_S)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


@pytest.fixture
def observer():
    program = os.environ.get("ONDREL_INPUT_OBSERVER")
    if not program:
        pytest.skip("ONDREL_INPUT_OBSERVER does not name the observer program")
    if os.name != "nt":
        pytest.skip("injects into Windows' user32")
    watcher = Observer(program)
    yield watcher
    watcher.close()
