"""Computer.write at its default pace (3 ms held, 3 ms after) into real applications under Xvfb: a long text mixing
ASCII, Shift, characters on spare keycodes, Return and Tab arrives whole and in order in a Tk window and in xterm,
and the keyboard mapping is the same afterwards."""

import shutil

import pytest
from consumers import TkKeyLog, XtermCat
from keyboard_probe import keyboard_state
from ondrel_computer import Computer

LINE = "The quick brown fox, 42 + 7 = 49!\tжук Ärger ß 世界 😀 €~|\n"
TEXT = LINE * 5


@pytest.fixture
def computer_on(own_server, monkeypatch):
    monkeypatch.setenv("DISPLAY", own_server.display)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    monkeypatch.delenv("ONDREL_INPUT", raising=False)
    return own_server


@pytest.mark.parametrize("consumer", ["tk", "xterm"])
def test_a_long_mixed_text_arrives_whole_at_the_default_pace(consumer, computer_on, tmp_path):
    if consumer == "xterm" and shutil.which("xterm") is None:
        pytest.skip("needs xterm (Debian: xterm)")
    application = (TkKeyLog if consumer == "tk" else XtermCat)(computer_on.display, tmp_path)
    try:
        before = keyboard_state(computer_on.display)
        Computer().write(TEXT)
        assert application.wait_for_text(len(TEXT)) == TEXT
        assert keyboard_state(computer_on.display) == before
    finally:
        application.close()
