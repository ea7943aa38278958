"""How long after the X server has processed a key press a Tk window looks its keysym up: the time that the spare
keycodes of a written text must stay bound after its last key (kLookupSettleMs in
src/platform/linux/x11/text_writing.h).

    Xvfb :99 -screen 0 1920x1080x24 &
    pip install python-xlib && DISPLAY=:99 python bench/bench_x11_lookup_latency.py [presses]

A press is processed once a round trip after it has come back; the Tk window prints its monotonic clock as it handles
the press.
"""

import os
import subprocess
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

TK_WINDOW = r"""
import time, tkinter
root = tkinter.Tk()
entry = tkinter.Entry(root)
entry.pack()
root.wait_visibility(entry)
entry.focus_force()
root.update()
root.bind_all("<KeyPress>", lambda event: print(time.monotonic_ns(), flush=True))
print("ready", flush=True)
root.mainloop()
"""


def main():
    presses = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    window = subprocess.Popen([sys.executable, "-c", TK_WINDOW], stdout=subprocess.PIPE, text=True)
    assert window.stdout.readline().strip() == "ready"
    client = display.Display()
    keycode = client.keysym_to_keycode(XK.string_to_keysym("a"))
    latencies_ms = []
    for _ in range(presses):
        xtest.fake_input(client, X.KeyPress, keycode)
        client.get_input_focus()  # a round trip: the server has processed the press
        processed = time.monotonic_ns()
        latencies_ms.append((int(window.stdout.readline()) - processed) / 1e6)
        xtest.fake_input(client, X.KeyRelease, keycode)
        client.sync()
        time.sleep(0.015)
    window.kill()
    window.wait()
    latencies_ms.sort()
    print(f"{presses} presses: median {latencies_ms[presses // 2]:.2f} ms, p99 {latencies_ms[presses * 99 // 100]:.2f} ms,"
          f" max {latencies_ms[-1]:.2f} ms (load average {os.getloadavg()[0]:.1f}, {os.cpu_count()} cores)")


if __name__ == "__main__":
    main()
