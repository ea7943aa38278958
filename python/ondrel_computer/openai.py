"""OpenAI's computer tool (the Responses API's `computer` tool, GA) on a Computer: a `computer_call`'s actions run in
order, answered by the `computer_call_output` with a fresh screenshot.

    from ondrel_computer import openai as cu_openai
    output = cu_openai.respond(computer, call)        # the input item for the next request

A failed action stops the batch: `ActionFailed` carries its index (from 0), the error and the output to send anyway.
Pending safety checks run nothing until the caller acknowledges them (`acknowledged_safety_checks`), which the
output then echoes. Importable only with the `openai` SDK installed (`ondrel[openai]`).
"""

from __future__ import annotations

import base64
from collections.abc import Callable, Iterable
from typing import Any

from ondrel_computer._calls import plain
from ondrel_computer._failure import ActionFailed
from ondrel_computer._native import Computer
from ondrel_computer._requires import require_sdk
from ondrel_computer._screen import capture_png

require_sdk("openai", "openai")

__all__ = ["ActionFailed", "SafetyChecksPending", "respond"]


class SafetyChecksPending(RuntimeError):
    """The call has safety checks the caller has not acknowledged: nothing ran. `checks` are the ones still pending;
    ask the person, then call respond() again with them in `acknowledged_safety_checks`."""

    def __init__(self, checks: list[dict[str, Any]]) -> None:
        codes = ", ".join(str(check.get("code") or check.get("id")) for check in checks)
        super().__init__(f"the computer_call has safety checks not acknowledged ({codes}): nothing ran")
        self.checks = checks


def respond(
    computer: Computer,
    call: Any,
    *,
    acknowledged_safety_checks: Iterable[Any] = (),
    screenshot: Callable[[], bytes] | None = None,
) -> dict[str, Any]:
    """Runs `call` (a `ResponseComputerToolCall` or its dict) on `computer` and returns its `computer_call_output`.

    Its `actions` (or its one `action`) run in order; a `screenshot` action has nothing to do, as the output carries
    one. `screenshot` replaces the Computer's own capture (PNG bytes)."""
    item = plain(call)
    acknowledged = [plain(check) for check in acknowledged_safety_checks]
    acknowledged_ids = {check.get("id") for check in acknowledged}
    pending = [check for check in item.get("pending_safety_checks") or [] if check.get("id") not in acknowledged_ids]
    if pending:
        raise SafetyChecksPending(pending)
    if "actions" in item:
        actions = list(item["actions"])
    elif "action" in item:
        actions = [item["action"]]
    else:
        raise ValueError("a computer_call has `actions` or `action`")
    for index, action in enumerate(actions):
        if plain(action).get("type") == "screenshot":
            continue
        reply = computer.execute(action)
        if not reply["success"]:
            raise ActionFailed(index, reply["error"], _output(computer, item, acknowledged, screenshot))
    return _output(computer, item, acknowledged, screenshot)


def _output(computer: Computer, item: dict[str, Any], acknowledged: list[dict[str, Any]],
            screenshot: Callable[[], bytes] | None) -> dict[str, Any]:
    png = capture_png(computer, screenshot)
    output: dict[str, Any] = {
        "type": "computer_call_output",
        "call_id": item["call_id"],
        "output": {"type": "computer_screenshot",
                   "image_url": "data:image/png;base64," + base64.b64encode(png).decode("ascii")},
    }
    if acknowledged:
        output["acknowledged_safety_checks"] = acknowledged
    return output
