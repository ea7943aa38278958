"""An MCP server over stdio that serves one Computer: `python -m ondrel_computer.mcp` or `ondrel-mcp`."""

import sys
from collections.abc import Sequence

__all__ = ["main"]


def main(argv: Sequence[str] | None = None) -> None:
    """Serves until the client closes its input or a signal ends the server; says what to install when the mcp SDK
    is missing, instead of a traceback."""
    try:
        from ondrel_computer.mcp.serving import main as serve
    except ModuleNotFoundError as error:
        if (error.name or "").partition(".")[0] not in ("mcp", "mcp_types", "anyio", "pydantic"):
            raise
        sys.exit(f"ondrel-mcp needs the mcp SDK ({error}): pip install 'ondrel[mcp]'")
    serve(argv)
