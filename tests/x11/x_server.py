"""An Xvfb of the tests' own, on a display number that no other server uses."""

import os
import signal
import subprocess
import time

FIRST_NUMBER, LAST_NUMBER = 90, 400
READY_TIMEOUT_S = 20


def socket_path(number):
    return f"/tmp/.X11-unix/X{number}"


def taken(number):
    return os.path.exists(socket_path(number)) or os.path.exists(f"/tmp/.X{number}-lock")


class XServer:
    """Xvfb with a 3000x2000 screen, started on a free display number, that keeps its state when its last client
    leaves (a reset would cut the connections that are being opened then); `extra` arguments are passed on
    (for example "-extension", "XTEST" to start it without XTEST). The number stays the same across
    restart(), so a client that names the display can reach the new server."""

    def __init__(self, *extra):
        self.extra = extra
        self.number = None
        self.process = None

    @property
    def display(self):
        return f":{self.number}"

    def start(self):
        for number in range(FIRST_NUMBER + os.getpid() % 100, LAST_NUMBER):
            if not taken(number):
                self.number = number
                if self._launch():
                    return self
        raise RuntimeError("no free display number for Xvfb")

    def restart(self):
        self.stop()
        if not self._launch():
            raise RuntimeError(f"Xvfb did not start again on {self.display}")

    def pause(self):
        os.kill(self.process.pid, signal.SIGSTOP)

    def resume(self):
        os.kill(self.process.pid, signal.SIGCONT)

    def stop(self):
        if self.process is None or self.process.poll() is not None:
            return
        self.resume()  # a stopped server would not act on SIGTERM
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def _launch(self):
        """Starts Xvfb and waits for its socket; False if it ended first (another server took the number)."""
        self.process = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "3000x2000x24", "-nolisten", "tcp", "-noreset",
             *self.extra],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + READY_TIMEOUT_S
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                return False
            if os.path.exists(socket_path(self.number)):
                return True
            time.sleep(0.02)
        self.stop()
        raise RuntimeError(f"Xvfb on {self.display} made no socket in {READY_TIMEOUT_S} s")
