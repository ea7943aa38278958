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


@pytest.mark.parametrize("consumer", ["tk", "xterm"])
def test_a_long_mixed_text_arrives_whole_at_the_default_pace(consumer, on_own_display, tmp_path):
    if consumer == "xterm" and shutil.which("xterm") is None:
        pytest.skip("needs xterm (Debian: xterm)")
    application = (TkKeyLog if consumer == "tk" else XtermCat)(on_own_display.display, tmp_path)
    try:
        before = keyboard_state(on_own_display.display)
        Computer().write(TEXT)
        assert application.wait_for_text(len(TEXT)) == TEXT
        assert keyboard_state(on_own_display.display) == before
    finally:
        application.close()
