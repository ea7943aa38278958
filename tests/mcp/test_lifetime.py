"""The server's end: when its client closes its input, or on SIGTERM or Ctrl-C, also in the middle of a hold_key or
a wait, it exits within a second, with nothing held on the X server, having written nothing but the protocol on
its stdout. The server runs under plain pipes here, so that the time to its exit is the process's own."""

import json
import os
import queue
import signal
import subprocess
import threading
import time

import pytest
from conftest import SERVER, client_environment

ANSWER_TIMEOUT_S = 20
EXIT_WITHIN_S = 1.0


def can_stop_a_call():
    from ondrel_computer import Computer
    return hasattr(Computer, "cancel")


class PipedServer:
    """The server with the environment an MCP client gives it, initialized over JSON-RPC lines."""

    def __init__(self, display):
        environment = {name: os.environ[name] for name in ["HOME", "PATH"] if name in os.environ}
        self.process = subprocess.Popen(SERVER, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env={**environment, **client_environment({"DISPLAY": display})})
        self.lines = queue.Queue()
        self.read_lines = []
        threading.Thread(target=self._read, daemon=True).start()
        self.next_id = 0
        self.request("initialize", {"protocolVersion": "2025-11-25", "capabilities": {},
                                    "clientInfo": {"name": "tests", "version": "1"}})
        self.send({"jsonrpc": "2.0", "method": "notifications/initialized"})

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def send(self, message):
        self.process.stdin.write(json.dumps(message).encode() + b"\n")
        self.process.stdin.flush()

    def request(self, method, params, answer=True):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        while answer:
            line = self.lines.get(timeout=ANSWER_TIMEOUT_S)
            assert line is not None, "the server ended before it answered"
            self.read_lines.append(line)
            if json.loads(line).get("id") == self.next_id:
                return json.loads(line)
        return None

    def end(self, how):
        """Ends the server `how` ("stdin closed" or a signal's name); the seconds it took to exit."""
        started = time.monotonic()
        if how == "stdin closed":
            self.process.stdin.close()
        else:
            self.process.send_signal(getattr(signal, how))
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        return time.monotonic() - started

    def stdout_and_stderr(self):
        rest = []
        while (line := self.lines.get(timeout=ANSWER_TIMEOUT_S)) is not None:
            rest.append(line)
        return self.read_lines + rest, self.process.stderr.read().decode()


def wait_until(condition, what):
    deadline = time.monotonic() + ANSWER_TIMEOUT_S
    while not condition():
        assert time.monotonic() < deadline, f"{what} within {ANSWER_TIMEOUT_S} s"
        time.sleep(0.01)


CALLS = {"idle": None, "hold_key": {"name": "hold_key", "arguments": {"chord": "ctrl+shift", "seconds": 30}},
         "wait": {"name": "wait", "arguments": {"seconds": 30}}}
STATUS = {"stdin closed": 0, "SIGTERM": 128 + signal.SIGTERM, "SIGINT": 128 + signal.SIGINT}


@pytest.mark.parametrize("how, during", [("stdin closed", "idle"), ("stdin closed", "hold_key"),
                                         ("stdin closed", "wait"), ("SIGTERM", "hold_key"), ("SIGTERM", "wait"),
                                         ("SIGINT", "idle"), ("SIGINT", "hold_key")])
def test_the_server_exits_within_a_second_with_nothing_held(x_server, x_state, how, during):
    if during == "hold_key" and not can_stop_a_call():
        pytest.skip("needs Computer.cancel()")
    x_state.warp(1500, 1000)
    server = PipedServer(x_server.display)
    assert server.request("tools/call", {"name": "move", "arguments": {"x": 1400, "y": 900}})["result"]
    if CALLS[during]:
        server.request("tools/call", CALLS[during], answer=False)
        if during == "hold_key":
            wait_until(lambda: len(x_state.held()[0]) == 2, "the hold did not press its two keys")
        else:
            time.sleep(0.2)
    took = server.end(how)
    lines, errors = server.stdout_and_stderr()
    assert took < EXIT_WITHIN_S and server.process.returncode == STATUS[how], (took, server.process.returncode,
                                                                               errors)
    assert x_state.held() == ([], []) and x_state.pointer() == (1400, 900)
    assert all(json.loads(line)["jsonrpc"] == "2.0" for line in lines), lines
    assert "Traceback" not in errors, errors
