#include "platform/linux/uinput/device.h"

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
#include "platform/linux/uinput/display_server_wait.h"
#include "platform/linux/uinput/registration.h"

namespace ondrel::linux::uinput {
namespace {

Outcome control(int fd, unsigned long request, int value, const char* what) {
  if (ioctl(fd, request, value) == 0) return Outcome::success();
  return Outcome::failure(os_error(what));
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

bool available() { return access(kUinputPath, W_OK) == 0; }

Device::Device(const Capabilities& capabilities, std::string name)
    : capabilities_(capabilities), name_(std::move(name)) {}

Expected<std::unique_ptr<Device>> Device::create(const Capabilities& capabilities, const std::string& name) {
  std::unique_ptr<Device> device(new Device(capabilities, name_to_register(name, capabilities)));
  ONDREL_CHECK(device->open_and_register());
  return device;
}

Device::~Device() { release(); }

// A failure anywhere leaves the half-built device to release().
Outcome Device::open_and_register() {
  if (!available()) return Outcome::failure(kNotWritable);
  fd_ = UniqueFd(open(kUinputPath, O_WRONLY | O_CLOEXEC));
  if (!fd_.is_open()) return Outcome::failure(os_error("opening /dev/uinput"));
  owner_ = getpid();
  Outcome registered = declare();
  if (registered.ok()) registered = register_device();
  if (!registered.ok()) release();
  return registered;
}

// Only the owner removes the device from the system; a forked child closes
// its copy of the descriptor, which leaves the owner's device in place.
void Device::release() {
  if (registered_ && owner_ == getpid()) ioctl(fd_.get(), UI_DEV_DESTROY);
  fd_.reset();
  registered_ = false;
}

Outcome Device::declare() {
  const int fd = fd_.get();
  if (!capabilities_.keys.empty()) ONDREL_CHECK(control(fd, UI_SET_EVBIT, EV_KEY, "UI_SET_EVBIT"));
  for (const std::uint16_t key : capabilities_.keys) ONDREL_CHECK(control(fd, UI_SET_KEYBIT, key, "UI_SET_KEYBIT"));
  if (!capabilities_.relative_axes.empty()) ONDREL_CHECK(control(fd, UI_SET_EVBIT, EV_REL, "UI_SET_EVBIT"));
  for (const std::uint16_t axis : capabilities_.relative_axes)
    ONDREL_CHECK(control(fd, UI_SET_RELBIT, axis, "UI_SET_RELBIT"));
  if (!capabilities_.absolute_axes.empty()) ONDREL_CHECK(control(fd, UI_SET_EVBIT, EV_ABS, "UI_SET_EVBIT"));
  for (const AbsoluteAxis& axis : capabilities_.absolute_axes) {
    ONDREL_CHECK(control(fd, UI_SET_ABSBIT, axis.code, "UI_SET_ABSBIT"));
    uinput_abs_setup setup{};
    setup.code = axis.code;
    setup.absinfo.minimum = axis.minimum;
    setup.absinfo.maximum = axis.maximum;
    setup.absinfo.value = axis.initial;
    setup.absinfo.resolution = axis.resolution;
    if (ioctl(fd, UI_ABS_SETUP, &setup) != 0) return Outcome::failure(os_error("UI_ABS_SETUP"));
  }
  for (const std::uint16_t property : capabilities_.properties)
    ONDREL_CHECK(control(fd, UI_SET_PROPBIT, property, "UI_SET_PROPBIT"));
  return Outcome::success();
}

Outcome Device::register_device() {
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  setup.id.version = 1;
  std::copy_n(name_.begin(), std::min(name_.size(), sizeof setup.name - 1), setup.name);
  if (ioctl(fd_.get(), UI_DEV_SETUP, &setup) != 0) return Outcome::failure(os_error("UI_DEV_SETUP"));
  const auto created_at = std::chrono::steady_clock::now();
  if (ioctl(fd_.get(), UI_DEV_CREATE) != 0) return Outcome::failure(os_error("UI_DEV_CREATE"));
  registered_ = true;
  const Expected<std::string> node = await_registration(fd_.get(), created_at);
  if (!node.ok()) return node.outcome();
  // A compositor or an X server opens the node a moment after udev announced
  // it, and sees nothing written before: without this wait, the first keys or
  // click went to no one.
  if (!node.value().empty()) await_display_servers(node.value());
  return Outcome::success();
}

bool Device::owned_here() const { return fd_.is_open() && owner_ == getpid(); }

// In a forked child, the first write closes the inherited copy and registers
// a device of the child's own in its place (again on the next write, if that
// failed).
Outcome Device::write(std::span<const input_event> events) {
  if (!owned_here()) {
    release();
    ONDREL_CHECK(open_and_register());
  }
  ssize_t written = 0;
  do {
    written = ::write(fd_.get(), events.data(), events.size_bytes());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(events.size_bytes())) return Outcome::success();
  if (written >= 0) errno = EIO;  // a part of the batch only, which uinput does not do
  return Outcome::failure(os_error("uinput write"));
}

}  // namespace ondrel::linux::uinput
