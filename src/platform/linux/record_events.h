#pragma once

#include <linux/input.h>

#include <vector>

#include "platform/input_sink.h"
#include "platform/windows/input_record.h"

namespace ondrel::uinput {

// The evdev events that play one INPUT record on a `kind` device, ending with
// SYN_REPORT: motion as REL_X/REL_Y, buttons as BTN_LEFT/RIGHT/MIDDLE, the
// wheel in whole notches (REL_WHEEL) and in 120ths (REL_WHEEL_HI_RES), a key
// as its Linux code (1 down, 0 up). False, with `events` untouched, for a
// record this device cannot play: another device's, an unknown flag or key.
[[nodiscard]] bool events_for_record(const win32::Input& input, InputDeviceKind kind,
                                     std::vector<input_event>& events);

}  // namespace ondrel::uinput
