"""A display that cannot be reached, lacks XTEST, stops answering or goes away: the call fails, the process lives
and prints nothing, and the device works again once a server is back."""

import socket
import struct
import time

import pytest
import ondrel
from conftest import START, environment_for, observe
from muting_proxy import MutingProxy
from x_server import XServer

SEND_FAILED = "RuntimeError: Failed to send report: {}"
NOT_SUPPORTED = "RuntimeError: Platform not supported: no X display with the XTEST extension ({})"


@pytest.fixture
def server_without_xtest():
    server = XServer("-extension", "XTEST").start()
    yield server
    server.stop()


@pytest.fixture
def display_without_server():
    server = XServer().start()
    server.stop()  # its number stays free for the test
    return server.display


def test_creation_names_a_display_that_cannot_be_reached(drive, display_without_server):
    driver = drive(display_without_server)
    missing = NOT_SUPPORTED.format(f"the display {display_without_server} cannot be reached")
    assert driver.ask("ondrel.Mouse()") == missing
    assert driver.ask("ondrel.Keyboard()") == missing
    result = driver.ask("""ondrel.AgentHID().execute_json('["mouse_click", "left"]')""")
    assert result == repr(f'{{"success":false,"error":"{missing.removeprefix("RuntimeError: ")}"}}')


@pytest.mark.parametrize("display, reason", [
    ("", "DISPLAY is not set"),
    ("nonsense", "DISPLAY 'nonsense' does not name a display"),
])
def test_creation_names_a_missing_or_bad_display_name(drive, display, reason):
    assert drive(display).ask("ondrel.Mouse()") == NOT_SUPPORTED.format(reason)


def test_creation_names_a_display_without_xtest(drive, server_without_xtest):
    reason = f"the display {server_without_xtest.display} has no XTEST extension"
    assert drive(server_without_xtest.display).ask("ondrel.Keyboard()") == NOT_SUPPORTED.format(reason)


def moves_the_pointer_again(driver, server, device="m"):
    observer = observe(server.display)
    try:
        observer.warp(*START)
        assert driver.ask(f"{device}.move_by(5, -5)") == "None"
        return observer.pointer() == (START[0] + 5, START[1] - 5)
    finally:
        observer.close()


def test_a_server_that_goes_away_fails_the_call_until_it_is_back(drive, own_server):
    driver = drive(own_server.display)
    assert driver.ask("m = ondrel.Mouse()") == "ok"
    assert driver.ask("k = ondrel.Keyboard()") == "ok"
    own_server.stop()
    # The first call of each device finds its connection closed, the next ones a display that refuses connections;
    # SIGPIPE keeps its default action, which would end the process had a write to the closed socket raised it.
    lost = SEND_FAILED.format("the X connection was lost")
    gone = SEND_FAILED.format(f"the display {own_server.display} cannot be reached")
    for call, failure in (("m.move_by(5, 0)", lost), ("m.click()", gone), ("k.press('a')", lost),
                          ("m.scroll(1)", gone)):
        assert driver.ask(call) == failure
    assert driver.ask("signal.getsignal(signal.SIGPIPE) == signal.SIG_DFL") == "True"
    assert driver.ask("signal.SIGPIPE in signal.pthread_sigmask(signal.SIG_BLOCK, [])") == "False"
    own_server.restart()
    assert moves_the_pointer_again(driver, own_server)
    assert driver.ask("k.type_text('back')") == "None"


def test_a_stopped_server_fails_the_call_and_creation_until_it_continues(drive, own_server):
    driver = drive(own_server.display)
    assert driver.ask("m = ondrel.Mouse()") == "ok"
    own_server.pause()
    assert driver.ask("m.move_by(1, 0)") == SEND_FAILED.format("the X server did not answer within 2 s")
    assert driver.ask("ondrel.Mouse()") == NOT_SUPPORTED.format(
        f"the display {own_server.display} did not answer within 2 s")
    own_server.resume()
    assert driver.ask("m.click('middle')") == "None"  # connects again; the record that failed may land by now
    assert moves_the_pointer_again(driver, own_server)


