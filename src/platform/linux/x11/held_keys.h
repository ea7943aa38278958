#pragma once

#include <optional>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/kept_connection.h"
#include "platform/linux/x11/keymap.h"
#include "platform/linux/x11/text_plan.h"

namespace ondrel::linux::x11 {

// The keys that the computer layer holds down on X, each pressed as the
// layout in use gives its keysym: the key with Shift or AltGr when only that
// level gives it (looked up at each press, so a change of layout takes
// effect at once); a keypad keysym at the level that Num Lock gives, with
// Num Lock tapped before the press and after the release where its state
// gives the other level (the client reads the level off the event's state,
// where a keymap changed for the while could be looked up too late). A keysym
// that no key gives (F13 to F24 on the usual evdev keymaps, which give those
// keys XF86 keysyms) is bound to a spare keycode while the key is down, as
// write() binds a character, and the keycode gets its mapping back once the
// key is up and the client had time to look the key up. Every modifier of
// the key table is on every layout, so a bound key never has to act as a
// modifier.
class HeldKeys {
 public:
  explicit HeldKeys(KeptConnection& kept) : kept_(kept) {}

  // Presses or releases the key of `keysym`, on a connection that is open.
  Outcome key(Keysym keysym, bool down, Deadline deadline);

 private:
  struct HeldKey {
    Keysym keysym;
    Keystroke keystroke;
    std::optional<SpareBinding> binding;  // a spare keycode bound to the keysym while the key is down
    KeyboardMapping original;             // the mapping to give back then
    Keycode lock_toggle = 0;              // Num Lock, tapped around the key; 0: none
  };
  // The keystroke for a keysym: its key on the layout in use, or else a
  // spare keycode to bind it to.
  struct KeyPlan {
    Keystroke keystroke;
    std::optional<SpareBinding> binding;
    Keycode lock_toggle = 0;
  };
  struct PlannedKey {
    Keymap keymap;
    KeyPlan plan;
  };

  Outcome press(Keysym keysym, Deadline deadline);
  Outcome press_on_spare_keycode(Keysym keysym);
  Expected<PlannedKey> plan_on_server(Keysym keysym, Deadline deadline);
  struct KeypadState {
    bool second_level = false;  // what a keypad key gives now: Num Lock on, Shift off
    bool shift = false;         // held or locked
  };
  Expected<KeyPlan> plan_key(const Keymap& keymap, Keysym keysym, KeypadState keypad) const;
  Outcome release(std::vector<HeldKey>::iterator held, Deadline deadline);

  KeptConnection& kept_;
  std::vector<HeldKey> held_;  // the keys down, each with the keystroke that pressed it
};

}  // namespace ondrel::linux::x11
