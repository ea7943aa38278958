#pragma once

#include <linux/input.h>

#include <span>
#include <string>
#include <vector>

namespace ondrel::testing {

// An evdev event as a short text, "REL_X 300", "BTN_SOUTH 1", "SYN_REPORT";
// codes without a name here show as numbers, so they fail a comparison.
std::string describe(const input_event& event);
std::vector<std::string> describe(std::span<const input_event> events);

}  // namespace ondrel::testing