@pytest.fixture
def muting_proxy(own_server):
    proxy = MutingProxy(own_server)
    yield proxy
    proxy.close()


def held_on(server):
    observer = observe(server.display)
    try:
        return observer.held()
    finally:
        observer.close()


# The next calls leave nothing held by the device's own doing: the keyboard's report still holds the key whose press
# failed, until release_all() takes it out without sending anything; the mouse's back end takes its button as held
# already, so a move sends no button.
NEXT_CALLS = {"keyboard": "d.release_all(); d.press('b')", "mouse": "d.move_by(1, 0); d.move_by(-1, 0)"}


@pytest.mark.parametrize("device, press, next_call", [
    ("ondrel.Keyboard()", "d.press('a')", NEXT_CALLS["keyboard"]),
    ("ondrel.Mouse()", "d.press('right')", NEXT_CALLS["mouse"]),
])
def test_what_a_call_of_unknown_fate_pressed_is_released_at_once(drive, own_server, muting_proxy, device, press,
                                                                  next_call):
    """The server acts on the press, but its answer never comes back: the call fails and at once releases what it
    pressed, on the same connection, without waiting for the next call."""
    driver = drive(muting_proxy.display)
    assert driver.ask(f"d = {device}") == "ok"
    muting_proxy.muted = True
    assert driver.ask(press) == SEND_FAILED.format("the X server did not answer within 2 s")
    deadline = time.monotonic() + 2  # the proxy passes the releases on a moment later
    while held_on(own_server) != ([], []) and time.monotonic() < deadline:
        time.sleep(0.01)
    assert held_on(own_server) == ([], [])
    muting_proxy.muted = False
    assert driver.ask(next_call) == "ok"
    assert held_on(own_server) == ([], [])


@pytest.mark.parametrize("device, press, next_call", [
    ("ondrel.Keyboard()", "d.press('a')", NEXT_CALLS["keyboard"]),
    ("ondrel.Mouse()", "d.press('right')", NEXT_CALLS["mouse"]),
])
def test_nothing_stays_pressed_after_a_stopped_server_continues(drive, own_server, device, press, next_call):
    driver = drive(own_server.display)
    assert driver.ask(f"d = {device}") == "ok"
    own_server.pause()
    assert driver.ask(press) == SEND_FAILED.format("the X server did not answer within 2 s")
    own_server.resume()  # the server may act on the press now
    assert driver.ask(next_call) == "ok"
    assert held_on(own_server) == ([], [])


def authority_file(path, cookie):
    """An authority file with one MIT-MAGIC-COOKIE-1 for every display of this machine, as xauth writes it."""
    def counted(data):
        return struct.pack(">H", len(data)) + data
    record = struct.pack(">H", 256) + counted(socket.gethostname().encode()) + counted(b"") + \
        counted(b"MIT-MAGIC-COOKIE-1") + counted(cookie)
    path.write_bytes(record)
    return str(path)


@pytest.mark.parametrize("client_cookie, refused", [(b"0123456789abcdef", False), (b"fedcba9876543210", True)])
def test_a_server_with_access_control_takes_the_cookie_of_the_authority_file(tmp_path, monkeypatch, client_cookie,
                                                                              refused):
    """In this process, not a driven one: libxcb itself prints the server's reason for a refusal on stderr."""
    server = XServer("-auth", authority_file(tmp_path / "server", b"0123456789abcdef")).start()
    try:
        monkeypatch.setenv("XAUTHORITY", authority_file(tmp_path / "client", client_cookie))
        for name, value in environment_for(server.display).items():
            monkeypatch.setenv(name, value)
        if refused:
            reason = f"the display {server.display} refused the connection"
            with pytest.raises(RuntimeError) as raised:
                ondrel.Mouse()
            assert str(raised.value) == NOT_SUPPORTED.format(reason).removeprefix("RuntimeError: ")
        else:
            ondrel.Mouse().move_by(1, 0)
    finally:
        server.stop()
