#pragma once

#include <string>

#include "platform/linux/x11/display_socket.h"
#include "platform/linux/x11/library.h"

namespace ondrel::linux::x11 {

// Sets up an X connection over `socket` by `deadline`: the setup request
// with the display's cookie, if any, and the server's answer. The connection
// owns a descriptor of its own; otherwise a short clause saying that the
// server refused or did not answer in time.
Expected<XcbConnection*> set_up_connection(const XcbLibrary& xcb, const DisplayAddress& display,
                                           DisplaySocket socket, Deadline deadline);

}  // namespace ondrel::linux::x11
