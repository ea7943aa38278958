#pragma once

#include <cstdint>
#include <span>

#include "platform/windows/input_record.h"

// The recorder as the platform code sees it.
namespace ondrel::recorder {

// Called by the stand-in SendInput: records `input` and returns true while
// recording and no failure is due; otherwise returns false.
bool accept_input(const win32::Input& input);

// Whether a gamepad's create installs the recording back end.
bool gamepad_enabled();
void record_gamepad_report(std::span<const std::uint8_t> report);

}  // namespace ondrel::recorder
