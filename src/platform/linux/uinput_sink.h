#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_sink.h"
#include "platform/linux/event_writer.h"

namespace ondrel::uinput {

// Whether this process may create uinput devices.
bool available();

// A sink that delivers a `kind` device's records to a uinput device of its
// own named `device_name`, or nullptr with the reason as a short clause in
// `why_not` (for example "/dev/uinput is not writable"). The device is
// removed from the system when the sink is released.
std::unique_ptr<InputSink> open_sink(InputDeviceKind kind, const std::string& device_name, std::string& why_not);

// Plays each record as the evdev events of one report through `device`;
// refuses a record that is not its device kind's, and fails with the
// system's reason when the device does not take the events.
class UinputSink final : public InputSink {
 public:
  UinputSink(InputDeviceKind kind, std::unique_ptr<EventWriter> device) : kind_(kind), device_(std::move(device)) {}
  HidResult send_input(const win32::Input& input) override;

 private:
  std::optional<std::vector<input_event>> events_for(const win32::Input& input) const;

  InputDeviceKind kind_;
  std::unique_ptr<EventWriter> device_;
};

}  // namespace ondrel::uinput
