#pragma once

#include <string>

#include "platform/linux/x11_display_socket.h"
#include "platform/linux/x11_library.h"

namespace ondrel::x11 {

// Sets up an X connection over `socket` by `deadline`: the setup request
// with the display's cookie, if any, and the server's answer. The connection
// owns a descriptor of its own; nullptr with a short clause in `why_not`
// when the server refuses or does not answer in time.
XcbConnection* set_up_connection(const XcbLibrary& xcb, const DisplayAddress& display, DisplaySocket socket,
                                 Deadline deadline, std::string& why_not);

}  // namespace ondrel::x11
