"""Each device owns its connection to the display, for exactly as long as it lives."""

import os

import ondrel
import pytest
from conftest import START


def open_descriptors():
    return len(os.listdir("/proc/self/fd"))


def test_creating_and_releasing_devices_leaks_no_connection(observer):
    before = open_descriptors()
    for _ in range(5000):
        ondrel.Mouse()
        ondrel.Keyboard()
    assert open_descriptors() == before
    # An X server takes a few hundred clients at most, so a leaked connection would also have ended creation early.
    ondrel.Mouse().move_by(2, 3)
    assert observer.pointer() == (START[0] + 2, START[1] + 3)


def test_devices_alive_at_once_each_have_their_own_connection(observer):
    before = open_descriptors()
    mice = [ondrel.Mouse() for _ in range(20)]
    assert open_descriptors() == before + 20
    for mouse in mice:
        mouse.move_by(1, 0)
    assert observer.pointer() == (START[0] + 20, START[1])
    del mice, mouse
    assert open_descriptors() == before


@pytest.mark.parametrize("child_uses_it", [True, False], ids=["child used its copy", "child only released it"])
def test_a_forked_child_leaves_the_parents_connection_alone(observer, child_uses_it):
    mouse = ondrel.Mouse()
    mouse.move_by(1, 0)
    child = os.fork()
    if child == 0:
        try:
            if child_uses_it:
                mouse.move_by(10, 0)  # on a connection of the child's own
            del mouse
        finally:
            os._exit(0)
    _, status = os.waitpid(child, 0)
    assert os.waitstatus_to_exitcode(status) == 0
    mouse.move_by(0, 1)
    moved_by_child = 10 if child_uses_it else 0
    assert observer.pointer() == (START[0] + 1 + moved_by_child, START[1] + 1)
