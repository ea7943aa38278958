"""Calls that the stubs must accept under mypy --strict (type-checked only, never run)."""

import collections

import ondrel

mouse = ondrel.Mouse()
mouse = ondrel.Mouse("my mouse")
mouse = ondrel.Mouse(name=None)
mouse.move_by(300, dy=-40)
mouse.click()
mouse.click(button="right")
mouse.double_click("middle")
mouse.scroll(True)  # a bool is an int

keyboard = ondrel.Keyboard()
keyboard.combo(["ctrl", "shift"], "t")
keyboard.combo(("ctrl",), key="c")
keyboard.combo([], "enter")
keyboard.combo(collections.deque(["alt"]), "tab")
keyboard.combo(modifiers=[m for m in ("cmd",)], key="q")
keyboard.type_text(text="hi")
keyboard.release_all()

pad = ondrel.Gamepad(name="pad")
pad.left_stick(x=255, y=128)
pad.triggers(0, right=200)
pad.reset()

agent = ondrel.AgentHID()
result = agent.execute({"action": "mouse_move", "x": 10, "y": -5})
success: bool = result["success"]
error: str | None = result.get("error")
loaded: dict[str, int] = {"delta": 1}
agent.execute(action=loaded)
text: str = agent.execute_json(json='["mouse_scroll", 1]')
