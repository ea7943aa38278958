"""Keyboard through the Python API, observed as INPUT records."""

import sys
import time

import ondrel
import pytest

KEYUP, EXTENDED = 0x0002, 0x0001
LCONTROL, LSHIFT, LMENU, LWIN = 0xA2, 0xA0, 0xA4, 0x5B


def down(vk, flags=0):
    return (vk, flags)


def up(vk, flags=0):
    return (vk, flags | KEYUP)


def tap(vk, flags=0):
    return [down(vk, flags), up(vk, flags)]


def keys(events):
    """(wVk, dwFlags) of each keyboard record; any other field set is a fault."""
    assert all(e["type"] == "keyboard" and e["wScan"] == 0 for e in events)
    return [(e["wVk"], e["dwFlags"]) for e in events]


@pytest.fixture
def keyboard(recorder):
    return ondrel.Keyboard()


def shifted(vk):
    return [down(LSHIFT), up(LSHIFT), down(LSHIFT), *tap(vk), up(LSHIFT), down(LSHIFT), up(LSHIFT)]


@pytest.mark.parametrize(
    "operation, expected",
    [
        (lambda k: k.press("a"), tap(0x41)),
        (lambda k: k.press(key="ENTER"), tap(0x0D)),
        (lambda k: k.combo(["CTRL", "Shift", "hyper"], "c"),
         [down(LCONTROL), down(LSHIFT), up(LCONTROL), up(LSHIFT),
          down(LCONTROL), down(LSHIFT), *tap(0x43), up(LCONTROL), up(LSHIFT),
          down(LCONTROL), down(LSHIFT), up(LCONTROL), up(LSHIFT)]),
        (lambda k: k.combo([], "x"), tap(0x58)),
        (lambda k: k.combo(("win", "alt", "cmd"), "f4"),
         [down(LMENU), down(LWIN), up(LMENU), up(LWIN), down(LMENU), down(LWIN), *tap(0x73), up(LMENU), up(LWIN),
          down(LMENU), down(LWIN), up(LMENU), up(LWIN)]),
        (lambda k: k.combo(["shift"], "Left"),
         [down(LSHIFT), up(LSHIFT), down(LSHIFT), *tap(0x25, EXTENDED), up(LSHIFT), down(LSHIFT), up(LSHIFT)]),
        (lambda k: k.type_text("Hi!\r\n"), shifted(0x48) + tap(0x49) + shifted(0x31) + tap(0x0D)),
        (lambda k: k.type_text(text="a\tb "), tap(0x41) + tap(0x09) + tap(0x42) + tap(0x20)),
        (lambda k: k.type_text("\u00e9\u20ac\U0001F600\u212a\r"), []),
        (lambda k: k.type_text(""), []),
        (lambda k: k.release_all(), []),
    ],
)
def test_key_events(keyboard, recorder, operation, expected):
    assert operation(keyboard) is None
    assert keys(recorder.events()) == expected


# Every key name with its virtual key; the navigation keys are extended keys.
NAMED_KEYS = (
    [(chr(c), 0x41 + c - ord("a"), 0) for c in range(ord("a"), ord("z") + 1)]
    + [(str(d), 0x30 + d, 0) for d in range(10)]
    + [("enter", 0x0D, 0), ("return", 0x0D, 0), ("esc", 0x1B, 0), ("escape", 0x1B, 0), ("backspace", 0x08, 0),
       ("tab", 0x09, 0), ("space", 0x20, 0), (" ", 0x20, 0)]
    + [(f"f{n}", 0x6F + n, 0) for n in range(1, 13)]
    + [("insert", 0x2D, EXTENDED), ("home", 0x24, EXTENDED), ("pageup", 0x21, EXTENDED), ("delete", 0x2E, EXTENDED),
       ("end", 0x23, EXTENDED), ("pagedown", 0x22, EXTENDED), ("right", 0x27, EXTENDED), ("left", 0x25, EXTENDED),
       ("down", 0x28, EXTENDED), ("up", 0x26, EXTENDED)]
)


def test_every_key_name_in_any_case_gets_its_virtual_key(keyboard, recorder):
    assert len(NAMED_KEYS) == 66
    for name, vk, flags in NAMED_KEYS:
        for spelling in (name, name.upper(), name.title()):
            recorder.clear()
            keyboard.press(spelling)
            assert keys(recorder.events()) == tap(vk, flags), spelling


# Every typed character's key; shifted characters are played with Shift.
PUNCTUATION = {
    "-": 0xBD, "_": 0xBD, "=": 0xBB, "+": 0xBB, "[": 0xDB, "{": 0xDB, "]": 0xDD, "}": 0xDD, "\\": 0xDC, "|": 0xDC,
    ";": 0xBA, ":": 0xBA, "'": 0xDE, '"': 0xDE, "`": 0xC0, "~": 0xC0, ",": 0xBC, "<": 0xBC, ".": 0xBE, ">": 0xBE,
    "/": 0xBF, "?": 0xBF, "!": 0x31, "@": 0x32, "#": 0x33, "$": 0x34, "%": 0x35, "^": 0x36, "&": 0x37, "*": 0x38,
    "(": 0x39, ")": 0x30,
}


