"""The MCP server: its tools, chosen by what the client may do, over one ComputerSession."""

from importlib import metadata
from typing import Any

from mcp.server.mcpserver import MCPServer
from mcp.server.mcpserver.exceptions import ToolError, UnexpectedToolError
from mcp.server.mcpserver.tools import Tool
from pydantic import ValidationError

from ondrel_computer.mcp.computer_session import ComputerSession
from ondrel_computer.mcp.tools import DESCRIPTIONS, Tools, annotations_of

INSTRUCTIONS = ("Computer use on this machine's screen. Take a screenshot first: every x, y is a pixel of the "
                "screenshot, (0, 0) its top-left corner. Look again after acting. A call that cannot run (a point "
                "off the screenshot, an unknown key) sends nothing and says why.")


def version() -> str:
    try:
        return metadata.version("ondrel")
    except metadata.PackageNotFoundError:
        return ""


def argument_place(location: tuple[int | str, ...]) -> str:
    return "".join(f"[{part}]" if isinstance(part, int) else f".{part}" for part in location).lstrip(".")


def argument_problems(error: ValidationError) -> str:
    """Pydantic's findings on one line each, as a model reads them: "x: Input should be a valid integer (given
    '12')", without the links pydantic adds."""
    problems = []
    for problem in error.errors(include_url=False):
        given = "" if problem["type"] == "missing" else f" (given {problem['input']!r})"
        problems.append(f"{argument_place(problem['loc'])}: {problem['msg']}{given}")
    return "; ".join(problems)


class ComputerServer(MCPServer[Any]):
    """Refuses a call with an argument its tool does not take (a misspelt `buton` would otherwise be dropped,
    and the default sent instead), and says what is wrong with the arguments in a line."""

    def __init__(self, tools: list[Tool]):
        super().__init__("ondrel-computer", instructions=INSTRUCTIONS, version=version(), tools=tools,
                         log_level="WARNING")
        self._arguments = {tool.name: tool.parameters.get("properties", {}).keys() for tool in tools}

    async def call_tool(self, name: str, arguments: dict[str, Any], context: Any = None) -> Any:
        known = self._arguments.get(name)
        unknown = sorted(set(arguments) - set(known or ()))
        if known is not None and unknown:
            takes = ", ".join(known) or "no arguments"
            raise ToolError(f"Error executing tool {name}: unknown argument {', '.join(map(repr, unknown))} "
                            f"(it takes {takes}); nothing was done")
        try:
            return await super().call_tool(name, arguments, context)
        except ToolError as error:
            if isinstance(error, UnexpectedToolError) or not isinstance(error.__cause__, ValidationError):
                raise
            raise ToolError(f"Error executing tool {name}: {argument_problems(error.__cause__)}; nothing was "
                            "done") from error.__cause__


def tools_for(session: ComputerSession, names: list[str]) -> list[Tool]:
    functions = Tools(session)
    tools = []
    for name in names:
        tool = Tool.from_function(getattr(functions, name), name=name, description=DESCRIPTIONS[name],
                                  annotations=annotations_of(name), structured_output=name == "cursor_position")
        tool.parameters["additionalProperties"] = False
        tools.append(tool)
    return tools


def build_server(session: ComputerSession, names: list[str]) -> ComputerServer:
    return ComputerServer(tools_for(session, names))
