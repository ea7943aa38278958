"""A real X application for the tests: a Tk window with a text entry and a button that writes the entry's text to
the file named on the command line. Once the window is on the screen it prints the centres of the entry and the
button, in root coordinates, as one JSON line."""

import json
import os
import sys
import tkinter


def main():
    out_path = sys.argv[1]
    root = tkinter.Tk()
    root.geometry("+100+100")
    entry = tkinter.Entry(root, width=40)
    entry.pack(padx=20, pady=20)

    def save():
        # Written aside and renamed, so that a reader never finds the file empty.
        with open(out_path + ".part", "w", encoding="utf-8") as out:
            out.write(entry.get())
        os.replace(out_path + ".part", out_path)
        root.destroy()

    button = tkinter.Button(root, text="Save", command=save)
    button.pack(pady=20)
    root.wait_visibility(button)
    # No window manager gives the form the keyboard focus: it takes it itself, before it says where it is.
    entry.focus_force()
    root.update()

    def centre(widget):
        return widget.winfo_rootx() + widget.winfo_width() // 2, widget.winfo_rooty() + widget.winfo_height() // 2

    print(json.dumps({"entry": centre(entry), "button": centre(button)}), flush=True)
    root.mainloop()


if __name__ == "__main__":
    main()
