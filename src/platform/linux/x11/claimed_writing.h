#pragma once

#include <string_view>

#include "devices/outcome.h"
#include "platform/linux/x11/kept_connection.h"
#include "platform/typing_pace.h"

namespace ondrel::linux::x11 {

// Writes `text` on a connection that is open, as ComputerSystem::write: the
// text is planned and written while this writer holds the display's claim on
// its spare keycodes (writer_claim.h), so that writers in other threads or
// processes neither bind the same keycode nor type on another's binding, and
// the keymap planned on is the one written on; Caps Lock and Shift Lock are
// off for the while (lock_keys.h). After a failure, what was held is let go
// where it still can be, the claim is given back behind it, and a
// connection that took part of the text is put aside for a fresh one.
Outcome write_under_claim(KeptConnection& kept, std::string_view text, TypingPace pace);

}  // namespace ondrel::linux::x11
