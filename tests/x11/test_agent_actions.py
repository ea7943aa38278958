"""One action of each kind through AgentHID.execute_json, observed on a real X display."""

import ondrel
import pytest
from conftest import START

SUCCESS = '{"success":true,"error":null}'


def pointer_offset(observer):
    x, y = observer.pointer()
    return x - START[0], y - START[1]


@pytest.mark.parametrize("action, observe, arrived", [
    ('{"action": "mouse_move", "x": 40, "y": -25}', pointer_offset, (40, -25)),
    ('["mouse_move", -300, 200]', pointer_offset, (-300, 200)),
    ('{"action": "mouse_click", "button": "right"}', lambda o: o.buttons(), [("press", 3), ("release", 3)]),
    ('{"action": "mouse_double_click", "button": "left"}', lambda o: o.buttons(),
     [("press", 1), ("release", 1)] * 2),
    ('{"action": "mouse_down", "button": "middle"}', lambda o: o.buttons(), [("press", 2)]),
    ('{"action": "mouse_scroll", "delta": -2}', lambda o: o.buttons(), [("press", 5), ("release", 5)] * 2),
    ('{"action": "key_press", "key": "a"}', lambda o: o.typed_text(), "a"),
    ('{"action": "key_combo", "modifiers": ["ctrl"], "key": "c"}', lambda o: o.key_presses(), [("c", {"Control"})]),
    ('["key_combo", ["shift"], "right"]', lambda o: o.key_presses(), [("Right", {"Shift"})]),
    ('{"action": "type", "text": "Agent: OK?\\n"}', lambda o: o.typed_text(), "Agent: OK?\n"),
])
def test_an_action_arrives_on_the_display(observer, action, observe, arrived):
    agent = ondrel.AgentHID()
    assert agent.execute_json(action) == SUCCESS
    assert observe(observer) == arrived
    agent.execute_json('["mouse_up", "middle"]')  # leaves no button down for the next test
