"""Real X applications that the tests type into, each started on a display of the tests' own and read back from
outside: a Tk window that logs every key press (tk_key_log.py), and xterm running `cat` into a file."""

import json
import os
import select
import subprocess
import sys
import time

START_TIMEOUT_S = 20


def wait_until(condition, timeout_s):
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


class Consumer:
    """An application of the test's own that shows, as text(), what it was typed; self.process runs it."""

    def wait_for_text(self, length, timeout_s=START_TIMEOUT_S):
        wait_until(lambda: len(self.text()) >= length, timeout_s)
        return self.text()

    def close(self):
        self.process.kill()
        self.process.wait()
        if self.process.stdout is not None:
            self.process.stdout.close()


class TkKeyLog(Consumer):
    """The Tk window of tk_key_log.py; presses() are the key presses it has seen: (keysym name, text typed)."""

    def __init__(self, display, directory):
        self.log = directory / "tk_keys.jsonl"
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(os.path.dirname(__file__), "tk_key_log.py"), str(self.log)],
            stdout=subprocess.PIPE, text=True, env=dict(os.environ, DISPLAY=display))
        ready, _, _ = select.select([self.process.stdout], [], [], START_TIMEOUT_S)
        assert ready and self.process.stdout.readline() == "ready\n", "the Tk window did not come up"

    def presses(self):
        if not self.log.exists():
            return []
        whole_lines = self.log.read_text(encoding="utf-8").split("\n")[:-1]  # the last one may be half-written
        return [(entry["keysym"], entry["char"]) for entry in map(json.loads, whole_lines)]

    def text(self):
        """The text typed, Return as "\\n"."""
        return "".join("\n" if char == "\r" else char for _, char in self.presses())



class XtermCat(Consumer):
    """xterm running `cat` into a file, with the keyboard focus, its terminal in UTF-8 without echo: the file holds
    what was typed, line by line (Return ends a line as "\\n")."""

    def __init__(self, display, directory):
        self.output = directory / "xterm.txt"
        self.ready = directory / "xterm.ready"
        command = f"stty -echo && : > '{self.ready}' && exec cat > '{self.output}'"
        environment = dict(os.environ, DISPLAY=display, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.process = subprocess.Popen(["xterm", "-u8", "-geometry", "100x30+0+0", "-e", "sh", "-c", command],
                                        env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        from Xlib import X, display as xdisplay
        client = xdisplay.Display(display)
        try:
            window = None

            def found():
                nonlocal window
                window = self._viewable_xterm(client)
                return window is not None and self.ready.exists()

            assert wait_until(found, START_TIMEOUT_S), "xterm did not come up"
            window.set_input_focus(X.RevertToParent, X.CurrentTime)
            client.sync()
        finally:
            client.close()

    @staticmethod
    def _viewable_xterm(client):
        from Xlib import X
        for window in client.screen().root.query_tree().children:
            wm_class = window.get_wm_class()
            if wm_class and "XTerm" in wm_class and window.get_attributes().map_state == X.IsViewable:
                return window
        return None

    def text(self):
        return self.output.read_text(encoding="utf-8") if self.output.exists() else ""

