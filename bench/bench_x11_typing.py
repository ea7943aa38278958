"""Computer.write of 200 characters against `xdotool type --delay 12` of the same text (the setting the computer-use
reference executors run), both into the same Tk window on an X display; the window's key log is checked after each
run, so that a fast run that lost characters does not count.

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . python-xlib && DISPLAY=:99 python bench/bench_x11_typing.py [runs]

The text mixes ASCII, Shift, Latin-1, Cyrillic, CJK and an emoji (the last ones on spare keycodes for both).
"""

import os
import pathlib
import statistics
import subprocess
import sys
import tempfile

from ondrel_computer import Computer

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "tests", "x11"))
from consumers import TkKeyLog  # noqa: E402
from timing import measure  # noqa: E402

TEXT = ("Grüße, мир 世界! 😀 The quick brown fox = 42; " * 6)[:200]


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    computer = Computer()
    with tempfile.TemporaryDirectory() as directory:
        for label, operation in [
            ("Computer.write", lambda: computer.write(TEXT)),
            ("xdotool type --delay 12", lambda: subprocess.run(["xdotool", "type", "--delay", "12", TEXT],
                                                               check=True)),
        ]:
            window = TkKeyLog(os.environ["DISPLAY"], pathlib.Path(directory))
            durations, whole = [], True
            for run in range(runs):
                durations += measure(operation, 1)  # the typing alone; arrival is checked outside the timing
                whole = whole and window.wait_for_text(len(TEXT) * (run + 1)) == TEXT * (run + 1)
            window.close()
            median = statistics.median(durations)
            print(f"{label:>24}: median {median:7.1f} ms, {median / len(TEXT):5.2f} ms a character, "
                  f"min {min(durations):7.1f} ms, max {max(durations):7.1f} ms, {runs} runs of {len(TEXT)} "
                  f"characters, {'all arrived' if whole else 'CHARACTERS LOST'}")


if __name__ == "__main__":
    main()
