import subprocess
import sys
import textwrap
import weakref

import ondrel
import pytest

# Each class: docstring, text signature, then its methods in table order with their stored docstrings.
CLASSES = {
    "Mouse": ("Virtual Mouse", "(name=None)", [
        "move_by($self, dx, dy)\n--\n\nMove mouse by relative offset",
        'click($self, button="left")\n--\n\nClick mouse button',
        'double_click($self, button="left")\n--\n\nDouble click mouse button',
        'press($self, button="left")\n--\n\nPress mouse button',
        'release($self, button="left")\n--\n\nRelease mouse button',
        "scroll($self, delta)\n--\n\nScroll wheel",
    ]),
    "Keyboard": ("Virtual Keyboard", "(name=None)", [
        "type_text($self, text)\n--\n\nType a string",
        "press($self, key)\n--\n\nPress a key",
        'combo($self, modifiers, key)\n--\n\nPress key combination (e.g., combo(["ctrl"], "c"))',
        "release_all($self)\n--\n\nRelease all keys",
    ]),
    "Gamepad": ("Virtual Gamepad", "(name=None)", [
        "press($self, button)\n--\n\nPress button",
        "release($self, button)\n--\n\nRelease button",
        "tap($self, button)\n--\n\nTap button (press and release)",
        "left_stick($self, x, y)\n--\n\nSet left stick position (0-255, 128 = center)",
        "right_stick($self, x, y)\n--\n\nSet right stick position (0-255, 128 = center)",
        "triggers($self, left, right)\n--\n\nSet triggers (0-255)",
        "reset($self)\n--\n\nReset all to default",
    ]),
    "AgentHID": ("Agent HID controller for LLM agents", "()", [
        "execute($self, action)\n--\n\nExecute an action from dict/JSON",
        "execute_json($self, json)\n--\n\nExecute action from JSON string",
    ]),
}


def test_module_holds_its_doc_and_the_classes_in_registration_order():
    assert ondrel.__doc__ == "Python module"
    assert ondrel.__all__ == list(CLASSES)
    assert {name for name in vars(ondrel) if not name.startswith("__")} == set(CLASSES)


@pytest.mark.parametrize("cls_name", CLASSES)
def test_class_frame(cls_name):
    doc, signature, methods = CLASSES[cls_name]
    cls = getattr(ondrel, cls_name)
    assert cls.__module__ == "builtins"
    assert cls.__name__ == cls.__qualname__ == cls_name
    # The interpreter's own messages read the type's tp_name long after its creation.
    with pytest.raises(AttributeError, match=f"^type object 'builtins.{cls_name}' has no attribute 'nope'$"):
        cls.nope
    assert (cls.__doc__, cls.__text_signature__) == (doc, signature)
    assert [name for name in vars(cls) if not name.startswith("__")] == [m.split("(")[0] for m in methods]
    for stored in methods:
        signature_line, summary = stored.split("\n--\n\n")
        name = signature_line.split("(")[0]
        entry = getattr(cls, name)
        assert (entry.__text_signature__, entry.__doc__) == (signature_line[len(name):], summary)


def test_classes_refuse_subclassing_attributes_and_weak_references(recorder):
    with pytest.raises(TypeError):
        type("Sub", (ondrel.Mouse,), {})
    mouse = ondrel.Mouse()
    with pytest.raises(AttributeError):
        mouse.extra = 1
    with pytest.raises(TypeError):
        weakref.ref(mouse)


def test_second_import_is_the_same_module_and_a_sub_interpreter_cannot_import_it():
    # _xxsubinterpreters rather than _testcapi: Windows' embeddable CPython is built with the one and without the other.
    pytest.importorskip("_xxsubinterpreters", reason="this CPython has no _xxsubinterpreters for a sub-interpreter")
    code = textwrap.dedent(
        """
        import sys, _xxsubinterpreters, ondrel
        first, mouse = ondrel, ondrel.Mouse
        del sys.modules["ondrel"]
        import ondrel as again
        assert again is first and again.Mouse is mouse
        # An exception left in the sub-interpreter is raised here as RunFailedError. A legacy sub-interpreter:
        # an isolated one (the default from 3.12) refuses every single-phase module before its init runs.
        _xxsubinterpreters.run_string(_xxsubinterpreters.create(isolated=False),
            "try:\\n"
            "    import ondrel\\n"
            "except ImportError as e:\\n"
            "    assert 'sub-interpreter' in str(e)\\n"
            "else:\\n"
            "    raise SystemExit(1)\\n")
        assert ondrel.Mouse.__doc__ == "Virtual Mouse"
        """
    )
    subprocess.run([sys.executable, "-c", code], check=True)


@pytest.mark.parametrize("cls_name", ["Mouse", "Keyboard", "AgentHID"])
def test_freeing_while_an_exception_is_pending_keeps_it(recorder, cls_name):
    with pytest.raises(ZeroDivisionError):
        [getattr(ondrel, cls_name)(), 1 / 0]  # the instance is freed while the error unwinds
