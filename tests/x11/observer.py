"""The tests' own X client: a window over the whole screen that has the keyboard focus and takes every key
and button event, and the pointer's position as any client sees it."""

from Xlib import X, XK, display
from Xlib.keysymdef import latin1, miscellany

MODIFIERS = ((X.ShiftMask, "Shift"), (X.ControlMask, "Control"), (X.Mod1Mask, "Alt"), (X.Mod4Mask, "Super"))
MODIFIER_KEYSYMS = {XK.XK_Shift_L, XK.XK_Shift_R, XK.XK_Control_L, XK.XK_Control_R, XK.XK_Alt_L, XK.XK_Alt_R,
                    XK.XK_Super_L, XK.XK_Super_R, XK.XK_Meta_L, XK.XK_Meta_R}
TEXT_KEYSYMS = {XK.XK_Return: "\n", XK.XK_Tab: "\t"}


def keysym_names():
    """Keysym to name; of two names for one keysym the longer ("Page_Down", not "Next"; "F11", not "L1")."""
    names = {}
    for group in (latin1, miscellany):
        for name in sorted(dir(group), key=len):
            if name.startswith("XK_"):
                names[getattr(group, name)] = name[3:]
    return names


KEYSYM_NAMES = keysym_names()


class Observer:
    def __init__(self, display_name):
        self.display = display.Display(display_name)
        screen = self.display.screen()
        self.root = screen.root
        self.window = self.root.create_window(
            0, 0, screen.width_in_pixels, screen.height_in_pixels, 0, screen.root_depth, override_redirect=True,
            event_mask=X.KeyPressMask | X.KeyReleaseMask | X.ButtonPressMask | X.ButtonReleaseMask)
        self.window.map()
        self.window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.events()

    def close(self):
        self.display.close()

    def warp(self, x, y):
        self.root.warp_pointer(x, y)
        self.display.sync()

    def pointer(self):
        reply = self.root.query_pointer()
        return reply.root_x, reply.root_y

    def held(self):
        """The keycodes and pointer buttons (1 to 5) that are down on the server."""
        keymap = self.display.query_keymap()
        keys = [8 * byte + bit for byte, bits in enumerate(keymap) for bit in range(8) if bits >> bit & 1]
        mask = self.root.query_pointer().mask
        buttons = [number for number in range(1, 6) if mask & (X.Button1Mask << (number - 1))]
        return keys, buttons

    def events(self):
        """Every event that has arrived since the last call. The round trip first makes sure that whatever the
        server did before now has reached us."""
        self.display.sync()
        arrived = []
        while self.display.pending_events():
            arrived.append(self.display.next_event())
        return arrived

    def buttons(self):
        """Button presses and releases, as ("press", 1), ("release", 1)."""
        names = {X.ButtonPress: "press", X.ButtonRelease: "release"}
        return [(names[event.type], event.detail) for event in self.events() if event.type in names]

    def key_presses(self):
        """Each press of a key other than a modifier: its keysym's name and the modifiers held, as ("c", {"Control"})."""
        presses = []
        for event in self.events():
            if event.type != X.KeyPress:
                continue
            keysym = self.display.keycode_to_keysym(event.detail, 0)
            if keysym not in MODIFIER_KEYSYMS:
                held = {name for mask, name in MODIFIERS if event.state & mask}
                presses.append((KEYSYM_NAMES.get(keysym, hex(keysym)), held))
        return presses

    def key_transitions(self):
        """Every key going down or up, modifiers included, in order: ("press", "Control_L"), ("release", "c")."""
        names = {X.KeyPress: "press", X.KeyRelease: "release"}
        return [(names[event.type], self.key_name(event.detail)) for event in self.events() if event.type in names]

    def held_keys(self):
        """The names of the keys that the server holds down now."""
        bits = self.display.query_keymap()
        return {self.key_name(code) for code in range(8, 256) if bits[code // 8] & (1 << code % 8)}

    def key_name(self, keycode):
        keysym = self.display.keycode_to_keysym(keycode, 0)
        return KEYSYM_NAMES.get(keysym, hex(keysym))

    def typed_text(self):
        """The text that the key presses type with the server's keymap, Shift choosing the second keysym."""
        text = []
        for event in self.events():
            if event.type != X.KeyPress:
                continue
            keysym = self.display.keycode_to_keysym(event.detail, 1 if event.state & X.ShiftMask else 0)
            if keysym in TEXT_KEYSYMS:
                text.append(TEXT_KEYSYMS[keysym])
            elif 0x20 <= keysym < 0x7F:
                text.append(chr(keysym))
            elif keysym not in MODIFIER_KEYSYMS:
                text.append(f"<{KEYSYM_NAMES.get(keysym, hex(keysym))}>")
        return "".join(text)
