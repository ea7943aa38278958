#include "platform/gamepad_transitions.h"

#include <array>
#include <cstring>
#include <vector>

namespace ondrel {
namespace {

struct AxisField {
  GamepadAxis axis;
  std::uint8_t GamepadReport::*field;
};

constexpr auto kAxisFields = std::to_array<AxisField>({
    {GamepadAxis::left_x, &GamepadReport::left_x},
    {GamepadAxis::left_y, &GamepadReport::left_y},
    {GamepadAxis::right_x, &GamepadReport::right_x},
    {GamepadAxis::right_y, &GamepadReport::right_y},
    {GamepadAxis::left_trigger, &GamepadReport::left_trigger},
    {GamepadAxis::right_trigger, &GamepadReport::right_trigger},
});

// Buttons in bit order; buttons start released in a new device.
std::vector<GamepadChange> changes(const std::optional<GamepadReport>& last_sent, const GamepadReport& report) {
  std::vector<GamepadChange> out;
  const std::uint16_t before = last_sent ? last_sent->buttons() : 0;
  for (std::uint16_t bit = 1; bit != 0x8000; bit = static_cast<std::uint16_t>(bit << 1)) {
    const bool down = (report.buttons() & bit) != 0;
    if (down != ((before & bit) != 0)) out.emplace_back(GamepadButtonChange{static_cast<GamepadButton>(bit), down});
  }
  for (const AxisField& row : kAxisFields) {
    const std::uint8_t value = report.*row.field;
    if (!last_sent || (*last_sent).*row.field != value) out.emplace_back(GamepadAxisChange{row.axis, value});
  }
  return out;
}

}  // namespace

HidResult GamepadTransitions::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < sizeof(GamepadReport)) return HidError::send_failed("Invalid gamepad report");
  GamepadReport current;
  std::memcpy(&current, report.data(), sizeof current);
  if (sink_->has_taken_nothing()) last_sent_.reset();
  const std::vector<GamepadChange> pending = changes(last_sent_, current);
  if (pending.empty()) return HidResult::success();
  ONDREL_TRY(sink_->apply(pending));
  last_sent_ = current;
  return HidResult::success();
}

HidResult GamepadTransitions::destroy() {
  sink_.reset();
  return HidResult::success();
}

}  // namespace ondrel
