#include "platform/linux/uinput_device.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "devices/gamepad.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
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

// The kinds differ in what they declare: only the gamepad has absolute axes,
// only the mouse relative ones.
std::string_view default_name(const Capabilities& capabilities) {
  if (!capabilities.absolute_axes.empty()) return kDefaultGamepadName;
  if (!capabilities.relative_axes.empty()) return kDefaultMouseName;
  return kDefaultKeyboardName;
}

// The kernel reads the name up to its first NUL byte and refuses an empty
// one, so a name that would be empty there becomes the kind's default.
std::string name_to_register(const std::string& name, const Capabilities& capabilities) {
  std::string kept = name.substr(0, name.find('\0'));
  kept.resize(name_length_to_keep(kept));
  if (kept.empty()) kept = default_name(capabilities);
  return kept;
}

}  // namespace

UinputDevice::UinputDevice(const Capabilities& capabilities, std::string name)
    : capabilities_(capabilities), name_(std::move(name)) {}

std::unique_ptr<UinputDevice> UinputDevice::create(const Capabilities& capabilities, const std::string& name,
                                                   std::string& why_not) {
  std::unique_ptr<UinputDevice> device(new UinputDevice(capabilities, name_to_register(name, capabilities)));
  if (!device->open_and_register(why_not)) return nullptr;
  return device;
}

UinputDevice::~UinputDevice() { release(); }

bool UinputDevice::open_and_register(std::string& why_not) {
  if (access(kUinputPath, W_OK) != 0) {
    why_not = kNotWritable;
    return false;
  }
  fd_ = open(kUinputPath, O_WRONLY | O_CLOEXEC);
  if (fd_ < 0) {
    why_not = os_error("opening /dev/uinput");
    return false;
  }
  owner_ = getpid();
  if (declare(why_not) && register_device(why_not)) return true;
  release();
  return false;
}

// Only the owner removes the device from the system; a forked child closes
// its copy of the descriptor, which leaves the owner's device in place.
// Keeps errno, which may describe the failure that led here.
void UinputDevice::release() {
  const int failure = errno;
  if (registered_ && owner_ == getpid()) ioctl(fd_, UI_DEV_DESTROY);
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  registered_ = false;
  errno = failure;
}

bool UinputDevice::declare(std::string& why_not) {
  const Capabilities& capabilities = capabilities_;
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

bool UinputDevice::register_device(std::string& why_not) {
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  setup.id.version = 1;
  std::copy_n(name_.begin(), std::min(name_.size(), sizeof setup.name - 1), setup.name);
  if (ioctl(fd_, UI_DEV_SETUP, &setup) != 0) {
    why_not = os_error("UI_DEV_SETUP");
    return false;
  }
  const auto created_at = std::chrono::steady_clock::now();
  if (ioctl(fd_, UI_DEV_CREATE) != 0) {
    why_not = os_error("UI_DEV_CREATE");
    return false;
  }
  registered_ = true;
  return await_registration(fd_, created_at, why_not);
}

bool UinputDevice::owned_here() const { return fd_ >= 0 && owner_ == getpid(); }

// In a forked child: closes the inherited copy and registers a device of the
// child's own in its place (again on the next write, if that failed).
bool UinputDevice::replace_inherited_device() {
  release();
  std::string why_not;
  return open_and_register(why_not);
}

bool UinputDevice::write(std::span<const input_event> events) {
  if (!owned_here() && !replace_inherited_device()) return false;
  ssize_t written = 0;
  do {
    written = ::write(fd_, events.data(), events.size_bytes());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(events.size_bytes())) return true;
  if (written >= 0) errno = EIO;  // a part of the batch only, which uinput does not do
  return false;
}

}  // namespace ondrel::uinput
