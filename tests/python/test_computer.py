"""ondrel_computer through its own test recorder: the records of a session in each model API's vocabulary, argument
errors, threads, and Ctrl-C."""

import ctypes
import json
import signal
import subprocess
import sys
import textwrap
import threading
import time

import ondrel_computer._native
import pytest
from ondrel_computer import Computer

SCREEN = (1280, 800)
BUTTONS = {0x2: "left down", 0x4: "left up", 0x8: "right down", 0x10: "right up", 0x20: "middle down",
           0x40: "middle up"}
X_BUTTONS = {0x80: "down", 0x100: "up"}
MOVE_ABSOLUTE = 0x0001 | 0x4000 | 0x8000
WHEEL, HWHEEL, KEYUP, EXTENDED, UNICODE = 0x0800, 0x1000, 0x2, 0x1, 0x4


def describe(event, screen=SCREEN):
    """A record as a short text: "move 100 200" (the pixel Windows moves to), "left down", "back up", "wheel -240",
    "hwheel 120", "A" for a key's down (its virtual key as a character when it has one, with its scan code and
    extended flag checked against the text), "^A" for its up, "U+00E9" and "^U+00E9" for a Unicode packet."""
    flags = event["dwFlags"]
    if event["type"] == "mouse":
        if flags == MOVE_ABSOLUTE:
            return f"move {event['dx'] * SCREEN[0] // 65536} {event['dy'] * SCREEN[1] // 65536}"
        if flags in (WHEEL, HWHEEL):
            return f"{'wheel' if flags == WHEEL else 'hwheel'} {event['mouseData']}"
        if flags in X_BUTTONS:
            return f"{['', 'back', 'forward'][event['mouseData']]} {X_BUTTONS[flags]}"
        return BUTTONS[flags]
    up = "^" if flags & KEYUP else ""
    if flags & UNICODE:
        return f"{up}U+{event['wScan']:04X}"
    vk = event["wVk"]
    name = chr(vk) if 0x30 <= vk <= 0x5A else f"{vk:#04x}"
    return f"{up}{name}/{event['wScan']:#x}{'e' if flags & EXTENDED else ''}"


class ComputerRecorder:
    """ondrel_computer's own recorder (each extension has one)."""

    def __init__(self):
        lib = ctypes.CDLL(ondrel_computer._native.__file__)
        lib.ondrel_recorder_events.restype = ctypes.c_char_p
        lib.ondrel_recorder_fail_call.argtypes = [ctypes.c_ulong]
        self.start, self.stop, self.fail_call, self._events = (
            lib.ondrel_recorder_start, lib.ondrel_recorder_stop, lib.ondrel_recorder_fail_call,
            lib.ondrel_recorder_events)

    def events(self):
        return json.loads(self._events())

    def seen(self):
        return " ".join(describe(event) for event in self.events())


@pytest.fixture
def recorder():
    rec = ComputerRecorder()
    rec.fail_call(0)
    rec.start()
    yield rec
    rec.fail_call(0)
    rec.stop()


