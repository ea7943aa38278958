#pragma once

#include <linux/input.h>

#include <vector>

#include "platform/input_changes.h"

namespace ondrel::uinput {

// The evdev events of one decoded record, as one report ending with
// SYN_REPORT: motion as REL_X/REL_Y, buttons as BTN_LEFT/RIGHT/MIDDLE, the
// wheel in whole notches (REL_WHEEL) and in 120ths (REL_WHEEL_HI_RES), a key
// as its Linux code (1 down, 0 up).
std::vector<input_event> pointer_events(const PointerChanges& changes);
std::vector<input_event> key_events(const KeyChange& change);

}  // namespace ondrel::uinput
