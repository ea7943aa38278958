#pragma once

#include <linux/input.h>

#include <optional>
#include <vector>

#include "platform/input_change.h"

namespace ondrel::linux::uinput {

// The evdev events of one change, as one report ending with SYN_REPORT:
// motion as REL_X/REL_Y, buttons as BTN_LEFT/RIGHT/MIDDLE, the wheel in
// whole notches (REL_WHEEL) and in 120ths (REL_WHEEL_HI_RES), a key as its
// Linux code (1 down, 0 up); nothing for a key outside the key table.
std::optional<std::vector<input_event>> events_for(const InputChange& change);

}  // namespace ondrel::linux::uinput
