"""What the MCP server adds to a call: a `move` through the mcp SDK's own client (ClientSession over stdio_client)
next to Computer.move_to called directly in this process, and a `screenshot` through MCP (PNG, base64 in JSON)
next to Computer.screenshot(), where the Computer has it; and a `wait` of 0 s, the SDK's own round trip. Calls
alternate between the two ways, so that the machine's other load falls on both; medians of single calls.

    DISPLAY=:99 python bench/bench_mcp.py [moves] [screenshots]     (with ondrel[mcp] installed)
"""

import os
import statistics
import sys
import time

import anyio
from mcp import ClientSession, StdioServerParameters
from mcp.client.stdio import stdio_client
from ondrel_computer import Computer


def timed(function):
    started = time.perf_counter_ns()
    function()
    return time.perf_counter_ns() - started


async def timed_call(session, name, arguments):
    started = time.perf_counter_ns()
    result = await session.call_tool(name, arguments)
    took = time.perf_counter_ns() - started
    assert not result.is_error, result.content
    return took


def line(label, mcp_ns, direct_ns, unit=1e6, unit_name="ms"):
    mcp_median, direct_median = statistics.median(mcp_ns), statistics.median(direct_ns)
    print(f"{label:>12}: MCP {mcp_median / unit:8.3f} {unit_name}, direct {direct_median / unit:8.3f} {unit_name}, "
          f"MCP adds {(mcp_median - direct_median) / unit:8.3f} {unit_name} ({len(mcp_ns)} calls each)")


async def main(moves, screenshots):
    variables = {name: os.environ[name] for name in ["DISPLAY", "XAUTHORITY", "PYTHONPATH"] if name in os.environ}
    parameters = StdioServerParameters(command=sys.executable, args=["-m", "ondrel_computer.mcp"], env=variables)
    computer = Computer()
    width, height = computer.screen_size()
    async with stdio_client(parameters) as (read, write), ClientSession(read, write) as session:
        await session.initialize()
        floor_ns = [await timed_call(session, "wait", {"seconds": 0}) for _ in range(moves)]
        print(f"{'wait 0':>12}: MCP {statistics.median(floor_ns) / 1e6:8.3f} ms (the SDK's round trip, no Computer)")
        mcp_ns, direct_ns = [], []
        for number in range(moves):
            x, y = (number * 37) % width, (number * 53) % height
            mcp_ns.append(await timed_call(session, "move", {"x": x, "y": y}))
            direct_ns.append(timed(lambda: computer.move_to(width - 1 - x, height - 1 - y)))
        line("move", mcp_ns, direct_ns)
        if not hasattr(computer, "screenshot"):
            print("  screenshot: this Computer takes none")
            return
        mcp_ns, direct_ns = [], []
        for _ in range(screenshots):
            mcp_ns.append(await timed_call(session, "screenshot", {}))
            direct_ns.append(timed(computer.screenshot))
        line(f"screenshot {width}x{height}", mcp_ns, direct_ns)


if __name__ == "__main__":
    anyio.run(main, int(sys.argv[1]) if len(sys.argv) > 1 else 500, int(sys.argv[2]) if len(sys.argv) > 2 else 30)
