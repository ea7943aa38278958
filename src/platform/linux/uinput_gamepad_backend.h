#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "devices/device_backend.h"
#include "devices/gamepad_report.h"
#include "platform/linux/event_writer.h"
#include "platform/linux/uinput_device.h"

namespace ondrel::uinput {

// The events a uinput gamepad declares: its buttons, and its axes 0..255
// starting in the neutral position.
Capabilities gamepad_capabilities();

// A gamepad as a uinput device: each report becomes the events of what
// changed since the last report that went out, then one SYN_REPORT. The
// first report sends every axis, since the device cannot know what a
// report kept across destroy and create holds; so does a forked child's
// first, which goes to a new device of the child's own.
class UinputGamepadBackend final : public DeviceBackend {
 public:
  explicit UinputGamepadBackend(std::unique_ptr<EventWriter> device) : device_(std::move(device)) {}

  // A uinput gamepad named `device_name`, or nullptr with the reason in
  // `why_not`.
  static std::unique_ptr<UinputGamepadBackend> open(const std::string& device_name, std::string& why_not);

  // A refused write fails the report and keeps the last report that went
  // out, so the next report carries the lost changes too.
  HidResult send_report(std::span<const std::uint8_t> report) override;
  // Removes the device from the system now.
  HidResult destroy() override;

 private:
  std::unique_ptr<EventWriter> device_;
  std::optional<GamepadReport> last_sent_;
  pid_t sent_by_ = 0;  // the process that sent last_sent_
};

}  // namespace ondrel::uinput
