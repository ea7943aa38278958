#pragma once

#include <cstdint>

#include "platform/computer_system.h"
#include "platform/linux/x11/xtest_connection.h"
#include "screen/image.h"

namespace ondrel::linux::x11 {

// The pixels of `area` of the window `root` (a screen's root window: what
// the screen shows), through the core protocol's GetImage on `connection`,
// by `deadline`. Pixels are read through the masks of the visual the server
// names in its reply (any TrueColor or DirectColor visual of 16, 24 or 32 bits
// a pixel, in the server's image byte order). `area` must lie on the root
// window; a server that refuses says so as Delivery::refused.
struct Capture {
  Delivery delivery = Delivery::delivered;
  Expected<screen::RgbImage> image = Outcome::failure("no picture was taken");
};
Capture capture_root_area(XtestConnection& connection, std::uint32_t root, ScreenArea area, Deadline deadline);

}  // namespace ondrel::linux::x11
