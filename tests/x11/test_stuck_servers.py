"""Servers that never let a connection finish: creation fails within its deadline every time, with a clear text,
and leaves no thread or descriptor behind, however often it is retried."""

import os
import shutil
import socket
import subprocess
import sys
import threading
import time

import pytest
from x_server import taken

NOT_SUPPORTED = "RuntimeError: Platform not supported: no X display with the XTEST extension ({})"
NO_ANSWER = NOT_SUPPORTED.format("the display {} did not answer within 2 s")
CREATION_LIMIT_S = 3
ATTEMPTS = 5


def free_display_number(usable):
    for number in range(60 + os.getpid() % 30, 200):
        if not taken(number) and usable(number):
            return number
    raise RuntimeError("no free display number")


@pytest.fixture
def listener_that_never_accepts():
    """A local display socket whose listener never accepts: its queue fills up and stays full."""
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    number = free_display_number(lambda number: True)
    path = f"/tmp/.X11-unix/X{number}"
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    listener.bind(path)
    listener.listen(1)
    yield f":{number}", ()
    listener.close()
    os.unlink(path)


def tcp_port_free(number):
    with socket.socket() as probe:
        return probe.connect_ex(("127.0.0.1", 6000 + number)) != 0


@pytest.fixture
def tcp_server_that_never_answers():
    """A TCP display on the loopback that accepts every connection and never says a word."""
    listener = socket.socket()
    number = free_display_number(tcp_port_free)
    listener.bind(("127.0.0.1", 6000 + number))
    listener.listen(16)
    held = []

    def accept_forever():
        while True:
            try:
                held.append(listener.accept()[0])
            except OSError:
                return

    acceptor = threading.Thread(target=accept_forever, daemon=True)
    acceptor.start()
    yield f"127.0.0.1:{number}", ()
    listener.shutdown(socket.SHUT_RDWR)
    listener.close()
    acceptor.join()
    for connection in held:
        connection.close()


def network_namespaces_work():
    if os.geteuid() != 0 or shutil.which("unshare") is None or shutil.which("ip") is None:
        return False
    return subprocess.run(["unshare", "-n", "true"], capture_output=True).returncode == 0


@pytest.fixture
def address_that_drops_packets():
    """An address routed to the loopback device in a network namespace of the driven process's own: the kernel drops
    what is sent there, as a firewall that drops packets would."""
    if not network_namespaces_work():
        pytest.skip("dropping packets needs root, unshare and ip for a network namespace of the test's own")
    prefix = ("unshare", "-n", "sh", "-c", 'ip link set lo up && ip route add 10.9.9.0/24 dev lo && exec "$@"', "sh")
    yield "10.9.9.2:0", prefix


def threads_and_descriptors(driver):
    return driver.ask("(len(os.listdir('/proc/self/task')), len(os.listdir('/proc/self/fd')))")


@pytest.mark.parametrize("stuck", ["listener_that_never_accepts", "tcp_server_that_never_answers",
                                   "address_that_drops_packets"])
def test_creation_fails_within_its_deadline_every_time(request, drive, stuck):
    display, prefix = request.getfixturevalue(stuck)
    driver = drive(display, prefix)
    assert driver.ask("import ondrel") == "ok"
    before = threads_and_descriptors(driver)
    for _ in range(ATTEMPTS):
        start = time.monotonic()
        assert driver.ask("ondrel.Mouse()") == NO_ANSWER.format(display)
        assert time.monotonic() - start < CREATION_LIMIT_S
    assert threads_and_descriptors(driver) == before


# Run before the driven process, in network and mount namespaces of its own (unshare -n -m): the hosts database asks
# DNS for what /etc/hosts lacks, and the only name server is a UDP socket on the loopback that nobody reads.
SILENT_NAME_SERVER = """
import socket, subprocess, sys
subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
for name in ("hosts", "nsswitch.conf", "resolv.conf"):
    subprocess.run(["mount", "--bind", f"{sys.argv[1]}/{name}", f"/etc/{name}"], check=True)
silent = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
silent.bind(("127.0.0.1", 53))
sys.exit(subprocess.call(sys.argv[2:]))
"""


def test_a_host_name_that_does_not_resolve_in_time_fails_creation_within_its_deadline(drive, tmp_path):
    if not network_namespaces_work() or shutil.which("mount") is None:
        pytest.skip("a silent name server needs root, unshare, ip and mount for namespaces of the test's own")
    (tmp_path / "hosts").write_text("127.0.0.1 localhost\n")
    (tmp_path / "nsswitch.conf").write_text("hosts: files dns\n")
    (tmp_path / "resolv.conf").write_text("nameserver 127.0.0.1\n")
    display = "some.name.invalid:0"
    driver = drive(display, ("unshare", "-n", "-m", sys.executable, "-c", SILENT_NAME_SERVER, str(tmp_path)))
    assert driver.ask("import ondrel") == "ok"
    start = time.monotonic()
    unresolved = f"the host name of the display {display} did not resolve within 2 s"
    assert driver.ask("ondrel.Mouse()") == NOT_SUPPORTED.format(unresolved)
    assert time.monotonic() - start < 5  # the system's resolver alone would wait 10 s
