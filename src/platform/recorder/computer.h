#pragma once

#include <memory>
#include <optional>

#include "platform/computer_system.h"

namespace ondrel::recorder {

// The screen a recording Computer has when none is given: a common size,
// so that points in tests and examples mean the same everywhere.
inline constexpr Size kDefaultRecordedScreen{1920, 1080};

// A Computer's system while the recorder is started: its INPUT records go to
// the journal (a refusal the recorder was told to cause fails as SendInput
// would), the pointer is where the recorded moves put it (from the top-left
// corner at first), and characters are typed as on a US layout, any other
// as a Unicode packet, as Windows would type them.
std::unique_ptr<ComputerSystem> open_recording_computer(std::optional<Size> screen_size);

}  // namespace ondrel::recorder
