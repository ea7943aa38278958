#include "devices/mouse.h"

#include <algorithm>
#include <cstdlib>

#include "devices/name_folding.h"
#include "devices/pause.h"

namespace ondrel {
namespace {

std::uint8_t bit(MouseButton button) { return static_cast<std::uint8_t>(button); }

MouseButton button_named(std::string_view name) {
  if (name == "right") return MouseButton::Right;
  if (name == "middle") return MouseButton::Middle;
  return MouseButton::Left;
}

// One axis of a stepped move: |offset| spread over `steps` reports as evenly
// as possible, the first reports taking the extra unit, so the reports add
// up to the exact offset.
struct AxisSteps {
  std::int64_t sign;
  std::int64_t quotient;
  std::int64_t remainder;

  AxisSteps(std::int64_t offset, std::int64_t steps)
      : sign(offset < 0 ? -1 : (offset > 0 ? 1 : 0)),
        quotient(std::llabs(offset) / steps),
        remainder(std::llabs(offset) % steps) {}

  [[nodiscard]] std::int8_t step(std::int64_t index) const {
    return static_cast<std::int8_t>(sign * (quotient + (index < remainder ? 1 : 0)));
  }
};

// After a failure: buttons the operation pressed come out, buttons it
// released stay released, and the failed report's motion and wheel are
// dropped rather than delivered by whatever the caller does next.
void withdraw(MouseReport& report, const MouseReport& before) {
  report.buttons &= before.buttons;
  report.dx = 0;
  report.dy = 0;
  report.wheel = 0;
}

std::int64_t reports_needed(std::int64_t offset) {
  return (std::llabs(offset) + MouseDevice::kMaxStep - 1) / MouseDevice::kMaxStep;
}

}  // namespace

MouseButton mouse_button_from_name(std::string_view name) {
  const auto folded = fold_table_name(name);
  return folded ? button_named(*folded) : MouseButton::Left;
}

MouseButton mouse_button_from_action(const std::optional<std::string>& name) {
  return name ? button_named(*name) : MouseButton::Left;
}

// Motion and wheel are one-time events: once a report carrying them was
// accepted they are spent, whichever operation sent it.
HidResult MouseDevice::send_once() {
  ONDREL_TRY(send());
  mutable_report().dx = 0;
  mutable_report().dy = 0;
  mutable_report().wheel = 0;
  return HidResult::success();
}

HidResult MouseDevice::send_buttons(std::uint8_t buttons) {
  mutable_report().buttons = buttons;
  return send_once();
}

HidResult MouseDevice::press(MouseButton button) {
  return attempt([&] { return send_buttons(report().buttons | bit(button)); }, withdraw);
}

HidResult MouseDevice::release(MouseButton button) {
  return attempt([&] { return send_buttons(report().buttons & ~bit(button)); }, withdraw);
}

HidResult MouseDevice::click(MouseButton button) {
  return attempt(
      [&]() -> HidResult {
        const std::uint8_t before = report().buttons;
        ONDREL_TRY(send_buttons(before | bit(button)));
        pause_ms(kClickHoldMs);
        return send_buttons(before & ~bit(button));
      },
      withdraw);
}

HidResult MouseDevice::double_click(MouseButton button) {
  return attempt(
      [&]() -> HidResult {
        const std::uint8_t before = report().buttons;
        const auto down = static_cast<std::uint8_t>(before | bit(button));
        const auto up = static_cast<std::uint8_t>(before & ~bit(button));
        ONDREL_TRY(send_buttons(down));
        pause_ms(kClickHoldMs);
        ONDREL_TRY(send_buttons(up));
        pause_ms(kDoubleClickGapMs);
        ONDREL_TRY(send_buttons(down));
        pause_ms(kClickHoldMs);
        return send_buttons(up);
      },
      withdraw);
}

HidResult MouseDevice::scroll(std::int8_t delta) {
  return attempt(
      [&] {
        mutable_report().wheel = delta;
        return send_once();
      },
      withdraw);
}

HidResult MouseDevice::move_by(std::int32_t dx, std::int32_t dy) {
  return attempt(
      [&]() -> HidResult {
        const std::int64_t steps = std::max({reports_needed(dx), reports_needed(dy), std::int64_t{1}});
        const AxisSteps x(dx, steps);
        const AxisSteps y(dy, steps);
        for (std::int64_t i = 0; i < steps; ++i) {
          mutable_report().dx = x.step(i);
          mutable_report().dy = y.step(i);
          ONDREL_TRY(send_once());
        }
        return HidResult::success();
      },
      withdraw);
}

}  // namespace ondrel
