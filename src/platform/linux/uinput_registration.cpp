#include "platform/linux/uinput_registration.h"

#include <dirent.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/linux/os_error.h"
#include "platform/linux/udev_record.h"

namespace ondrel::uinput {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kInputClass = "/sys/class/input";
constexpr std::chrono::milliseconds kFirstSleep{1};
constexpr std::chrono::milliseconds kLongestSleep{8};

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

// Sleeps a little longer each time, never past the deadline.
class Backoff {
 public:
  explicit Backoff(Clock::time_point deadline) : deadline_(deadline) {}
  bool sleep() {
    const auto now = Clock::now();
    if (now >= deadline_) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(next_, deadline_ - now));
    next_ = std::min(next_ * 2, kLongestSleep);
    return true;
  }

 private:
  Clock::time_point deadline_;
  std::chrono::milliseconds next_ = kFirstSleep;
};

// One look: whether readers can find the device now; if not, what is
// still awaited.
bool registered(const std::string& sysname, bool udev_runs, UdevRecordCheck& udev_check, std::string& awaited) {
  const auto node_name = evdev_node_name(sysname);
  if (!node_name) return false;
  const std::string node = "/dev/input/" + *node_name;
  awaited = udev_runs ? "udev to finish with " + node : node;
  struct stat status {};
  if (stat(node.c_str(), &status) != 0) return false;
  if (!udev_runs) return true;
  const auto record = read_udev_record(status.st_rdev);
  return record && udev_check.is_new_devices(*record);
}

}  // namespace

bool await_registration(int uinput_fd, Clock::time_point created_at, std::string& why_not) {
  std::string sysname;
  if (!sysname_of(uinput_fd, sysname, why_not)) return false;
  if (!exists(kInputClass)) return true;
  const bool udev_runs = exists("/run/udev/control");
  UdevRecordCheck udev_check(created_at);
  Backoff backoff(Clock::now() + kRegistrationTimeout);
  std::string awaited = "an evdev node in " + std::string(kInputClass) + "/" + sysname;
  do {
    if (registered(sysname, udev_runs, udev_check, awaited)) return true;
  } while (backoff.sleep());
  why_not = "the new uinput device was not registered within " + std::to_string(kRegistrationTimeout.count()) +
            " s (waited for " + awaited + ")";
  errno = ETIMEDOUT;
  return false;
}

}  // namespace ondrel::uinput
