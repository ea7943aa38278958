"""`ondrel-mcp`: the server over stdio until the client closes its input or a signal ends it; then every call in
progress is stopped, what the computer holds is let go, and the process exits at once."""

import argparse
import os
import signal
import sys
from collections.abc import Sequence

import anyio

from ondrel_computer.mcp.computer_session import ComputerSession
from ondrel_computer.mcp.server import ComputerServer, build_server
from ondrel_computer.mcp.tools import tool_names

# How long the end waits for a call in progress to stop and let go; the whole exit stays well inside a second.
STOP_DEADLINE_S = 0.5

ENDING_SIGNALS = ("SIGTERM", "SIGINT", "SIGHUP")


def size(text: str) -> tuple[int, int]:
    width, separator, height = text.lower().partition("x")
    if not (separator and width.isdigit() and height.isdigit() and int(width) > 0 and int(height) > 0):
        raise argparse.ArgumentTypeError(f"{text!r} is not a size WIDTHxHEIGHT such as 1280x800")
    return int(width), int(height)


def parse_arguments(argv: Sequence[str] | None) -> argparse.Namespace:
    parser = argparse.ArgumentParser(
        prog="ondrel-mcp", description="An MCP server over stdio that gives a model this computer's screen, mouse "
        "and keyboard. The input system comes from DISPLAY (X) or WAYLAND_DISPLAY (uinput), or ONDREL_INPUT; an "
        "MCP client passes them only through the \"env\" entry of its configuration.")
    parser.add_argument("--scale-from", type=size, metavar="WxH",
                        help="the size of the screenshots, whose pixels every x, y names (default: the screen's)")
    parser.add_argument("--screen-size", type=size, metavar="WxH",
                        help="the screen's size, which uinput cannot ask the compositor for")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--no-keyboard", action="store_true", help="the pointer and the screen only: no typing, "
                      "no keys")
    mode.add_argument("--view-only", action="store_true", help="screenshot, zoom and cursor_position only")
    return parser.parse_args(argv)


async def serve(server: ComputerServer, session: ComputerSession) -> None:
    async with anyio.create_task_group() as tasks:
        if sys.platform != "win32":  # Windows has Ctrl-C only, which ends anyio.run with KeyboardInterrupt
            tasks.start_soon(end_on_signal, session)
        await server.run_stdio_async()
        tasks.cancel_scope.cancel()


async def end_on_signal(session: ComputerSession) -> None:
    with anyio.open_signal_receiver(*(getattr(signal, name) for name in ENDING_SIGNALS)) as received:
        async for number in received:
            end(session, 128 + number)


def end(session: ComputerSession, status: int) -> None:
    """Lets go of the computer and exits without waiting for the SDK's threads (one may be blocked reading stdin
    for good) or the interpreter's teardown."""
    if not session.close(STOP_DEADLINE_S):
        print(f"ondrel-mcp: a call was still running {STOP_DEADLINE_S} s after it was told to stop",
              file=sys.stderr)
    for stream in (sys.stdout, sys.stderr):
        try:
            stream.flush()
        except (OSError, ValueError):
            pass
    os._exit(status)


def main(argv: Sequence[str] | None = None) -> None:
    options = parse_arguments(argv)
    session = ComputerSession(screen_size=options.screen_size, scale_from=options.scale_from)
    server = build_server(session, tool_names(keyboard=not options.no_keyboard, pointer=not options.view_only))
    status = 0
    try:
        anyio.run(serve, server, session)
    except KeyboardInterrupt:
        status = 128 + signal.SIGINT
    end(session, status)
