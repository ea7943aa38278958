"""The one Computer that the server drives: opened at the first call that needs it, driven from worker threads (its
calls release the interpreter lock), stopped and let go of when the server ends."""

import os
import re
import threading
import time
from collections.abc import Callable
from typing import Any, Generic, TypeVar

import anyio
import anyio.to_thread
from mcp.server.mcpserver.exceptions import ToolError

from ondrel_computer import Computer

Result = TypeVar("Result")

# The variables that choose the input system; an MCP client passes only those its configuration names.
SYSTEM_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "ONDREL_INPUT")

# How often shutdown asks a call that is still running to stop (a call waiting for the one before it begins
# only once that one has stopped).
STOP_POLL_S = 0.01

# The method named at the start of the Computer's argument errors ("Computer.key() argument 'chord': ..."): the
# tools' arguments have the same names, so the rest reads right to a model.
METHOD_PREFIX = re.compile(r"^Computer\.\w+\(\) ")


def what_the_server_sees() -> str:
    seen = [f"{name}={os.environ[name]}" for name in SYSTEM_VARIABLES if name in os.environ]
    return ", ".join(seen) if seen else f"none of {', '.join(SYSTEM_VARIABLES)}"


def open_failure_text(error: Exception) -> str:
    return (f"the computer cannot be driven: {error}. The server sees {what_the_server_sees()}. An MCP client "
            "starts its servers with only HOME, LOGNAME, PATH, SHELL, TERM and USER: give DISPLAY (X), or "
            "WAYLAND_DISPLAY with --screen-size WxH (uinput), in the \"env\" entry of this server in the client's "
            "configuration, then call again")


class Call(Generic[Result]):
    """An operation on its way: abandoned by its caller, begun in its worker thread."""

    def __init__(self, operation: Callable[[Any], Result]):
        self.operation = operation
        self.started = False
        self.abandoned = False


class ComputerSession:
    """Runs operations on the Computer; every failure of a call, the Computer's or the system's, is a ToolError
    with its text, so that the model reads what went wrong."""

    def __init__(self, screen_size: tuple[int, int] | None, scale_from: tuple[int, int] | None,
                 open_computer: Callable[..., Any] = Computer):
        self._open_arguments = {"screen_size": screen_size, "scale_from": scale_from}
        self._open_computer = open_computer
        self._computer: Any = None
        self._one_at_a_time = threading.Lock()
        self._calls = threading.Condition()
        self._running = 0
        self._closing = False

    async def run(self, operation: Callable[[Any], Result]) -> Result:
        """`operation(computer)` in a worker thread, after the operations before it. Cancelling the caller (the
        client cancelled the request, or the server is ending) stops it where it is, which lets go of what it
        pressed, or before it begins."""
        call = Call(operation)
        with self._calls:
            if self._closing:
                raise ToolError("the server is shutting down")
            self._running += 1
        try:
            return await anyio.to_thread.run_sync(self._run_counted, call, abandon_on_cancel=True)
        except anyio.get_cancelled_exc_class():
            with self._calls:
                call.abandoned = True
                if call.started:
                    self.stop_call_in_progress()
            raise

    def stop_call_in_progress(self) -> None:
        computer = self._computer
        cancel = getattr(computer, "cancel", None)
        if cancel is not None:
            cancel()

    def close(self, timeout_s: float) -> bool:
        """Refuses new calls, stops the ones running and lets go of the Computer (which lets go of every key and
        button it holds). False when a call was still running after `timeout_s`: the Computer is then left to
        that call."""
        deadline = time.monotonic() + timeout_s
        with self._calls:
            self._closing = True
            while self._running and time.monotonic() < deadline:
                self.stop_call_in_progress()
                self._calls.wait(STOP_POLL_S)
            if self._running:
                return False
        self._computer = None  # the last reference: its deallocation lets go of what it holds
        return True

    def _run_counted(self, call: "Call[Result]") -> Result:
        try:
            with self._one_at_a_time:
                with self._calls:
                    if self._closing or call.abandoned:  # while it waited for its turn
                        raise ToolError("stopped before it began")
                    call.started = True
                return self._with_computer(call.operation)
        finally:
            with self._calls:
                self._running -= 1
                self._calls.notify_all()

    def _with_computer(self, operation: Callable[[Any], Result]) -> Result:
        try:
            return operation(self._opened())
        except (TypeError, ValueError, OverflowError, RuntimeError) as error:
            raise ToolError(METHOD_PREFIX.sub("", str(error))) from error

    def _opened(self) -> Any:
        if self._computer is None:
            try:
                self._computer = self._open_computer(**self._open_arguments)
            except (RuntimeError, OSError) as error:
                raise ToolError(open_failure_text(error)) from error
        return self._computer
