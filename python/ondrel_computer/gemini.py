"""Gemini's computer-use function calls on a Computer: each `FunctionCall` run, answered by the `FunctionResponse`
with a fresh screenshot as its part.

    from ondrel_computer import gemini as cu_gemini
    response = cu_gemini.respond(computer, function_call)

The names of Gemini 3.5 (`click`, `type`, `press_key`, `hotkey`, `scroll`, ...) and the earlier ones (`click_at`,
`type_text_at`, ...) run with the reference client's defaults: `type_text_at` presses Enter only when asked. A call
whose `safety_decision` asks for confirmation runs nothing unless the caller passes `safety_acknowledged=True`
(after the person confirmed); the response then says so. Importable only with the `google-genai` SDK installed
(`ondrel[gemini]`).
"""

from __future__ import annotations

from collections.abc import Callable
from typing import Any

from ondrel_computer._requires import require_sdk

# Before the SDK's own imports, so that its absence names the extra to install.
require_sdk("google.genai", "gemini")

from google.genai import types

from ondrel_computer._calls import plain
from ondrel_computer._native import Computer
from ondrel_computer._screen import capture_png

__all__ = ["ConfirmationRequired", "respond"]

# The functions whose work is the screenshot that every response carries.
_SCREENSHOT_ONLY = frozenset({"take_screenshot"})


class ConfirmationRequired(RuntimeError):
    """The call's `safety_decision` asks the person to confirm it: nothing ran. `explanation` is the model's reason;
    call respond() again with `safety_acknowledged=True` once the person agreed."""

    def __init__(self, name: str, explanation: str) -> None:
        super().__init__(f"`{name}` needs the person's confirmation: nothing ran")
        self.explanation = explanation


def respond(
    computer: Computer,
    function_call: Any,
    *,
    safety_acknowledged: bool = False,
    screenshot: Callable[[], bytes] | None = None,
) -> types.FunctionResponse:
    """Runs `function_call` (a `types.FunctionCall` or its dict) on `computer` and returns its `FunctionResponse`:
    `{"success": true}` or `{"error": ...}`, and the screenshot after it as an inline PNG part. `screenshot`
    replaces the Computer's own capture."""
    call = plain(function_call)
    name = call.get("name")
    if not isinstance(name, str):
        raise ValueError("a Gemini function call has a `name`")
    args = dict(call.get("args") or {})
    decision = args.pop("safety_decision", None)
    confirm = isinstance(decision, dict) and decision.get("decision") == "require_confirmation"
    if confirm and not safety_acknowledged:
        raise ConfirmationRequired(name, str(decision.get("explanation", "")))
    if name in _SCREENSHOT_ONLY and not args.keys() - {"intent"}:
        reply: dict[str, Any] = {"success": True}
    else:
        reply = computer.execute({"name": name, "args": args})
    response: dict[str, Any] = {"success": True} if reply["success"] else {"error": reply["error"]}
    if confirm:
        response["safety_acknowledgement"] = "true"
    png = capture_png(computer, screenshot)
    part = types.FunctionResponsePart(inline_data=types.FunctionResponseBlob(mime_type="image/png", data=png))
    return types.FunctionResponse(name=name, id=call.get("id"), response=response, parts=[part])
