#pragma once

#include <string>

#include "computer/action_reply.h"

namespace ondrel::computer {

// The reply as compact JSON: {"success":true}, {"success":false,"error":"..."},
// with "x" and "y" after "success" for cursor_position.
std::string reply_to_json(const ActionReply& reply);

}  // namespace ondrel::computer
