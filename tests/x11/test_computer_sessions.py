"""One short computer-use session in each model API's vocabulary, executed by Computer.execute against a Tk form
(tk_session_form.py): it fills the entry, clicks the button, scrolls the list, drags the scale to its end, clears
the entry with Control+A and BackSpace (the form selects all on Control+A, as a browser's field does) and clicks
the button again; cursor_position then answers with the button's point. The actions' shapes follow each API's
documentation:
  Anthropic: https://platform.claude.com/docs/en/agents-and-tools/tool-use/computer-use-tool
  OpenAI:    https://platform.openai.com/docs/guides/tools-computer-use
  Gemini:    https://ai.google.dev/gemini-api/docs/computer-use ("Supported actions"; a 1000x1000 grid)"""

import importlib.util

import pytest
from ondrel_computer import Computer
from session_form import session_form

TEXT = "Grüße, 世界"
SCREEN = (3000, 2000)  # x_server.py's


def anthropic(entry, button, rows, slider, trough_end):
    return [
        {"action": "left_click", "coordinate": entry},
        {"action": "type", "text": TEXT},
        {"action": "left_click", "coordinate": button},
        {"action": "scroll", "coordinate": rows, "scroll_direction": "down", "scroll_amount": 3},
        {"action": "left_click_drag", "start_coordinate": slider, "coordinate": trough_end},
        {"action": "left_click", "coordinate": entry},
        {"action": "key", "text": "ctrl+a"},
        {"action": "key", "text": "BackSpace"},
        {"action": "left_click", "coordinate": button},
    ], button


def openai(entry, button, rows, slider, trough_end):
    def at(point):
        return {"x": point[0], "y": point[1]}
    middle = ((slider[0] + trough_end[0]) // 2, slider[1])
    return [
        {"type": "click", "button": "left", **at(entry)},
        {"type": "type", "text": TEXT},
        {"type": "click", "button": "left", **at(button)},
        {"type": "scroll", **at(rows), "scroll_x": 0, "scroll_y": 360},
        {"type": "drag", "path": [at(slider), at(middle), at(trough_end)]},
        {"type": "click", "button": "left", **at(entry)},
        {"type": "keypress", "keys": ["CTRL", "A"]},
        {"type": "keypress", "keys": ["BACKSPACE"]},
        {"type": "click", "button": "left", **at(button)},
    ], button


def gemini(entry, button, rows, slider, trough_end):
    def grid(point):  # the grid point whose pixel (grid * screen // 1000) is nearest below the point
        return {"x": point[0] * 1000 // SCREEN[0], "y": point[1] * 1000 // SCREEN[1]}
    to = grid(trough_end)
    clicked = grid(button)
    return [
        {"name": "type_text_at", "args": {**grid(entry), "text": TEXT, "press_enter": False,
                                          "clear_before_typing": False}},
        {"name": "click_at", "args": clicked},
        {"name": "scroll_at", "args": {**grid(rows), "direction": "down", "magnitude": 200}},
        {"name": "drag_and_drop", "args": {**grid(slider), "destination_x": to["x"], "destination_y": to["y"]}},
        {"name": "click_at", "args": grid(entry)},
        {"name": "key_combination", "args": {"keys": "control+a"}},
        {"name": "key_combination", "args": {"keys": "Backspace"}},
        {"name": "click_at", "args": clicked},
    ], (clicked["x"] * SCREEN[0] // 1000, clicked["y"] * SCREEN[1] // 1000)


@pytest.fixture
def form(on_display, tmp_path):
    """The form's places, and a function that waits for its first `count` reports."""
    if importlib.util.find_spec("tkinter") is None:
        pytest.skip("needs tkinter (Debian: python3-tk)")
    with session_form(tmp_path / "reports.jsonl") as form_:
        yield form_


@pytest.mark.parametrize("session", [anthropic, openai, gemini])
def test_a_session_in_each_vocabulary_fills_clicks_scrolls_drags_and_clears_the_form(session, form):
    places, reported = form
    actions, cursor = session(*(places[name] for name in ["entry", "button", "list", "slider", "trough_end"]))
    computer = Computer()
    for action in actions:
        assert computer.execute(action) == {"success": True}, action
    assert computer.execute({"action": "cursor_position"}) == {"success": True, "x": cursor[0], "y": cursor[1]}
    first, last = reported(2)
    assert first == {"entry": TEXT, "top": 0, "scale": 0}
    assert last["entry"] == "" and last["top"] > 0 and last["scale"] == 100, last
