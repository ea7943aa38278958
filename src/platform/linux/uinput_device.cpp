#include "platform/linux/uinput_device.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/os_error.h"
#include "platform/linux/uinput_registration.h"

namespace ondrel::uinput {
namespace {

constexpr const char* kUinputPath = "/dev/uinput";

bool control(int fd, unsigned long request, int value, const char* what, std::string& why_not) {
  if (ioctl(fd, request, value) == 0) return true;
  why_not = os_error(what);
  return false;
}

// The kernel keeps at most UINPUT_MAX_NAME_SIZE - 1 bytes; cut before a
// UTF-8 continuation byte so that a long name stays valid text.
std::size_t name_length_to_keep(const std::string& name) {
  std::size_t length = std::min<std::size_t>(name.size(), UINPUT_MAX_NAME_SIZE - 1);
  if (length == name.size()) return length;
  while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
  return length;
}

}  // namespace

std::unique_ptr<UinputDevice> UinputDevice::create(const Capabilities& capabilities, const std::string& name,
                                                   std::string& why_not) {
  if (access(kUinputPath, W_OK) != 0) {
    why_not = "/dev/uinput is not writable";
    return nullptr;
  }
  std::unique_ptr<UinputDevice> device(new UinputDevice());
  device->fd_ = open(kUinputPath, O_WRONLY | O_CLOEXEC);
  if (device->fd_ < 0) {
    why_not = os_error("opening /dev/uinput");
    return nullptr;
  }
  // A failure anywhere leaves the half-built device to its destructor.
  if (!device->declare(capabilities, why_not) || !device->register_as(name, why_not) ||
      !await_registration(device->fd_, why_not))
    return nullptr;
  return device;
}

UinputDevice::~UinputDevice() {
  if (registered_) ioctl(fd_, UI_DEV_DESTROY);
  if (fd_ >= 0) close(fd_);
}

bool UinputDevice::declare(const Capabilities& capabilities, std::string& why_not) {
  if (!capabilities.keys.empty() && !control(fd_, UI_SET_EVBIT, EV_KEY, "UI_SET_EVBIT", why_not)) return false;
  for (const std::uint16_t key : capabilities.keys)
    if (!control(fd_, UI_SET_KEYBIT, key, "UI_SET_KEYBIT", why_not)) return false;
  if (!capabilities.relative_axes.empty() && !control(fd_, UI_SET_EVBIT, EV_REL, "UI_SET_EVBIT", why_not))
    return false;
  for (const std::uint16_t axis : capabilities.relative_axes)
    if (!control(fd_, UI_SET_RELBIT, axis, "UI_SET_RELBIT", why_not)) return false;
  if (!capabilities.absolute_axes.empty() && !control(fd_, UI_SET_EVBIT, EV_ABS, "UI_SET_EVBIT", why_not))
    return false;
  for (const AbsoluteAxis& axis : capabilities.absolute_axes) {
    if (!control(fd_, UI_SET_ABSBIT, axis.code, "UI_SET_ABSBIT", why_not)) return false;
    uinput_abs_setup setup{};
    setup.code = axis.code;
    setup.absinfo.minimum = axis.minimum;
    setup.absinfo.maximum = axis.maximum;
    setup.absinfo.value = axis.initial;
    if (ioctl(fd_, UI_ABS_SETUP, &setup) != 0) {
      why_not = os_error("UI_ABS_SETUP");
      return false;
    }
  }
  return true;
}

bool UinputDevice::register_as(const std::string& name, std::string& why_not) {
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  setup.id.version = 1;
  std::copy_n(name.begin(), name_length_to_keep(name), setup.name);
  if (ioctl(fd_, UI_DEV_SETUP, &setup) != 0) {
    why_not = os_error("UI_DEV_SETUP");
    return false;
  }
  if (ioctl(fd_, UI_DEV_CREATE) != 0) {
    why_not = os_error("UI_DEV_CREATE");
    return false;
  }
  registered_ = true;
  return true;
}

bool UinputDevice::write(std::span<const input_event> events) {
  ssize_t written = 0;
  do {
    written = ::write(fd_, events.data(), events.size_bytes());
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(events.size_bytes());
}

}  // namespace ondrel::uinput
