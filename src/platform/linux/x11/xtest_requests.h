#pragma once

#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/library.h"

namespace ondrel::linux::x11 {

// The XTEST extension as libxcb names it; its opcode is looked up per
// connection (prefetch it and wait for the answer before sending).
XcbExtension& xtest_extension();

// GetVersion, checked: its reply, or the error if the server refuses it,
// comes back under the returned sequence number.
XcbCookie send_xtest_get_version(const XcbLibrary& xcb, XcbConnection* connection);

// FakeInput of one core event, with no reply; an error waits in the event
// queue.
void send_xtest_fake_input(const XcbLibrary& xcb, XcbConnection* connection, const FakeEvent& event);

}  // namespace ondrel::linux::x11
