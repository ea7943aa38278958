#pragma once

#include <span>

#include "devices/outcome.h"
#include "platform/linux/x11/keymap.h"
#include "platform/linux/x11/text_plan.h"
#include "platform/linux/x11/xtest_connection.h"

// The core protocol's keyboard mapping requests on an open connection; each
// call ends within kServerPatience, and its failure names what the server
// did (refused, did not answer, connection lost).

namespace ondrel::linux::x11 {

// The server's current keyboard and modifier mappings, over every keycode.
Expected<Keymap> fetch_keymap(XtestConnection& connection, Deadline deadline = patience_from_now());

// Binds each spare keycode to its keysym (twice, at levels 1 and 2, so
// that neither Caps Lock nor a held Shift changes what it types) and waits
// until the server has made the change.
Outcome bind_spare_keycodes(XtestConnection& connection, std::span<const SpareBinding> bindings);

// Gives the bound keycodes back the keysyms they have in `original`.
Outcome restore_keycodes(XtestConnection& connection, const KeyboardMapping& original,
                        std::span<const SpareBinding> bindings);

// What a delivery other than `delivered` means, as a failure's text.
std::string delivery_failure(Delivery delivery);

}  // namespace ondrel::linux::x11