# (vocabulary, actions, replies, records). Fields and defaults as documented:
# Anthropic: https://docs.anthropic.com/en/docs/agents-and-tools/tool-use/computer-use-tool (computer_20250124)
# OpenAI: https://platform.openai.com/docs/guides/tools-computer-use (computer_call action)
# Gemini: https://ai.google.dev/gemini-api/docs/computer-use (supported UI actions, 0-999 grid)
SESSIONS = [
    ("anthropic", [
        {"action": "left_click", "coordinate": [320, 200], "text": "shift"},
        {"action": "type", "text": "Hé!"},
        {"action": "key", "text": "ctrl+a"},
        {"action": "scroll", "coordinate": [0, 399], "scroll_direction": "left", "scroll_amount": 2},
        {"action": "cursor_position"},
        {"action": "screenshot"},
    ], [
        {"success": True}, {"success": True}, {"success": True}, {"success": True},
        {"success": True, "x": 0, "y": 399},
        {"success": False, "error": "`screenshot` is a screen capture, not an input action: the caller takes the "
                                    "screenshot"},
    ], "move 641 401 0xa0/0x2a left down left up ^0xa0/0x2a "
       "0xa0/0x2a H/0x23 ^H/0x23 ^0xa0/0x2a U+00E9 ^U+00E9 0xa0/0x2a 1/0x2 ^1/0x2 ^0xa0/0x2a "
       "0xa2/0x1d A/0x1e ^A/0x1e ^0xa2/0x1d move 1 799 hwheel -240"),
    ("openai", [
        {"type": "click", "x": 1279, "y": 799, "button": "back"},
        {"type": "double_click", "x": 5, "y": 6},
        {"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 30, "y": 40}]},
        {"type": "keypress", "keys": ["CTRL", "END"]},
        {"type": "scroll", "x": 10, "y": 10, "scroll_x": 0, "scroll_y": 360},
        {"type": "type", "text": "a\n"},
    ], [{"success": True}] * 6,
        "move 1279 799 back down back up move 5 6 left down left up left down left up "
        "move 1 2 left down move 4 6 move 7 10 move 10 13 move 13 17 move 16 21 move 18 25 move 21 29 move 24 32 "
        "move 27 36 move 30 40 left up 0xa2/0x1d 0x23/0x4fe ^0x23/0x4fe ^0xa2/0x1d move 10 10 wheel -360 "
        "A/0x1e ^A/0x1e 0x0d/0x1c ^0x0d/0x1c"),
    ("gemini", [
        {"name": "click_at", "args": {"x": 999, "y": 0}},
        {"name": "type_text_at", "args": {"x": 500, "y": 500, "text": "ok", "press_enter": True,
                                          "clear_before_typing": False}},
        {"name": "key_combination", "args": {"keys": "control+c"}},
        {"name": "navigate", "args": {"url": "https://example.com"}},
        {"name": "click_at", "args": {"x": 1000, "y": 0}},
    ], [
        {"success": True}, {"success": True}, {"success": True},
        {"success": False, "error": "`navigate` is a browser function, not available on a desktop"},
        {"success": False, "error": "`x`, `y` (1000, 0) is outside the grid of 0 to 999"},
    ], "move 1278 0 left down left up move 640 400 left down left up O/0x18 ^O/0x18 K/0x25 ^K/0x25 "
       "0x0d/0x1c ^0x0d/0x1c 0xa2/0x1d C/0x2e ^C/0x2e ^0xa2/0x1d"),
]


@pytest.mark.parametrize("vocabulary, actions, replies, records", SESSIONS, ids=[s[0] for s in SESSIONS])
def test_a_session_in_each_vocabulary(recorder, vocabulary, actions, replies, records):
    computer = Computer(screen_size=SCREEN, scale_from=(640, 400) if vocabulary == "anthropic" else None)
    assert [computer.execute(action) for action in actions] == replies
    assert recorder.seen() == records
    # The JSON form answers the same, compactly.
    assert computer.execute_json(json.dumps(actions[-1])) == json.dumps(replies[-1], separators=(",", ":"))


def test_methods_and_what_a_refused_record_leaves(recorder):
    computer = Computer(screen_size=SCREEN)
    assert computer.screen_size() == SCREEN and computer.position() == (0, 0)
    for x, y in [(0, 0), (1279, 799), (641, 3)]:
        computer.move_to(x, y)
        assert computer.position() == (x, y)
    computer.click(button="right")
    computer.mouse_down("forward")
    computer.mouse_up(button="forward")
    computer.scroll(dx=1, dy=-2)
    computer.key(["CTRL", "shift", "t"])
    computer.hold("alt", 0.02)
    assert recorder.seen() == ("move 0 0 move 1279 799 move 641 3 right down right up forward down forward up "
                               "wheel 240 hwheel 120 0xa2/0x1d 0xa0/0x2a T/0x14 ^T/0x14 ^0xa0/0x2a ^0xa2/0x1d "
                               "0xa4/0x38 ^0xa4/0x38")
    recorder.start()
    recorder.fail_call(3)  # the first let-go: tried once more
    with pytest.raises(RuntimeError, match="^SendInput failed$"):
        computer.click(10, 10, count=2)
    with pytest.raises(RuntimeError, match=r"^point \(1280, 0\) is outside the screen \(1280x800\)$"):
        computer.drag([(0, 0), (1280, 0)])
    assert recorder.seen() == "move 10 10 left down left up"


REFUSED = [
    ("move_to", (1.5, 2), {}, TypeError, "Computer.move_to() argument 'x' must be int, not float"),
    ("move_to", (1, 2**40), {}, OverflowError, "Computer.move_to() argument 'y' does not fit in 32 bits"),
    ("move_to", (1,), {}, TypeError, "Computer.move_to() missing 1 required positional argument: 'y'"),
    ("click", (5,), {}, ValueError, "Computer.click() takes x and y together, or neither"),
    ("click", (), {"button": "wheel"}, ValueError,
     "Computer.click() argument 'button' must be 'left', 'right', 'middle', 'back' or 'forward', not 'wheel'"),
    ("click", (), {"count": 4}, ValueError, "Computer.click() argument 'count' must be 1, 2 or 3, not 4"),
    ("drag", ([],), {}, ValueError, "Computer.drag() argument 'path' is empty: a drag needs at least one point"),
    ("drag", ("ab",), {}, TypeError, "Computer.drag() argument 'path' must be a sequence of (x, y) pairs, not str"),
    ("drag", ([(1, 2, 3)],), {}, ValueError, "Computer.drag() argument 'path' must be a pair of int, not 3 values"),
    ("drag", ([(1, 2.0)],), {}, TypeError, "Computer.drag() argument 'path' must be a pair of int, not float"),
    ("write", (b"x",), {}, TypeError, "Computer.write() argument 'text' must be str, not bytes"),
    ("key", ("ctrl+hyper",), {}, ValueError, "Computer.key() argument 'chord': unknown key `hyper` in `ctrl+hyper`"),
    ("key", (3,), {}, TypeError, "Computer.key() argument 'chord' must be str or a list of str, not int"),
    ("hold", ("a", 61), {}, ValueError, "Computer.hold() argument 'seconds' must be from 0 to 60, not 61"),
    ("execute", ('{"action": "wait"}',), {}, TypeError, "Computer.execute() argument 'action' must be dict, not str"),
    # One rule on every system, before any system sees the call.
    *[("write", (f"ok{control}",), {}, RuntimeError,
       f"{name} is a control character, which cannot be typed: of those only \\n and \\r (Enter) and \\t (Tab) are")
      for control, name in [("\x03", "U+0003"), ("\x00", "U+0000"), ("\x7f", "U+007F"), ("\x85", "U+0085")]],
    ("write", ("x", 0.1), {}, TypeError, "Computer.write() takes the pace by keyword only"),
    ("write", ("x",), {"pace": "slow"}, TypeError, "Computer.write() argument 'pace' must be int, float or None, not str"),
    ("write", ("x",), {"pace": 0.001}, ValueError,
     "Computer.write() argument 'pace' must be from 0.002 to 1 (seconds a character), not 0.001"),
    ("scroll", (), {"dy": 10**6}, RuntimeError, "a wheel turn of 1000000 notches is beyond the limit of 1000 on each axis"),
    ("scroll", (-1001,), {}, RuntimeError, "a wheel turn of -1001 notches is beyond the limit of 1000 on each axis"),
]


@pytest.mark.parametrize("name, args, kwargs, error, message", REFUSED)
def test_argument_errors_send_nothing(recorder, name, args, kwargs, error, message):
    computer = Computer()
    with pytest.raises(error) as raised:
        getattr(computer, name)(*args, **kwargs)
    assert str(raised.value) == message
    assert recorder.events() == []


@pytest.mark.parametrize("kwargs, message", [
    ({"screen_size": (0, 10)}, "Computer() argument 'screen_size' must be positive, not (0, 10)"),
    ({"scale_from": [1, 2, 3]}, "Computer() argument 'scale_from' must be a pair of int, not 3 values"),
])
def test_constructor_errors(recorder, kwargs, message):
    with pytest.raises(ValueError, match=f"^{__import__('re').escape(message)}$"):
        Computer(**kwargs)


def test_calls_release_the_lock_and_wait_for_each_other(recorder):
    computer = Computer(screen_size=SCREEN)
    text = "x" * 100  # about 7 ms a character: 700 ms
    ticks = []
    done = threading.Event()

    def tick():
        while not done.is_set():
            ticks.append(time.monotonic())
            time.sleep(0.01)

    ticker = threading.Thread(target=tick)
    writer = threading.Thread(target=computer.write, args=(text,))
    ticker.start()
    writer.start()
    time.sleep(0.1)
    computer.move_to(7, 7)  # waits for the write instead of failing
    done.set()
    writer.join()
    ticker.join()
    assert recorder.seen() == "X/0x2d ^X/0x2d " * len(text) + "move 7 7"
    assert len(ticks) >= 20  # the other thread ran throughout


# Windows has no signals between processes: there each line the child reads is a Ctrl-C, which raise_signal()
# delivers through the C runtime's SIGINT handlers as the console's handler would.
CHILD = textwrap.dedent("""
    import ctypes, json, signal, sys, threading
    import ondrel_computer._native
    if sys.platform == "win32":
        threading.Thread(target=lambda: [signal.raise_signal(signal.SIGINT) for _ in sys.stdin], daemon=True).start()
    lib = ctypes.CDLL(ondrel_computer._native.__file__)
    lib.ondrel_recorder_events.restype = ctypes.c_char_p
    lib.ondrel_recorder_start()
    computer = ondrel_computer.Computer()
    computer.key("shift")
    print("ready", flush=True)
    try:
        computer.hold("ctrl", 30)
    except KeyboardInterrupt:
        try:
            computer.write("A" * 2000)
        except KeyboardInterrupt:
            print(lib.ondrel_recorder_events().decode(), flush=True)
""")


def test_ctrl_c_stops_a_long_call_and_lets_go():
    child = subprocess.Popen([sys.executable, "-c", CHILD], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "ready\n"
        for _ in range(2):  # once for the hold, once for the write it goes on to
            time.sleep(0.3)
            if sys.platform == "win32":
                child.stdin.write("\n")
                child.stdin.flush()
            else:
                child.send_signal(signal.SIGINT)
        out, _ = child.communicate(timeout=10)
    finally:
        child.kill()
    seen = " ".join(describe(event) for event in json.loads(out))
    assert seen.startswith("0xa0/0x2a ^0xa0/0x2a 0xa2/0x1d ^0xa2/0x1d 0xa0/0x2a A/0x1e ^A/0x1e ^0xa0/0x2a")
    # Cut short: the whole text would take 12 s at the typing pace; how far it got depends on the machine's load.
    assert seen.endswith("^0xa0/0x2a") and 0 < seen.count("A/0x1e") < 2000


def test_line_ends_tabs_and_the_most_wheel_notches(recorder):
    computer = Computer()
    computer.write("a\r\nb\rc\n\td")
    computer.scroll(dy=1000, dx=-1)
    enter, tab = "0x0d/0x1c ^0x0d/0x1c", "0x09/0xf ^0x09/0xf"
    assert recorder.seen() == (f"A/0x1e ^A/0x1e {enter} B/0x30 ^B/0x30 {enter} C/0x2e ^C/0x2e {enter} {tab} "
                               "D/0x20 ^D/0x20 wheel -32760 wheel -32760 wheel -32760 wheel -21720 hwheel -120")


def test_every_failure_inside_write_lets_go(recorder):
    """The n-th event of a text refused, for every n: whatever went down comes up (a refused release is sent once
    more), and the next text is typed exactly."""
    computer = Computer()
    recorder.start()
    computer.write("aB€")
    exact = recorder.seen()
    assert exact == "A/0x1e ^A/0x1e 0xa0/0x2a B/0x30 ^B/0x30 ^0xa0/0x2a U+20AC ^U+20AC"
    for n in range(1, len(exact.split()) + 1):
        recorder.start()
        recorder.fail_call(n)
        with pytest.raises(RuntimeError, match="^SendInput failed$"):
            computer.write("aB€")
        seen = recorder.seen().split()
        assert all(f"^{down}" in seen[i + 1:] for i, down in enumerate(seen) if not down.startswith("^")), (n, seen)
        recorder.start()
        computer.write("aB€")
        assert recorder.seen() == exact
