"""Two processes writing Cyrillic (on no key of the US layout, so on spare keycodes) into one Tk window at the same
moment, again and again, with busy processes beside them: how many characters the window lost. The second writer's
first key follows its binding closely; a client that reads both at once must still see the binding.

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install . python-xlib && DISPLAY=:99 python bench/bench_x11_writers_at_once.py [pairs] [busy processes]
"""

import os
import pathlib
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "x11"))
from consumers import TkKeyLog  # noqa: E402

TEXTS = ("жзийкл", "фхцчшщ")
WRITE = "import sys; from ondrel_computer import Computer; Computer().write(sys.argv[1])"
BUSY = "while True: pass"


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("DISPLAY must name a running X server with XTEST (for example Xvfb)")
    pairs = int(sys.argv[1]) if len(sys.argv) > 1 else 300
    busy = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    per_pair = sum(map(len, TEXTS))
    with tempfile.TemporaryDirectory() as directory:
        window = TkKeyLog(os.environ["DISPLAY"], pathlib.Path(directory))
        load = [subprocess.Popen([sys.executable, "-c", BUSY]) for _ in range(busy)]
        try:
            for pair in range(1, pairs + 1):
                writers = [subprocess.Popen([sys.executable, "-c", WRITE, text]) for text in TEXTS]
                for writer in writers:
                    writer.wait()
                window.wait_for_text(pair * per_pair, 5)
            lost = pairs * per_pair - len(window.text())
            unnamed = sum(1 for keysym, _ in window.presses() if keysym == "??")
        finally:
            for process in load:
                process.kill()
            window.close()
    print(f"{pairs} pairs of writers, {busy} busy processes: {lost} characters lost, "
          f"{unnamed} presses Tk could not name")


if __name__ == "__main__":
    main()
