"""The keyboard on a real X display: what a focused window of another client receives."""

import ondrel
import pytest


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
