#pragma once

#include <linux/input.h>

#include <cstdint>
#include <vector>

#include "devices/outcome.h"
#include "platform/computer_system.h"
#include "platform/linux/uinput/device.h"

namespace ondrel::linux::uinput {

// A Computer's pointer on uinput: ABS_X and ABS_Y spanning the screen
// pixel for pixel, the five buttons and both wheels. Absolute axes with
// mouse buttons and neither touch nor pen make udev's input_id call it a
// mouse (as it does the absolute USB mice of virtual machines), and libinput
// then maps each position onto the output as it is, with no acceleration.
Capabilities absolute_pointer_capabilities(Size screen);

// Where the device's axes stand before its first move.
inline constexpr Point kPointerAxesAtStart{0, 0};

// One report that puts the pointer at `to`. The kernel drops an axis value
// equal to the device's last one, so that axis first passes through a
// neighbouring value within the same report: a reader takes the report's
// last values, and the pointer lands on `to` even if another mouse moved it
// since. `last` is where the axes stand now; `screen` bounds the neighbour.
std::vector<input_event> absolute_move_events(Point to, Point last, Size screen);

std::vector<input_event> button_events(Button button, bool down);

// One report turning the wheels, in notches and in 120ths of one: dy > 0
// scrolls down (REL_WHEEL turns towards the user), dx > 0 right.
Expected<std::vector<input_event>> wheel_events(std::int32_t dx, std::int32_t dy);

}  // namespace ondrel::linux::uinput
