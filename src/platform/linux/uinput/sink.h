#pragma once

#include <memory>
#include <string>

#include "devices/outcome.h"
#include "platform/input_sink.h"
#include "platform/linux/uinput/event_writer.h"

namespace ondrel::linux::uinput {

// A sink that delivers a `kind` device's changes to a uinput device of its
// own named `device_name`, or the reason there is none (for example
// "/dev/uinput is not writable"). The device leaves the system with the sink.
Expected<std::unique_ptr<InputSink>> open_sink(InputDeviceKind kind, const std::string& device_name);

// Plays each change as the evdev events of one report through `device`;
// refuses a change that is not its device kind's, and fails with the
// system's reason when the device does not take the events.
class Sink final : public InputSink {
 public:
  Sink(InputDeviceKind kind, std::unique_ptr<EventWriter> device) : kind_(kind), device_(std::move(device)) {}
  HidResult apply(const InputChange& change) override;

 private:
  InputDeviceKind kind_;
  std::unique_ptr<EventWriter> device_;
};

}  // namespace ondrel::linux::uinput
