#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/windows/input_record.h"

// The recorder as the platform code sees it.
namespace ondrel::recorder {

// Whether the recorder is started.
bool recording();

// Decides a record before any system sees it: a due failure refuses it (0),
// a started recorder takes it (1); otherwise nullopt, and the system gets it.
std::optional<unsigned> intercept(const windows::Input& input);

// Whether a gamepad's create installs the recording back end.
bool gamepad_enabled();
void record_gamepad_report(std::span<const std::uint8_t> report);

}  // namespace ondrel::recorder
