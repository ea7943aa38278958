"""Calls that the stubs must refuse under mypy --strict; each line marked `# refused: CODE` must give exactly that
error code, and no other line may give an error."""

import ondrel

keyboard = ondrel.Keyboard()
keyboard.combo("ctrl", "c")  # refused: arg-type
keyboard.combo({"ctrl"}, "c")  # refused: arg-type
keyboard.combo([1], "c")  # refused: list-item
keyboard.release_all(True)  # refused: call-arg
mouse = ondrel.Mouse(3)  # refused: arg-type
mouse.click(None)  # refused: arg-type
mouse.scroll(1.5)  # refused: arg-type
mouse.move_by(1)  # refused: call-arg
mouse.move_by(x=1, y=2)  # refused: call-arg
ondrel.Gamepad().left_stick("1", 2)  # refused: arg-type
ondrel.AgentHID().execute('{"action": "mouse_click"}')  # refused: arg-type
ondrel.AgentHID(1)  # refused: call-arg
ondrel.AgentHID().execute({})["errors"]  # refused: typeddict-item
ondrel.PanicException  # refused: attr-defined


class MyMouse(ondrel.Mouse):  # refused: misc
    pass
