"""A write cut short lets go of everything: its server stops answering half-way through the text (the server still
acts on every request; only its answers are lost), the call fails, and once it has, no key is down on the server,
its keyboard mapping is the one from before, Caps Lock is on as it was, and the next write goes through."""

import subprocess
import sys
import time

import pytest
from muting_proxy import MutingProxy
from keyboard_probe import CAPS_KEYCODE, keyboard_state, pointer_mask, tap

NO_ANSWER = "the X server did not answer within 2 s"
# In a process of its own: the proxy's threads need this one's interpreter lock, which Computer() holds.
WRITER = """
from ondrel_computer import Computer
computer = Computer()
print("ready", flush=True)
for text in ["Жж Ab" * 400, "ok"]:
    try:
        computer.write(text)
        print("written", flush=True)
    except RuntimeError as error:
        print(error, flush=True)
    input()
"""


@pytest.fixture
def muting_proxy(own_server):
    proxy = MutingProxy(own_server)
    yield proxy
    proxy.close()


def test_a_write_whose_server_stops_answering_leaves_nothing_down(own_server, muting_proxy, monkeypatch):
    from Xlib import display
    monkeypatch.setenv("DISPLAY", muting_proxy.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    client = display.Display(own_server.display)
    tap(client, CAPS_KEYCODE)
    locked = pointer_mask(client)
    before = keyboard_state(own_server.display)
    writer = subprocess.Popen([sys.executable, "-c", WRITER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              text=True)
    assert writer.stdout.readline() == "ready\n"
    time.sleep(0.5)
    muting_proxy.muted = True
    assert NO_ANSWER in writer.stdout.readline()
    deadline = time.monotonic() + 2  # the proxy passes the last requests on a moment later
    while keyboard_state(own_server.display) != before and time.monotonic() < deadline:
        time.sleep(0.01)
    assert keyboard_state(own_server.display) == before
    assert pointer_mask(client) == locked
    muting_proxy.muted = False
    writer.stdin.write("\n")
    writer.stdin.flush()
    assert writer.stdout.readline() == "written\n"
    assert keyboard_state(own_server.display) == before and pointer_mask(client) == locked
    writer.stdin.close()
    writer.wait()
    writer.stdout.close()
    client.close()
