#include "devices/hid_error.h"

#include <array>
#include <string_view>

namespace ondrel {
namespace {

// Display prefix per kind, in the order of HidError::Kind.
constexpr std::array<std::string_view, 10> kDisplayPrefix = {
    "Device not created",
    "Device already exists",
    "Failed to create device: ",
    "Failed to send report: ",
    "Platform not supported: ",
    "Invalid key: ",
    "Invalid action: ",
    "IO error: ",
    "JSON error: ",
    "Interrupted",
};

}  // namespace

std::string HidError::display() const {
  std::string text(kDisplayPrefix[static_cast<std::size_t>(kind_)]);
  text += payload_;
  return text;
}

}  // namespace ondrel
