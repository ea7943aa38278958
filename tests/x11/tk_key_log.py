"""A real X application for the tests: a Tk window with a text widget that has the keyboard focus and logs every key
press as Tk sees it (its keysym name and the text it types) to the file named on the command line, one JSON line
each, flushed at once. Once the window is on the screen it prints "ready" as one line."""

import json
import sys
import tkinter


def main():
    log = open(sys.argv[1], "w", encoding="utf-8")  # noqa: SIM115 (open for the window's lifetime)
    root = tkinter.Tk()
    root.geometry("+50+50")
    text = tkinter.Text(root, width=60, height=10)
    text.pack()

    def logged(event):
        log.write(json.dumps({"keysym": event.keysym, "char": event.char}) + "\n")
        log.flush()

    text.bind("<KeyPress>", logged)  # the widget's own tag comes first: Tab too
    root.wait_visibility(text)
    # No window manager gives the window the keyboard focus: it takes it itself.
    text.focus_force()
    root.update()
    print("ready", flush=True)
    root.mainloop()


if __name__ == "__main__":
    main()
