#pragma once

#include <memory>
#include <string>

#include "platform/input_sink.h"

namespace ondrel::linux::x11 {

// A sink that delivers records to the X display named by DISPLAY through
// XTEST, or nullptr with the reason as a short clause in `why_not` (for
// example "DISPLAY is not set").
std::unique_ptr<InputSink> open_sink(std::string& why_not);

}  // namespace ondrel::linux::x11
