#pragma once

#include <optional>
#include <string>

#include "computer/computer_input.h"

namespace ondrel::computer {

// What an action answers: {"success": true} or {"success": false, "error":
// ...}; cursor_position adds the pointer's "x" and "y".
struct ActionReply {
  bool success = true;
  std::string error;
  std::optional<Point> cursor;

  static ActionReply from(const Outcome& outcome) {
    return outcome.ok() ? ActionReply{} : ActionReply{false, outcome.error(), std::nullopt};
  }
  static ActionReply failed(std::string error) { return ActionReply{false, std::move(error), std::nullopt}; }
};

}  // namespace ondrel::computer
