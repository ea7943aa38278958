#include "platform/windows/mouse_backend.h"

#include <array>

namespace ondrel {
namespace {

struct ButtonEvents {
  std::uint8_t bit;
  std::uint32_t down_flag;
  std::uint32_t up_flag;
};

// In the order in which transitions are injected.
constexpr std::array<ButtonEvents, 3> kButtonEvents = {{
    {0x01, win32::mouse_flag::left_down, win32::mouse_flag::left_up},
    {0x02, win32::mouse_flag::right_down, win32::mouse_flag::right_up},
    {0x04, win32::mouse_flag::middle_down, win32::mouse_flag::middle_up},
}};

constexpr std::size_t kMouseReportSize = 4;

}  // namespace

// `previous_buttons_` changes only after each event went in, so after a
// failure it is what the system holds, and the next report sends exactly
// the transitions still missing.
HidResult WindowsMouseBackend::inject_buttons(std::uint8_t buttons) {
  for (const ButtonEvents& button : kButtonEvents) {
    const bool was_down = (previous_buttons_ & button.bit) != 0;
    const bool is_down = (buttons & button.bit) != 0;
    if (was_down == is_down) continue;
    const std::uint32_t flag = is_down ? button.down_flag : button.up_flag;
    ONDREL_TRY(win32::inject(*sink_, win32::mouse_input(0, 0, 0, flag)));
    previous_buttons_ ^= button.bit;
  }
  return HidResult::success();
}

HidResult WindowsMouseBackend::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < kMouseReportSize) return HidError::send_failed("Invalid mouse report");
  const std::uint8_t buttons = report[0];
  const auto dx = static_cast<std::int8_t>(report[1]);
  const auto dy = static_cast<std::int8_t>(report[2]);
  const auto wheel = static_cast<std::int8_t>(report[3]);

  if (dx != 0 || dy != 0)
    ONDREL_TRY(win32::inject(*sink_, win32::mouse_input(dx, dy, 0, win32::mouse_flag::move)));

  ONDREL_TRY(inject_buttons(buttons));

  if (wheel != 0) {
    const std::int32_t mouse_data = wheel * win32::kWheelDelta;
    ONDREL_TRY(win32::inject(*sink_, win32::mouse_input(0, 0, mouse_data, win32::mouse_flag::wheel)));
  }
  return HidResult::success();
}

}  // namespace ondrel
