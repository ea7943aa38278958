#include "platform/linux/uinput/gamepad_sink.h"

#include <unistd.h>

#include <vector>

#include "platform/linux/uinput/gamepad_codes.h"

namespace ondrel::linux::uinput {
namespace {

constexpr bool every_button_once() {
  std::uint16_t seen = 0;
  for (const GamepadButtonCode& row : kGamepadButtonCodes) {
    if ((seen & bit(row.button)) != 0) return false;
    seen |= bit(row.button);
  }
  return seen == 0x7FFF;
}
static_assert(every_button_once(), "one row per gamepad button");

constexpr bool codes_unique() {
  for (std::size_t i = 0; i < kGamepadButtonCodes.size(); ++i)
    for (std::size_t j = i + 1; j < kGamepadButtonCodes.size(); ++j)
      if (kGamepadButtonCodes[i].code == kGamepadButtonCodes[j].code) return false;
  return true;
}
static_assert(codes_unique(), "one code per gamepad button");

static_assert([] {
  for (std::size_t i = 0; i < kGamepadAxisCodes.size(); ++i)
    if (static_cast<std::size_t>(kGamepadAxisCodes[i].axis) != i) return false;
  return true;
}(), "one row per axis, in GamepadAxis's order");

std::uint16_t code_of(GamepadButton button) {
  for (const GamepadButtonCode& row : kGamepadButtonCodes)
    if (row.button == button) return row.code;
  return 0;  // every button has a row (above)
}

input_event event_of(const GamepadChange& change) {
  if (const auto* button = std::get_if<GamepadButtonChange>(&change))
    return evdev_event(EV_KEY, code_of(button->button), button->down ? 1 : 0);
  const auto& axis = std::get<GamepadAxisChange>(change);
  return evdev_event(EV_ABS, kGamepadAxisCodes[static_cast<std::size_t>(axis.axis)].code, axis.value);
}

}  // namespace

Capabilities gamepad_capabilities() {
  Capabilities capabilities;
  for (const GamepadButtonCode& row : kGamepadButtonCodes) capabilities.keys.push_back(row.code);
  for (const GamepadAxisCode& row : kGamepadAxisCodes)
    capabilities.absolute_axes.push_back({row.code, kGamepadAxisMinimum, kGamepadAxisMaximum, row.neutral});
  return capabilities;
}

Expected<std::unique_ptr<GamepadSink>> GamepadSink::open(const std::string& device_name) {
  Expected<std::unique_ptr<Device>> device = Device::create(gamepad_capabilities(), device_name);
  if (!device.ok()) return device.outcome();
  return std::make_unique<GamepadSink>(std::move(device).take());
}

HidResult GamepadSink::apply(std::span<const GamepadChange> changes) {
  std::vector<input_event> events;
  for (const GamepadChange& change : changes) events.push_back(event_of(change));
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  const Outcome written = device_->write(events);
  if (!written.ok()) return HidError::send_failed(written.error());
  applied_by_ = getpid();
  return HidResult::success();
}

bool GamepadSink::has_taken_nothing() const { return applied_by_ != getpid(); }

}  // namespace ondrel::linux::uinput
