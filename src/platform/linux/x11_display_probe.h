#pragma once

#include <chrono>
#include <string>

#include "platform/linux/x11_library.h"

namespace ondrel::x11 {

// Whether the X server of `display` is known to be silent: it takes
// connections (its socket is there) but sends no answer to a connection
// request within `patience`, as a stopped server does. xcb_connect would wait
// for that answer forever, so creation asks this first. Only local displays
// (":N", "unix:N") are probed; for any other this says false.
bool display_is_silent(const XcbLibrary& xcb, const std::string& display, std::chrono::milliseconds patience);

}  // namespace ondrel::x11
