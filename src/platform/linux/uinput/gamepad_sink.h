#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "devices/outcome.h"
#include "platform/gamepad_transitions.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/event_writer.h"

namespace ondrel::linux::uinput {

// The events a uinput gamepad declares: its buttons, and its axes 0..255
// starting in the neutral position.
Capabilities gamepad_capabilities();

// A gamepad as a uinput device: each report's changes become their events,
// then one SYN_REPORT.
class GamepadSink final : public ondrel::GamepadSink {
 public:
  explicit GamepadSink(std::unique_ptr<EventWriter> device) : device_(std::move(device)) {}

  // A uinput gamepad named `device_name`, or the reason there is none.
  static Expected<std::unique_ptr<GamepadSink>> open(const std::string& device_name);

  HidResult apply(std::span<const GamepadChange> changes) override;
  // A forked child's device is a new one of its own (Device makes it).
  [[nodiscard]] bool has_taken_nothing() const override;

 private:
  std::unique_ptr<EventWriter> device_;
  pid_t applied_by_ = 0;  // the process whose changes the device last took
};

}  // namespace ondrel::linux::uinput
