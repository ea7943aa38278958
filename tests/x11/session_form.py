"""tk_session_form.py run for a test: the places of its widgets, and a function that waits for its reports."""

import contextlib
import json
import os
import select
import subprocess
import sys
import time

TIMEOUT_S = 20
FORM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tk_session_form.py")


@contextlib.contextmanager
def session_form(reports, env=None):
    """Runs the form, which appends one JSON line to `reports` per report; yields its places and a function
    that waits for its first `count` reports."""
    window = subprocess.Popen([sys.executable, FORM, str(reports)], stdout=subprocess.PIPE, text=True, env=env)
    try:
        ready, _, _ = select.select([window.stdout], [], [], TIMEOUT_S)
        assert ready, "the Tk form did not come up"

        def reported(count):
            deadline = time.monotonic() + TIMEOUT_S
            while time.monotonic() < deadline:
                lines = reports.read_text(encoding="utf-8").splitlines() if reports.exists() else []
                if len(lines) >= count and lines[count - 1].endswith("}"):
                    return [json.loads(line) for line in lines[:count]]
                time.sleep(0.05)
            raise AssertionError(f"the form did not report {count} times within {TIMEOUT_S} s")

        yield json.loads(window.stdout.readline()), reported
    finally:
        window.kill()
        window.wait()
        window.stdout.close()
