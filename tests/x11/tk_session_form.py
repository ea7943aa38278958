"""A Tk form for computer-use sessions: an entry, a button, a list that scrolls and a scale. Each click of the button
appends the form's state to the file named on the command line, as one JSON line (the entry's text, the list's top
row, the scale's value); Enter in the entry appends {"submitted": its text}. Once the form is on the screen it prints, as one JSON line in root coordinates, the centres
of the entry, the button and the list, the scale's slider and the right end of its trough."""

import json
import sys
import tkinter


def main():
    out_path = sys.argv[1]
    root = tkinter.Tk()
    root.geometry("+100+100")
    entry = tkinter.Entry(root, width=40)
    entry.pack(padx=20, pady=10)
    # Tk's own Control-a goes to the line's start; a field in a browser selects all, which clearing relies on.
    entry.bind("<Control-a>", lambda event: (entry.select_range(0, "end"), entry.icursor("end"), "break")[-1])
    rows = tkinter.Listbox(root, height=5)
    rows.insert("end", *(f"row {number}" for number in range(100)))
    rows.pack(pady=10)
    scale = tkinter.Scale(root, from_=0, to=100, orient="horizontal", length=300, sliderlength=20, showvalue=False)
    scale.pack(pady=10)

    def report():
        state = {"entry": entry.get(), "top": rows.nearest(0), "scale": scale.get()}
        with open(out_path, "a", encoding="utf-8") as out:
            out.write(json.dumps(state) + "\n")

    # Enter in the entry submits the form: a line of its own, which no session that did not ask for Enter makes.
    def submit(_event):
        with open(out_path, "a", encoding="utf-8") as out:
            out.write(json.dumps({"submitted": entry.get()}) + "\n")
    entry.bind("<Return>", submit)

    button = tkinter.Button(root, text="Report", command=report)
    button.pack(pady=10)
    root.wait_visibility(button)
    entry.focus_force()
    root.update()

    def centre(widget):
        return widget.winfo_rootx() + widget.winfo_width() // 2, widget.winfo_rooty() + widget.winfo_height() // 2

    slider_x, slider_y = scale.coords(0)
    trough_end_x, _ = scale.coords(100)
    places = {"entry": centre(entry), "button": centre(button), "list": centre(rows),
              "slider": (scale.winfo_rootx() + slider_x, scale.winfo_rooty() + slider_y),
              "trough_end": (scale.winfo_rootx() + trough_end_x + 15, scale.winfo_rooty() + slider_y)}
    print(json.dumps(places), flush=True)
    root.mainloop()


if __name__ == "__main__":
    main()
