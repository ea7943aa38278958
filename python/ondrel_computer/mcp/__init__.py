"""An MCP server over stdio that serves one Computer: `python -m ondrel_computer.mcp` or `ondrel-mcp`."""

from ondrel_computer.mcp.serving import main

__all__ = ["main"]
