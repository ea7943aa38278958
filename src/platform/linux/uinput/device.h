#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/unique_fd.h"
#include "platform/linux/uinput/event_writer.h"

namespace ondrel::linux::uinput {

struct AbsoluteAxis {
  std::uint16_t code;
  std::int32_t minimum;
  std::int32_t maximum;
  std::int32_t initial;  // what a reader sees before the first event
  std::int32_t resolution = 0;  // units per millimetre; 0: not given
};

inline constexpr const char* kUinputPath = "/dev/uinput";
// Why a process that may not write /dev/uinput gets no device.
inline constexpr const char* kNotWritable = "/dev/uinput is not writable";

// Whether this process may create uinput devices.
bool available();

// The events a new device can produce.
struct Capabilities {
  std::vector<std::uint16_t> keys;
  std::vector<std::uint16_t> relative_axes;
  std::vector<AbsoluteAxis> absolute_axes;
  std::vector<std::uint16_t> properties = {};  // INPUT_PROP_*
};

// A uinput device of its own, registered with the system when create()
// returns it and removed from it when it is released.
//
// A device belongs to the process that created it. A child forked later holds
// a copy of its descriptor only: releasing that copy closes it and leaves the
// parent's device alone, and the child's first write creates a device of the
// child's own, with the same capabilities and name, and writes there.
class Device final : public EventWriter {
 public:
  // The device, or the reason as a short clause (for example "/dev/uinput
  // is not writable"). A name the kernel cannot take whole is
  // cut to a valid UTF-8 prefix that it can; an empty one (or one that
  // starts with a NUL byte) gives the device kind's default name.
  static Expected<std::unique_ptr<Device>> create(const Capabilities& capabilities, const std::string& name);

  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  ~Device() override;

  // After a fork, the failure may be that of creating the child's own device.
  Outcome write(std::span<const input_event> events) override;

 private:
  Device(const Capabilities& capabilities, std::string name);
  Outcome open_and_register();
  Outcome declare();
  Outcome register_device();
  [[nodiscard]] bool owned_here() const;
  void release();

  Capabilities capabilities_;
  std::string name_;  // as the kernel takes it
  UniqueFd fd_;
  bool registered_ = false;
  pid_t owner_ = 0;
};

}  // namespace ondrel::linux::uinput
