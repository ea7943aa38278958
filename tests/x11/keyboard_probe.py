"""The server's keyboard as a client of the tests' own reads it (python-xlib, imported late so that machines without
it can still collect the tests): its mapping, the keys down, the modifier state with its locks, and a key tapped
through XTEST."""

CAPS_KEYCODE, NUM_LOCK_KEYCODE = 66, 77  # on the evdev keymap of Xvfb


def keyboard_state(display_name):
    """The keyboard mapping and the keycodes down."""
    from Xlib import display
    client = display.Display(display_name)
    first = client.display.info.min_keycode
    mapping = [list(row) for row in client.get_keyboard_mapping(first, client.display.info.max_keycode - first + 1)]
    keymap = client.query_keymap()
    down = [8 * byte + bit for byte, bits in enumerate(keymap) for bit in range(8) if bits >> bit & 1]
    client.close()
    return mapping, down


def tap(client, keycode):
    from Xlib import X
    from Xlib.ext import xtest
    xtest.fake_input(client, X.KeyPress, keycode)
    xtest.fake_input(client, X.KeyRelease, keycode)
    client.sync()


def pointer_mask(client):
    """The modifier state, locks included."""
    return client.screen().root.query_pointer().mask
