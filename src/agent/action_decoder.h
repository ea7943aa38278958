#pragma once

#include <string_view>

#include "agent/decode_result.h"

namespace ondrel {

// Turns one JSON text (UTF-8; any bytes are safe) into an action, in either
// shape: {"action": "mouse_move", "x": 10, "y": -5} or ["mouse_move", 10, -5].
// A failure carries the one message that says what was wrong first; failures
// found while reading the text end with " at line L column C".
DecodeResult decode_action(std::string_view text);

}  // namespace ondrel
