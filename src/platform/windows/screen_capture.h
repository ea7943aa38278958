#pragma once

#include "devices/outcome.h"
#include "platform/computer_system.h"
#include "screen/image.h"

namespace ondrel::windows {

// The pixels of `area` of the virtual desktop, in the calling thread's DPI
// awareness (virtual-screen coordinates: the origin may be negative),
// through GDI: BitBlt of the screen's device context into a DIB section.
// Without CAPTUREBLT, so layered windows show as the desktop composes them
// and the screen does not flicker; the cursor is never drawn into it.
Expected<screen::RgbImage> capture_desktop_area(ScreenArea area);

}  // namespace ondrel::windows
