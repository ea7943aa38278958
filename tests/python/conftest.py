"""Shared fixtures: the test recorder of the extension, reached through ctypes."""

import ctypes
import json

import ondrel
import pytest


class Recorder:
    """The extension's exported recorder: every INPUT record the module
    produced, and a way to make the n-th SendInput call fail."""

    def __init__(self):
        self._lib = ctypes.CDLL(ondrel.__file__)
        self._lib.ondrel_recorder_events.restype = ctypes.c_char_p
        self._lib.ondrel_recorder_fail_call.argtypes = [ctypes.c_ulong]
        self._lib.ondrel_recorder_gamepad.argtypes = [ctypes.c_int]

    def start(self):
        self._lib.ondrel_recorder_start()

    def stop(self):
        self._lib.ondrel_recorder_stop()

    def fail_call(self, n):
        self._lib.ondrel_recorder_fail_call(n)

    def gamepad(self, on):
        self._lib.ondrel_recorder_gamepad(1 if on else 0)

    def events(self):
        return json.loads(self._lib.ondrel_recorder_events())

    def clear(self):
        """Forgets what was recorded so far and keeps recording."""
        self.start()


@pytest.fixture
def recorder():
    rec = Recorder()
    rec.fail_call(0)
    rec.start()
    yield rec
    rec.fail_call(0)
    rec.gamepad(False)
    rec.stop()


@pytest.fixture
def detached_recorder():
    """The recorder stopped: SendInput fails as on a system without user32."""
    rec = Recorder()
    rec.fail_call(0)
    rec.stop()
    yield rec
