#pragma once

#include <optional>
#include <utility>

#include "devices/hid_error.h"

namespace ondrel {

// Success, or exactly one HidError.
class [[nodiscard]] HidResult {
 public:
  HidResult() = default;
  HidResult(HidError error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  static HidResult success() { return {}; }

  [[nodiscard]] bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  [[nodiscard]] const HidError& error() const { return *error_; }

 private:
  std::optional<HidError> error_;
};

// Returns from the calling function when `expr` failed.
#define ONDREL_TRY(expr)                     \
  do {                                       \
    if (auto ondrel_result_ = (expr); !ondrel_result_.ok()) \
      return ondrel_result_;                 \
  } while (false)

}  // namespace ondrel
