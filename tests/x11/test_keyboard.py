"""The keyboard on a real X display: what a focused window of another client receives."""

import time

import ondrel
import pytest

SUCCESS = '{"success":true,"error":null}'


@pytest.mark.parametrize("text", ["Hello, World! 123\n", "the quick brown fox jumps over the lazy dog",
                                  "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG",
                                  "`1234567890-=[]\\;',./ ~!@#$%^&*()_+{}|:\"<>?\t"])
def test_typed_text_arrives_as_that_text(observer, text):
    ondrel.Keyboard().type_text(text)
    assert observer.typed_text() == text


@pytest.mark.parametrize("modifiers, key, arrives", [
    (["ctrl"], "c", ("c", {"Control"})),
    (["shift"], "right", ("Right", {"Shift"})),
    (["alt"], "f4", ("F4", {"Alt"})),
    (["ctrl", "shift"], "left", ("Left", {"Control", "Shift"})),
    (["meta"], "e", ("e", {"Super"})),
])
def test_a_combination_arrives_with_its_modifiers_held(observer, modifiers, key, arrives):
    ondrel.Keyboard().combo(modifiers, key)
    assert observer.key_presses() == [arrives]


@pytest.mark.parametrize("key, keysym", [
    ("right", "Right"), ("left", "Left"), ("up", "Up"), ("down", "Down"), ("home", "Home"), ("end", "End"),
    ("pageup", "Page_Up"), ("pagedown", "Page_Down"), ("insert", "Insert"), ("delete", "Delete"), ("escape", "Escape"),
    ("backspace", "BackSpace"), ("tab", "Tab"), ("enter", "Return"), ("space", "space"), ("f1", "F1"),
    ("f10", "F10"), ("f11", "F11"), ("f12", "F12"),
])
def test_a_named_key_arrives_as_that_key(observer, key, keysym):
    ondrel.Keyboard().press(key)
    assert observer.key_presses() == [(keysym, set())]


@pytest.mark.parametrize("modifiers, key, transitions", [
    (["ctrl"], "c", [("press", "Control_L"), ("press", "c"), ("release", "c"), ("release", "Control_L")]),
    (["meta", "alt"], "d", [("press", "Alt_L"), ("press", "Super_L"), ("press", "d"), ("release", "d"),
                            ("release", "Alt_L"), ("release", "Super_L")]),
])
def test_a_combination_puts_its_modifiers_down_once_around_the_key(observer, modifiers, key, transitions):
    ondrel.Keyboard().combo(modifiers, key)
    assert observer.key_transitions() == transitions


def test_key_down_holds_the_key_until_key_up(observer):
    agent = ondrel.AgentHID()
    try:
        assert agent.execute_json('{"action": "key_down", "key": "a"}') == SUCCESS
        time.sleep(0.1)
        assert observer.key_transitions() == [("press", "a")]
        assert observer.held_keys() == {"a"}
    finally:
        assert agent.execute_json('{"action": "key_up", "key": "a"}') == SUCCESS
    assert observer.key_transitions() == [("release", "a")]
    assert observer.held_keys() == set()
