#pragma once

#include <linux/input.h>

#include <span>

#include "devices/outcome.h"

namespace ondrel::linux::uinput {

// Where a batch of evdev events goes: a uinput device, or in tests a stand-in
// that records or refuses. A batch ends with its SYN_REPORT.
class EventWriter {
 public:
  virtual ~EventWriter() = default;
  // Success once the whole batch was taken; otherwise the system's reason.
  virtual Outcome write(std::span<const input_event> events) = 0;
};

// One event; the kernel stamps the time itself.
inline input_event evdev_event(std::uint16_t type, std::uint16_t code, std::int32_t value) {
  input_event event{};
  event.type = type;
  event.code = code;
  event.value = value;
  return event;
}

}  // namespace ondrel::linux::uinput