def test_every_typed_character_gets_its_virtual_key(keyboard, recorder):
    for character, vk in PUNCTUATION.items():
        recorder.clear()
        keyboard.type_text(character)
        expected = shifted(vk) if character in '_+{}|:"~<>?!@#$%^&*()' else tap(vk)
        assert keys(recorder.events()) == expected, character


def test_kelvin_sign_lower_cases_to_k(keyboard, recorder):
    keyboard.press("bac\u212aspace")
    keyboard.press("\u212a")
    assert keys(recorder.events()) == tap(0x08) + tap(0x4B)


@pytest.mark.parametrize(
    "name", ["", "ctrl", "Shift", "F13", "page up", "Page-Up", "page_up", " a", "a ", "-", "capslock", "\u0130nsert",
             "\u00e9", "a\x00"])
def test_unknown_key_names_are_refused_as_given(keyboard, recorder, name):
    for call in (lambda: keyboard.press(name), lambda: keyboard.combo(["ctrl"], name)):
        with pytest.raises(RuntimeError) as info:
            call()
        assert type(info.value) is RuntimeError
        assert str(info.value) == "Invalid key: " + name
    assert recorder.events() == []


def hold_by_failure(keyboard, recorder, key):
    """Leaves `key` in the report: its press fails at the first SendInput."""
    recorder.fail_call(1)
    with pytest.raises(RuntimeError, match="^Failed to send report: SendInput failed$"):
        keyboard.press(key)


def test_seventh_key_is_dropped_while_six_are_held(keyboard, recorder):
    for key in "abcdef":
        hold_by_failure(keyboard, recorder, key)
    recorder.clear()
    keyboard.press("g")
    six = [event for vk in range(0x41, 0x47) for event in tap(vk)]
    assert keys(recorder.events()) == six + six
    recorder.clear()
    keyboard.release_all()
    keyboard.press("g")
    assert keys(recorder.events()) == tap(0x47)


@pytest.mark.parametrize("failing_call", range(1, 9))
def test_failure_inside_shifted_character_leaves_shift_in_report(keyboard, recorder, failing_call):
    # "A" plays as calls 1-2 (Shift), 3-6 (Shift and A), 7-8 (Shift again).
    recorder.fail_call(failing_call)
    with pytest.raises(RuntimeError, match="^Failed to send report: SendInput failed$"):
        keyboard.type_text("Ab")
    recorder.clear()
    keyboard.press("z")
    events = keys(recorder.events())
    assert events[0] == down(LSHIFT) and events[-1] == up(LSHIFT)
    keyboard.type_text("B")  # the next shifted character clears Shift
    recorder.clear()
    keyboard.press("z")
    assert LSHIFT not in [vk for vk, _ in keys(recorder.events())]


def test_typing_lasts_at_least_15_ms_per_character(keyboard, recorder):
    text = "ab C\n!"
    start = time.monotonic_ns()
    keyboard.type_text(text)
    assert time.monotonic_ns() - start >= 15_000_000 * len(text)
    presses = [e for e in recorder.events() if e["dwFlags"] & KEYUP == 0 and e["wVk"] != LSHIFT]
    releases = [e for e in recorder.events() if e["dwFlags"] & KEYUP and e["wVk"] != LSHIFT]
    assert all(r["t_ns"] - p["t_ns"] >= 5_000_000 for p, r in zip(presses, releases))
    assert all(b["t_ns"] - a["t_ns"] >= 15_000_000 for a, b in zip(presses, presses[1:]))


def test_without_user32_every_send_fails(detached_recorder):
    keyboard = ondrel.Keyboard()
    with pytest.raises(RuntimeError, match="^Failed to send report: SendInput failed$"):
        keyboard.press("a")
    keyboard.release_all()  # nothing to inject: an empty report succeeds


def test_constructor_names_send_nothing(recorder):
    ondrel.Keyboard()
    ondrel.Keyboard(None)
    ondrel.Keyboard("keys")
    ondrel.Keyboard(name="keys")
    assert recorder.events() == []


class Modifiers:
    """A sequence whose length fails and whose iteration yields `items`,
    then raises `error` if given."""

    def __init__(self, items, error=None):
        self.items, self.error = items, error

    def __getitem__(self, index):
        return self.items[index]

    def __len__(self):
        raise RuntimeError("no length")

    def __iter__(self):
        yield from self.items
        if self.error is not None:
            raise self.error


class Str(str):
    pass


