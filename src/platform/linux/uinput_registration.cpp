#include "platform/linux/uinput_registration.h"

#include <dirent.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string_view>

#include "devices/pause.h"
#include "platform/linux/os_error.h"

namespace ondrel::uinput {
namespace {

constexpr const char* kInputClass = "/sys/class/input";
constexpr unsigned kPollMs = 1;

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool sysname_of(int uinput_fd, std::string& sysname, std::string& why_not) {
  char name[64] = {};
  if (ioctl(uinput_fd, UI_GET_SYSNAME(sizeof name - 1), name) < 0) {
    why_not = os_error("UI_GET_SYSNAME");
    return false;
  }
  sysname = name;
  return true;
}

// "eventN" once the kernel's evdev handler has attached to the device.
std::optional<std::string> evdev_node_name(const std::string& sysname) {
  const std::string directory = std::string(kInputClass) + "/" + sysname;
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(opendir(directory.c_str()), closedir);
  if (!entries) return std::nullopt;
  while (const dirent* entry = readdir(entries.get())) {
    const std::string_view name = entry->d_name;
    if (name.starts_with("event")) return std::string(name);
  }
  return std::nullopt;
}

// udev writes a device's database record after it has set the node's
// permissions and links, and before it tells anyone about the device.
bool udev_done_with(const std::string& node) {
  struct stat status {};
  if (stat(node.c_str(), &status) != 0) return false;
  return exists("/run/udev/data/c" + std::to_string(major(status.st_rdev)) + ":" +
                std::to_string(minor(status.st_rdev)));
}

}  // namespace

bool await_registration(int uinput_fd, std::string& why_not) {
  std::string sysname;
  if (!sysname_of(uinput_fd, sysname, why_not)) return false;
  if (!exists(kInputClass)) return true;
  const bool udev_runs = exists("/run/udev/control");
  const auto deadline = std::chrono::steady_clock::now() + kRegistrationTimeout;
  std::string awaited = "an evdev node in " + std::string(kInputClass) + "/" + sysname;
  for (;;) {
    if (const auto node_name = evdev_node_name(sysname)) {
      const std::string node = "/dev/input/" + *node_name;
      if (exists(node) && (!udev_runs || udev_done_with(node))) return true;
      awaited = udev_runs ? "udev to finish with " + node : node;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      why_not = "the new uinput device was not registered within " + std::to_string(kRegistrationTimeout.count()) +
                " s (waited for " + awaited + ")";
      return false;
    }
    pause_ms(kPollMs);
  }
}

}  // namespace ondrel::uinput
