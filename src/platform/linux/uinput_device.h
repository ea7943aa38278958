#pragma once

#include <sys/types.h>

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

// Why a process that may not write /dev/uinput gets no device.
inline constexpr const char* kNotWritable = "/dev/uinput is not writable";

// The events a new device can produce.
struct Capabilities {
  std::vector<std::uint16_t> keys;
  std::vector<std::uint16_t> relative_axes;
  std::vector<AbsoluteAxis> absolute_axes;
};

// A uinput device of its own, registered with the system when create()
// returns it and removed from it when it is released.
//
// A device belongs to the process that created it. A child forked later holds
// a copy of its descriptor only: releasing that copy closes it and leaves the
// parent's device alone, and the child's first write creates a device of the
// child's own, with the same capabilities and name, and writes there.
class UinputDevice final : public EventWriter {
 public:
  // nullptr with the reason as a short clause in `why_not` (for example
  // "/dev/uinput is not writable"). A name the kernel cannot take whole is
  // cut to a valid UTF-8 prefix that it can; an empty one (or one that
  // starts with a NUL byte) gives the device kind's default name.
  static std::unique_ptr<UinputDevice> create(const Capabilities& capabilities, const std::string& name,
                                              std::string& why_not);

  UinputDevice(const UinputDevice&) = delete;
  UinputDevice& operator=(const UinputDevice&) = delete;
  ~UinputDevice() override;

  // Whether the whole batch was taken; when not, errno says why (that of the
  // failed step of creating the child's own device, after a fork).
  [[nodiscard]] bool write(std::span<const input_event> events) override;

 private:
  UinputDevice(const Capabilities& capabilities, std::string name);
  [[nodiscard]] bool open_and_register(std::string& why_not);
  [[nodiscard]] bool declare(std::string& why_not);
  [[nodiscard]] bool register_device(std::string& why_not);
  [[nodiscard]] bool owned_here() const;
  [[nodiscard]] bool replace_inherited_device();
  void release();

  Capabilities capabilities_;
  std::string name_;  // as the kernel takes it
  int fd_ = -1;
  bool registered_ = false;
  pid_t owner_ = 0;
};

}  // namespace ondrel::uinput
