"""The time each press was held, read off the test recorder's records (Windows' SendInput fields)."""

KEYUP, UNICODE = 0x2, 0x4
MOUSE_UP = {0x2: 0x4, 0x8: 0x10, 0x20: 0x40}


def holds_ms(events):
    """Each press's time held, in ms, in the order the presses went down; a press never let go counts as None."""
    open_presses, holds = {}, []
    for event in events:
        if event["type"] == "keyboard":
            key = (event["wVk"], event["wScan"], event["dwFlags"] & UNICODE)
            if event["dwFlags"] & KEYUP:
                index = open_presses.pop(key)
                holds[index] = (event["t_ns"] - holds[index]) / 1e6
                continue
        elif event["dwFlags"] in MOUSE_UP:
            key = ("mouse", MOUSE_UP[event["dwFlags"]])
        elif ("mouse", event["dwFlags"]) in open_presses:
            index = open_presses.pop(("mouse", event["dwFlags"]))
            holds[index] = (event["t_ns"] - holds[index]) / 1e6
            continue
        else:
            continue
        open_presses[key] = len(holds)
        holds.append(event["t_ns"])
    return [None if index in open_presses.values() else hold for index, hold in enumerate(holds)]
