#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "devices/device.h"

namespace ondrel {

struct MouseReport {
  std::uint8_t buttons = 0;  // bit 0 left, bit 1 right, bit 2 middle
  std::int8_t dx = 0;
  std::int8_t dy = 0;
  std::int8_t wheel = 0;
};
static_assert(sizeof(MouseReport) == 4);

enum class MouseButton : std::uint8_t { Left = 0x01, Right = 0x02, Middle = 0x04 };

inline constexpr std::string_view kDefaultMouseName = "ondrel Virtual Mouse";

// The Python method's rule: lower-cased; "right" and "middle", else left.
MouseButton mouse_button_from_name(std::string_view name);
// The action path's rule: compared exactly as written; absent means left.
MouseButton mouse_button_from_action(const std::optional<std::string>& name);

class MouseDevice : public Device<MouseReport> {
 public:
  static constexpr unsigned kClickHoldMs = 10;
  static constexpr unsigned kDoubleClickGapMs = 50;
  static constexpr int kMaxStep = 127;

  explicit MouseDevice(BackendFactory factory, std::string name = std::string(kDefaultMouseName))
      : Device(std::move(name), std::move(factory)) {}

  HidResult press(MouseButton button);
  HidResult release(MouseButton button);
  HidResult click(MouseButton button);
  HidResult double_click(MouseButton button);
  HidResult scroll(std::int8_t delta);
  HidResult move_by(std::int32_t dx, std::int32_t dy);

 private:
  HidResult send_once();
  HidResult send_buttons(std::uint8_t buttons);
};

}  // namespace ondrel
