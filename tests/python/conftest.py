"""Shared fixtures: the extension's test recorder, reached through ctypes, and the objects under test."""

import ctypes
import json
import os
import sys

import ondrel
import pytest

MOUSE_EVENTS = {0x0002: "left down", 0x0004: "left up", 0x0008: "right down", 0x0010: "right up",
                0x0020: "middle down", 0x0040: "middle up"}
MOVE, WHEEL, KEYUP, EXTENDED = 0x0001, 0x0800, 0x0002, 0x0001


def describe(event):
    """An INPUT record as a short text ("move 5 -3", "wheel -240", "left down", "0x41 up", "0x25 down extended");
    a gamepad report as its bytes. Any field the text does not account for is shown, so it fails a comparison."""
    if event["type"] == "gamepad_report":
        return event["bytes"]
    flags = event["dwFlags"]
    if event["type"] == "mouse":
        dx, dy, data = event["dx"], event["dy"], event["mouseData"]
        if flags == MOVE:
            text, dx, dy = f"move {dx} {dy}", 0, 0
        elif flags == WHEEL:
            text, data = f"wheel {data}", 0
        else:
            text = MOUSE_EVENTS.get(flags, f"flags {flags:#x}")
        return text if dx == dy == data == 0 else f"{text} (dx {dx}, dy {dy}, data {data})"
    text = f"{event['wVk']:#04x} {'up' if flags & KEYUP else 'down'}{' extended' if flags & EXTENDED else ''}"
    return text if flags & ~(KEYUP | EXTENDED) == 0 and event["wScan"] == 0 else f"{text} ({event})"


class Recorder:
    """The extension's exported recorder: every INPUT record (and, with the gamepad switch on, every gamepad
    report) the module produced. start() forgets what was recorded and records from now on, and devices created
    meanwhile get no input system; stop() hands records to each device's system again (so those devices' sends fail);
    fail_call(n) makes the n-th call from now fail."""

    def __init__(self):
        lib = ctypes.CDLL(ondrel.__file__)
        lib.ondrel_recorder_events.restype = ctypes.c_char_p
        lib.ondrel_recorder_fail_call.argtypes = [ctypes.c_ulong]
        lib.ondrel_recorder_gamepad.argtypes = [ctypes.c_int]
        self.start, self.stop, self.fail_call = (
            lib.ondrel_recorder_start, lib.ondrel_recorder_stop, lib.ondrel_recorder_fail_call)
        self.gamepad, self._events = lib.ondrel_recorder_gamepad, lib.ondrel_recorder_events

    def events(self):
        return json.loads(self._events())

    def seen(self):
        return [describe(event) for event in self.events()]


# What creating a gamepad says where the system has none for us (and while the recorder is started without its
# gamepad switch, which hides the system).
NO_GAMEPAD = ("Platform not supported: the Linux gamepad needs a writable /dev/uinput (load the uinput module and "
              "grant write access, e.g. with a udev rule)" if sys.platform == "linux"
              else "Platform not supported: Windows gamepad requires ViGEmBus driver")

uinput_writable = sys.platform == "linux" and os.access("/dev/uinput", os.W_OK)

requires_linux_without_uinput = pytest.mark.skipif(
    sys.platform != "linux" or os.access("/dev/uinput", os.W_OK),
    reason="needs Linux without a writable /dev/uinput, so that hiding DISPLAY leaves no input system")


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
def mouse(recorder):
    return ondrel.Mouse()


@pytest.fixture
def keyboard(recorder):
    return ondrel.Keyboard()


@pytest.fixture
def pad(recorder):
    """A gamepad with the recording back end of the recorder's gamepad switch."""
    recorder.gamepad(True)
    gamepad = ondrel.Gamepad()
    recorder.start()
    return gamepad


@pytest.fixture
def agent(recorder):
    return ondrel.AgentHID()


def raises_exactly(exc_type, message, call, *args, **kwargs):
    """Calls `call(*args, **kwargs)`, which must raise exactly `exc_type` with exactly `message`; returns the
    exception."""
    with pytest.raises(exc_type) as info:
        call(*args, **kwargs)
    assert type(info.value) is exc_type
    assert str(info.value) == message
    return info.value
