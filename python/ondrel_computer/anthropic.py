"""Anthropic's computer toolset (`computer_toolset_20260801`) on a Computer: the SDK's own driver class with all 17
members, each member call run by `Computer.execute`.

    from ondrel_computer.anthropic import ComputerToolset
    toolset = ComputerToolset(computer, confirm=ask_person)
    result = toolset.tool_result(block)      # the tool_result for one tool_use block

Coordinates are pixels of the screenshots the model sees, scaled to the screen as the Computer's `scale_from` says;
a point outside is refused, never clamped. Importable only with the `anthropic` SDK installed (`ondrel[anthropic]`).
"""

from __future__ import annotations

import base64
from collections.abc import Callable, Sequence
from typing import Any

from ondrel_computer._requires import require_sdk

# Before the SDK's own imports, so that its absence names the extra to install.
require_sdk("anthropic", "anthropic")

from anthropic.tools import ToolError
from anthropic.tools.computer import (
    BetaAbstractComputerToolset20260801,
    BetaComputerConfirmCallable,
    BetaComputerCursorPositionResult,
    BetaScreenshotResult,
    BetaToolConfigs,
    BetaToolsetCallContext,
)
from anthropic.types.beta import BetaComputerToolsetConfigsParam
from pydantic import BaseModel

from ondrel_computer._native import Computer
from ondrel_computer._screen import capture_png

__all__ = ["ComputerToolset"]


class ComputerToolset(BetaAbstractComputerToolset20260801):
    """The computer toolset on `computer`. `confirm` is the SDK's: called before each member call, and required
    while `type`, `key` or `hold_key` is enabled. `screenshot` and `zoom`, when given, replace the Computer's own
    captures (`computer.screenshot()`, `computer.zoom(region)`, PNG bytes)."""

    def __init__(
        self,
        computer: Computer,
        *,
        confirm: BetaComputerConfirmCallable | None = None,
        configs: BetaComputerToolsetConfigsParam | None = None,
        tool_configs: BetaToolConfigs | None = None,
        screenshot: Callable[[], bytes] | None = None,
        zoom: Callable[[Sequence[int]], bytes] | None = None,
    ) -> None:
        super().__init__(configs=configs, confirm=confirm, tool_configs=tool_configs)
        self._computer = computer
        self._screenshot = screenshot
        self._zoom = zoom

    def _run(self, member: str, given: BaseModel) -> dict[str, Any]:
        """Runs one member through the Computer; a failure is the ToolError the model reads."""
        reply = self._computer.execute({"action": member, **given.model_dump(mode="json", exclude_none=True)})
        if not reply["success"]:
            raise ToolError(f"{member} failed: {reply['error']}")
        return reply

    def key(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("key", input)

    def hold_key(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("hold_key", input)

    def type(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("type", input)

    def cursor_position(self, context: BetaToolsetCallContext, input: Any) -> BetaComputerCursorPositionResult:
        reply = self._run("cursor_position", input)
        return BetaComputerCursorPositionResult(x=reply["x"], y=reply["y"])

    def mouse_move(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("mouse_move", input)

    def left_mouse_down(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("left_mouse_down", input)

    def left_mouse_up(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("left_mouse_up", input)

    def left_click(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("left_click", input)

    def left_click_drag(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("left_click_drag", input)

    def right_click(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("right_click", input)

    def middle_click(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("middle_click", input)

    def double_click(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("double_click", input)

    def triple_click(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("triple_click", input)

    def scroll(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("scroll", input)

    def wait(self, context: BetaToolsetCallContext, input: Any) -> None:
        self._run("wait", input)

    def screenshot(self, context: BetaToolsetCallContext, input: Any) -> BetaScreenshotResult:
        try:
            png = capture_png(self._computer, self._screenshot)
        except RuntimeError as error:
            raise ToolError("screenshot failed: the screen could not be captured") from error
        return BetaScreenshotResult(data=base64.b64encode(png).decode("ascii"), media_type="image/png")

    def zoom(self, context: BetaToolsetCallContext, input: Any) -> BetaScreenshotResult:
        region = list(input.region)
        capture = self._zoom or getattr(self._computer, "zoom", None)
        if capture is None:
            raise ToolError("zoom failed: this computer cannot capture a region")
        try:
            png: bytes = capture(region)
        except (RuntimeError, ValueError) as error:
            raise ToolError(f"zoom failed: {error}") from error
        return BetaScreenshotResult(data=base64.b64encode(png).decode("ascii"), media_type="image/png")
