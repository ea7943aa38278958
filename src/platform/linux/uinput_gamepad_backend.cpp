#include "platform/linux/uinput_gamepad_backend.h"

#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/linux/gamepad_codes.h"
#include "platform/linux/os_error.h"

namespace ondrel::uinput {
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

// Buttons start released in a new device; axes are sent when nothing was.
std::vector<input_event> changes(const std::optional<GamepadReport>& last_sent, const GamepadReport& report) {
  std::vector<input_event> events;
  const std::uint16_t before = last_sent ? last_sent->buttons() : 0;
  for (const GamepadButtonCode& row : kGamepadButtonCodes) {
    const bool down = (report.buttons() & bit(row.button)) != 0;
    if (down != ((before & bit(row.button)) != 0)) events.push_back(evdev_event(EV_KEY, row.code, down ? 1 : 0));
  }
  for (const GamepadAxisCode& row : kGamepadAxisCodes) {
    const std::uint8_t value = report.*row.field;
    if (!last_sent || (*last_sent).*row.field != value) events.push_back(evdev_event(EV_ABS, row.code, value));
  }
  return events;
}

}  // namespace

Capabilities gamepad_capabilities() {
  Capabilities capabilities;
  for (const GamepadButtonCode& row : kGamepadButtonCodes) capabilities.keys.push_back(row.code);
  const GamepadReport neutral;
  for (const GamepadAxisCode& row : kGamepadAxisCodes)
    capabilities.absolute_axes.push_back({row.code, kGamepadAxisMinimum, kGamepadAxisMaximum, neutral.*row.field});
  return capabilities;
}

std::unique_ptr<UinputGamepadBackend> UinputGamepadBackend::open(const std::string& device_name,
                                                                 std::string& why_not) {
  auto device = UinputDevice::create(gamepad_capabilities(), device_name, why_not);
  if (!device) return nullptr;
  return std::make_unique<UinputGamepadBackend>(std::move(device));
}

HidResult UinputGamepadBackend::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < sizeof(GamepadReport)) return HidError::send_failed("Invalid gamepad report");
  GamepadReport current;
  std::memcpy(&current, report.data(), sizeof current);
  if (sent_by_ != getpid()) last_sent_.reset();
  std::vector<input_event> events = changes(last_sent_, current);
  if (events.empty()) return HidResult::success();
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  if (!device_->write(events)) return HidError::send_failed(os_error("uinput write"));
  last_sent_ = current;
  sent_by_ = getpid();
  return HidResult::success();
}

HidResult UinputGamepadBackend::destroy() {
  device_.reset();
  return HidResult::success();
}

}  // namespace ondrel::uinput
