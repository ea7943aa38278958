#pragma once

#include <optional>
#include <string>

#include "devices/hid_result.h"

namespace ondrel {

// The outcome of one action: success, or the display text of what failed.
struct ActionResult {
  bool success = true;
  std::optional<std::string> error;

  static ActionResult succeeded() { return {}; }
  static ActionResult failed(std::string text) { return {false, std::move(text)}; }
  static ActionResult from(const HidResult& result) {
    return result.ok() ? succeeded() : failed(result.error().display());
  }
};

// The compact JSON form: {"success":true,"error":null} or
// {"success":false,"error":"..."}.
std::string result_to_json(const ActionResult& result);

}  // namespace ondrel
