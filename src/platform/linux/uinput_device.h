#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/linux/event_writer.h"

namespace ondrel::uinput {

struct AbsoluteAxis {
  std::uint16_t code;
  std::int32_t minimum;
  std::int32_t maximum;
  std::int32_t initial;  // what a reader sees before the first event
};

// The events a new device can produce.
struct Capabilities {
  std::vector<std::uint16_t> keys;
  std::vector<std::uint16_t> relative_axes;
  std::vector<AbsoluteAxis> absolute_axes;
};

// A uinput device of its own, registered with the system when create()
// returns it and removed from it when it is released.
class UinputDevice final : public EventWriter {
 public:
  // nullptr with the reason as a short clause in `why_not` (for example
  // "/dev/uinput is not writable").
  static std::unique_ptr<UinputDevice> create(const Capabilities& capabilities, const std::string& name,
                                              std::string& why_not);

  UinputDevice(const UinputDevice&) = delete;
  UinputDevice& operator=(const UinputDevice&) = delete;
  ~UinputDevice() override;

  [[nodiscard]] bool write(std::span<const input_event> events) override;

 private:
  UinputDevice() = default;
  [[nodiscard]] bool declare(const Capabilities& capabilities, std::string& why_not);
  [[nodiscard]] bool register_as(const std::string& name, std::string& why_not);

  int fd_ = -1;
  bool registered_ = false;
};

}  // namespace ondrel::uinput
