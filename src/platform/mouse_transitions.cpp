#include "platform/mouse_transitions.h"

#include "platform/pointer_buttons.h"

namespace ondrel {
namespace {

constexpr std::size_t kMouseReportSize = 4;

}  // namespace

// `held_buttons_` changes only after each change went in, so after a
// failure it is what the system holds, and the next report sends exactly
// the transitions still missing.
HidResult MouseTransitions::change_buttons(std::uint8_t buttons) {
  for (const PointerButtonCodes& row : kPointerButtonCodes) {
    if (row.report_bit == 0) continue;
    const bool was_down = (held_buttons_ & row.report_bit) != 0;
    const bool is_down = (buttons & row.report_bit) != 0;
    if (was_down == is_down) continue;
    ONDREL_TRY(sink_->apply(ButtonChange{row.button, is_down}));
    held_buttons_ ^= row.report_bit;
  }
  return HidResult::success();
}

HidResult MouseTransitions::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < kMouseReportSize) return HidError::send_failed("Invalid mouse report");
  const std::uint8_t buttons = report[0];
  const auto dx = static_cast<std::int8_t>(report[1]);
  const auto dy = static_cast<std::int8_t>(report[2]);
  const auto wheel = static_cast<std::int8_t>(report[3]);

  if (dx != 0 || dy != 0) ONDREL_TRY(sink_->apply(PointerMotion{dx, dy}));
  ONDREL_TRY(change_buttons(buttons));
  if (wheel != 0) ONDREL_TRY(sink_->apply(WheelTurn{wheel}));
  return HidResult::success();
}

}  // namespace ondrel
