"""The time from a tool call handed to each vendor's driver in ondrel_computer to its answer, for a click and for
typing 40 characters, next to the same actions through xdotool followed by a screenshot with mss and Pillow (PNG),
as an executor built on those tools answers. Every answer of OpenAI and Gemini carries a screenshot; Anthropic's
toolset answers an action without one, so it is timed alone and with its screenshot member after it.

    Xvfb :99 -screen 0 1280x800x24 &
    pip install '.[anthropic,openai,gemini]' mss Pillow && DISPLAY=:99 python bench/bench_vendor_calls.py [rounds]

The drivers answer with Computer.screenshot(); xdotool's side with mss and Pillow.
"""

import io
import os
import statistics
import subprocess
import sys

import mss
from anthropic.types.beta import BetaToolUseBlock
from google.genai import types
from ondrel_computer import Computer
from ondrel_computer import gemini as cu_gemini
from ondrel_computer import openai as cu_openai
from ondrel_computer.anthropic import ComputerToolset
from openai.types.responses import ResponseComputerToolCall
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from timing import measure  # noqa: E402

TEXT = "The quick brown fox jumps over 13 dogs."[:40].ljust(40, ".")
POINT = (400, 300)


def mss_png(grabber):
    shot = grabber.grab(grabber.monitors[0])
    out = io.BytesIO()
    Image.frombytes("RGB", shot.size, shot.rgb).save(out, format="PNG")
    return out.getvalue()


def timed_ms(operation, rounds):
    values = sorted(measure(operation, rounds))
    return statistics.median(values), values[int(0.9 * (len(values) - 1))]


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    grabber = getattr(mss, "MSS", mss.mss)()  # mss.mss before mss 10
    computer = Computer()
    toolset = ComputerToolset(computer, confirm=lambda context: True)

    def anthropic(name, **given):
        return lambda: toolset.tool_result(BetaToolUseBlock(type="tool_use", id="toolu_1", name=name, input=given,
                                                            toolset_name="computer"))

    def openai(action):
        call = ResponseComputerToolCall.model_validate({"type": "computer_call", "id": "cu_1", "call_id": "c_1",
                                                        "status": "completed", "pending_safety_checks": [],
                                                        "actions": [action]})
        return lambda: cu_openai.respond(computer, call)

    def gemini(name, **args):
        call = types.FunctionCall(id="f1", name=name, args=args)
        return lambda: cu_gemini.respond(computer, call)

    def both(first, second):
        return lambda: (first(), second())

    def xdotool(*words):
        return lambda: (subprocess.run(["xdotool", *words], check=True), mss_png(grabber))

    grid = {"x": POINT[0] * 1000 // computer.screen_size()[0], "y": POINT[1] * 1000 // computer.screen_size()[1]}
    x, y = (str(v) for v in POINT)
    cases = [
        ("click", [
            ("anthropic left_click", anthropic("left_click", coordinate=list(POINT))),
            ("anthropic left_click + screenshot", both(anthropic("left_click", coordinate=list(POINT)),
                                                       anthropic("screenshot"))),
            ("openai click", openai({"type": "click", "button": "left", "x": POINT[0], "y": POINT[1]})),
            ("gemini click_at", gemini("click_at", **grid)),
            ("xdotool mousemove click + mss/Pillow", xdotool("mousemove", x, y, "click", "1")),
        ]),
        (f"type {len(TEXT)} characters", [
            ("anthropic type", anthropic("type", text=TEXT)),
            ("anthropic type + screenshot", both(anthropic("type", text=TEXT), anthropic("screenshot"))),
            ("openai type", openai({"type": "type", "text": TEXT})),
            ("gemini type", gemini("type", text=TEXT)),
            ("xdotool type + mss/Pillow", xdotool("type", TEXT)),
        ]),
    ]
    print(f"display {os.environ['DISPLAY']} {computer.screen_size()}, {rounds} rounds each")
    for title, runs in cases:
        print(title)
        for label, operation in runs:
            operation()  # warm: imports, connections, the keymap
            median, p90 = timed_ms(operation, rounds)
            print(f"  {label:>38}: median {median:8.2f} ms, p90 {p90:8.2f} ms")


if __name__ == "__main__":
    main()
