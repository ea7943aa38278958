"""Drags as a browser follows them. Chromium, windowed on an Xvfb of the test's own, shows drag_page.html; its log,
read through the DevTools protocol, tells what reached the page: the corner of an L-shaped drag, and an HTML5 drag
and drop carried from its source to its target by each form of drag (Computer.drag and each vendor's action
through Computer.execute)."""

import pytest
from browser import SCREEN


def computer_drag(computer, start, end):
    computer.drag([start, end])


def anthropic(computer, start, end):
    assert computer.execute({"action": "left_click_drag", "start_coordinate": list(start),
                             "coordinate": list(end)}) == {"success": True}


def openai(computer, start, end):
    middle = ((start[0] + end[0]) // 2, start[1])  # a path of two legs
    path = [{"x": x, "y": y} for x, y in (start, middle, end)]
    assert computer.execute({"type": "drag", "path": path}) == {"success": True}


def gemini(computer, start, end):
    def grid(point):  # Gemini's 1000x1000 grid: the grid point whose pixel is nearest below the point
        return point[0] * 1000 // SCREEN[0], point[1] * 1000 // SCREEN[1]
    (x, y), (to_x, to_y) = grid(start), grid(end)
    assert computer.execute({"name": "drag_and_drop", "args": {"x": x, "y": y, "destination_x": to_x,
                                                               "destination_y": to_y}}) == {"success": True}


@pytest.mark.parametrize("drag", [computer_drag, anthropic, openai, gemini])
def test_each_form_of_drag_carries_an_html5_drag_and_drop_to_its_target(page, computer, drag):
    drag(computer, page.centre("source"), page.centre("target"))
    page.wait_for("dragend")
    drags = [event for event in page.seen() if event["type"] in ("dragstart", "drop", "dragend")]
    assert [event["type"] for event in drags] == ["dragstart", "drop", "dragend"], page.seen()
    assert drags[1]["data"] == "carried"
    assert drags[2]["effect"] == "move"


def test_an_l_shaped_drag_shows_the_page_its_corner_and_each_leg_and_a_move_stays_one_jump(page, computer):
    start, corner, end = (100, 100), (400, 100), (400, 500)  # page pixels on the pad
    computer.move_to(*page.to_screen(*start))
    page.wait_for("pointermove", at=start)
    assert [(event["type"], event["x"], event["y"]) for event in page.seen()] == [("pointermove", *start)]
    page.clear()

    computer.drag([page.to_screen(*point) for point in (start, corner, end)])
    page.wait_for("pointerup")
    seen = page.seen()
    assert [event["type"] for event in seen if event["type"] != "pointermove"] == ["pointerdown", "pointerup"], seen
    down, up = (next(event for event in seen if event["type"] == kind) for kind in ("pointerdown", "pointerup"))
    assert (down["x"], down["y"]) == start and (up["x"], up["y"]) == end
    moves = [(event["x"], event["y"]) for event in seen if event["type"] == "pointermove"]
    on_first_leg = [(x, y) for x, y in moves if y == start[1] and start[0] < x < corner[0]]
    on_second_leg = [(x, y) for x, y in moves if x == corner[0] and corner[1] < y < end[1]]
    assert corner in moves, moves
    assert on_first_leg and on_second_leg, moves
    off_the_path = [point for point in moves if point not in on_first_leg + on_second_leg + [start, corner, end]]
    assert off_the_path == [], moves
