import subprocess
import sys
import textwrap
import weakref

import ondrel
import pytest


def test_module_presents_its_doc_and_all():
    assert ondrel.__doc__ == "Python module"
    assert ondrel.__all__[0] == "Mouse"
    assert ondrel.__all__ == [name for name in ("Mouse", "Keyboard", "Gamepad", "AgentHID") if hasattr(ondrel, name)]


def test_namespace_holds_only_the_classes():
    own = {name for name in vars(ondrel) if not name.startswith("__")}
    assert own == set(ondrel.__all__)


def test_second_import_returns_the_same_module():
    code = textwrap.dedent(
        """
        import sys, ondrel
        first, mouse = ondrel, ondrel.Mouse
        del sys.modules["ondrel"]
        import ondrel as again
        assert again is first and again.Mouse is mouse
        """
    )
    subprocess.run([sys.executable, "-c", code], check=True)


def test_sub_interpreter_import_fails_and_first_keeps_working():
    code = textwrap.dedent(
        """
        import _testcapi, ondrel
        import_code = "import ondrel"
        status = _testcapi.run_in_subinterp(
            "try:\\n"
            "    import ondrel\\n"
            "except ImportError as e:\\n"
            "    assert 'sub-interpreter' in str(e)\\n"
            "else:\\n"
            "    raise SystemExit(1)\\n")
        assert status == 0, status
        assert ondrel.Mouse.__doc__ == "Virtual Mouse"
        """
    )
    subprocess.run([sys.executable, "-c", code], check=True)


@pytest.mark.parametrize(
    "cls_name, doc, signature",
    [
        ("Mouse", "Virtual Mouse", "(name=None)"),
        ("Keyboard", "Virtual Keyboard", "(name=None)"),
        ("Gamepad", "Virtual Gamepad", "(name=None)"),
        ("AgentHID", "Agent HID controller for LLM agents", "()"),
    ],
)
def test_class_type_properties(cls_name, doc, signature):
    cls = getattr(ondrel, cls_name, None)
    if cls is None:
        pytest.skip(f"{cls_name} not registered yet")
    assert cls.__module__ == "builtins"
    assert cls.__name__ == cls.__qualname__ == cls_name
    assert cls.__doc__ == doc
    assert cls.__text_signature__ == signature


def test_classes_refuse_subclassing():
    with pytest.raises(TypeError):
        type("Sub", (ondrel.Mouse,), {})


def test_instances_take_no_attributes_or_weak_references(recorder):
    mouse = ondrel.Mouse()
    with pytest.raises(AttributeError):
        mouse.extra = 1
    with pytest.raises(TypeError):
        weakref.ref(mouse)


@pytest.mark.parametrize(
    "method, doc",
    [
        ("move_by", "move_by($self, dx, dy)\n--\n\nMove mouse by relative offset"),
        ("click", 'click($self, button="left")\n--\n\nClick mouse button'),
        ("double_click", 'double_click($self, button="left")\n--\n\nDouble click mouse button'),
        ("press", 'press($self, button="left")\n--\n\nPress mouse button'),
        ("release", 'release($self, button="left")\n--\n\nRelease mouse button'),
        ("scroll", "scroll($self, delta)\n--\n\nScroll wheel"),
    ],
)
def test_mouse_method_docstrings(method, doc):
    signature, summary = doc.split("\n--\n\n")
    entry = getattr(ondrel.Mouse, method)
    assert entry.__doc__ == summary
    assert entry.__text_signature__ == signature[len(method):]


def test_mouse_methods_in_table_order():
    names = [name for name in vars(ondrel.Mouse) if not name.startswith("__")]
    assert names == ["move_by", "click", "double_click", "press", "release", "scroll"]


@pytest.mark.parametrize("cls_name", ["Mouse", "Keyboard", "AgentHID"])
def test_freeing_while_an_exception_is_pending_keeps_it(recorder, cls_name):
    cls = getattr(ondrel, cls_name)
    with pytest.raises(ZeroDivisionError):
        [cls(), 1 / 0]  # the instance is freed while the error unwinds