@pytest.mark.parametrize(
    "call, exc_type, message",
    [
        (lambda k: k.combo("ctrl", "c"), TypeError, "argument 'modifiers': Can't extract `str` to `Vec`"),
        (lambda k: k.combo(Str("ctrl"), "c"), TypeError, "argument 'modifiers': Can't extract `str` to `Vec`"),
        (lambda k: k.combo(5, "c"), TypeError, "argument 'modifiers': 'int' object cannot be converted to 'Sequence'"),
        (lambda k: k.combo({"ctrl"}, "c"), TypeError,
         "argument 'modifiers': 'set' object cannot be converted to 'Sequence'"),
        (lambda k: k.combo({"ctrl": 1}, "c"), TypeError,
         "argument 'modifiers': 'dict' object cannot be converted to 'Sequence'"),
        (lambda k: k.combo(iter(["ctrl"]), "c"), TypeError,
         "argument 'modifiers': 'list_iterator' object cannot be converted to 'Sequence'"),
        (lambda k: k.combo(None, "c"), TypeError,
         "argument 'modifiers': 'NoneType' object cannot be converted to 'Sequence'"),
        (lambda k: k.combo(["ctrl", 1], "c"), TypeError,
         "argument 'modifiers': 'int' object cannot be converted to 'PyString'"),
        (lambda k: k.combo(b"ctrl", "c"), TypeError,
         "argument 'modifiers': 'int' object cannot be converted to 'PyString'"),
        (lambda k: k.combo([None], 5), TypeError,
         "argument 'modifiers': 'NoneType' object cannot be converted to 'PyString'"),
        (lambda k: k.combo(Modifiers(["ctrl"], ValueError("broken")), "c"), ValueError, "broken"),
        (lambda k: k.combo(Modifiers(["ctrl"], TypeError("broken")), "c"), TypeError, "argument 'modifiers': broken"),
        (lambda k: k.combo(["ctrl"], 5), TypeError, "argument 'key': 'int' object cannot be converted to 'PyString'"),
        (lambda k: k.combo(["ctrl"]), TypeError, "Keyboard.combo() missing 1 required positional argument: 'key'"),
        (lambda k: k.combo(), TypeError,
         "Keyboard.combo() missing 2 required positional arguments: 'modifiers' and 'key'"),
        (lambda k: k.combo([], "a", "b"), TypeError,
         "Keyboard.combo() takes 2 positional arguments but 3 were given"),
        (lambda k: k.combo([], "a", modifiers=[]), TypeError,
         "Keyboard.combo() got multiple values for argument 'modifiers'"),
        (lambda k: k.press(), TypeError, "Keyboard.press() missing 1 required positional argument: 'key'"),
        (lambda k: k.press(name="a"), TypeError, "Keyboard.press() got an unexpected keyword argument 'name'"),
        (lambda k: k.type_text(None), TypeError,
         "argument 'text': 'NoneType' object cannot be converted to 'PyString'"),
        (lambda k: ondrel.Keyboard(3), TypeError, "argument 'name': 'int' object cannot be converted to 'PyString'"),
        (lambda k: ondrel.Keyboard("a", "b"), TypeError,
         "Keyboard.__new__() takes from 0 to 1 positional arguments but 2 were given"),
    ],
)
def test_refusals(keyboard, recorder, call, exc_type, message):
    with pytest.raises(exc_type) as info:
        call(keyboard)
    assert type(info.value) is exc_type
    assert str(info.value) == message
    assert recorder.events() == []


def test_release_all_takes_no_arguments(keyboard):
    with pytest.raises(TypeError, match=r"takes no arguments \(1 given\)"):
        keyboard.release_all(1)


@pytest.mark.parametrize(
    "modifiers",
    [("ctrl",), [Str("CTRL")], Modifiers(["ctrl"]), ["ctrl", "ctrl", "hyper"]],
    ids=["tuple", "str subclass", "failing length", "repeats and unknown"])
def test_modifier_sequences_accepted(keyboard, recorder, modifiers):
    keyboard.combo(modifiers, "c")
    assert keys(recorder.events())[:2] == [down(LCONTROL), up(LCONTROL)]


def test_lone_surrogate_raises_the_interpreters_encoding_error(keyboard, recorder):
    for call in (lambda: keyboard.type_text("a\ud800"), lambda: keyboard.combo(["\udc00"], "a")):
        with pytest.raises(UnicodeEncodeError):
            call()
    assert recorder.events() == []


@pytest.mark.parametrize(
    "method, doc",
    [
        ("type_text", "type_text($self, text)\n--\n\nType a string"),
        ("press", "press($self, key)\n--\n\nPress a key"),
        ("combo", 'combo($self, modifiers, key)\n--\n\nPress key combination (e.g., combo(["ctrl"], "c"))'),
        ("release_all", "release_all($self)\n--\n\nRelease all keys"),
    ],
)
def test_method_docstrings(method, doc):
    signature, summary = doc.split("\n--\n\n")
    entry = getattr(ondrel.Keyboard, method)
    assert entry.__doc__ == summary
    assert entry.__text_signature__ == signature[len(method):]


def test_methods_in_table_order():
    names = [name for name in vars(ondrel.Keyboard) if not name.startswith("__")]
    assert names == ["type_text", "press", "combo", "release_all"]


def test_sequence_length_is_only_a_hint(recorder):
    class Liar:
        """Claims a huge length but holds one item."""

        def __len__(self):
            return sys.maxsize

        def __getitem__(self, index):
            if index:
                raise IndexError
            return "ctrl"

    ondrel.Keyboard().combo(Liar(), "c")
    assert len(recorder.events()) == 8  # Control; Control with C; Control; nothing
