#pragma once

#include <memory>
#include <string>

#include "devices/outcome.h"
#include "platform/input_sink.h"

namespace ondrel::linux::x11 {

// A sink that delivers changes to the X display named by DISPLAY through
// XTEST, or the reason there is none as a short clause (for example
// "DISPLAY is not set").
Expected<std::unique_ptr<InputSink>> open_sink();

}  // namespace ondrel::linux::x11
