#include "platform/linux/uinput/registration.h"

#include <dirent.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/linux/os_error.h"
#include "platform/linux/uinput/udev_record.h"

namespace ondrel::linux::uinput {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kInputClass = "/sys/class/input";
constexpr std::chrono::milliseconds kFirstSleep{1};
constexpr std::chrono::milliseconds kLongestSleep{8};
// devtmpfs shows a node as soon as /sys lists it; this is for a /dev that
// never will.
constexpr std::chrono::milliseconds kNodePatience{250};

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

Expected<std::string> sysname_of(int uinput_fd) {
  char name[64] = {};
  if (ioctl(uinput_fd, UI_GET_SYSNAME(sizeof name - 1), name) < 0) return Outcome::failure(os_error("UI_GET_SYSNAME"));
  return std::string(name);
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

// What the looks have found so far.
struct Watch {
  std::string sysname;
  bool udev_runs = false;
  UdevRecordCheck udev_check;
  std::optional<Clock::time_point> listed_at;  // when /sys first listed the evdev node
  std::string awaited;
  std::string node;  // once /dev shows it
};

// One look: whether readers can find the device now; if not, what is
// still awaited. A container's /dev may never show the node (a /dev of its
// own without udev, or a snapshot of the host's): the device works through
// its descriptor all the same, so a node that the kernel listed but /dev
// lacks after kNodePatience is not waited for.
bool registered(Watch& watch) {
  const auto node_name = evdev_node_name(watch.sysname);
  if (!node_name) return false;
  const auto now = Clock::now();
  if (!watch.listed_at) watch.listed_at = now;
  const std::string node = "/dev/input/" + *node_name;
  struct stat status {};
  if (stat(node.c_str(), &status) != 0) return now - *watch.listed_at >= kNodePatience;
  watch.node = node;
  if (!watch.udev_runs) return true;
  watch.awaited = "udev to finish with " + node;
  const auto record = read_udev_record(status.st_rdev);
  return record && watch.udev_check.belongs_to_new_device(*record);
}

}  // namespace

Expected<std::string> await_registration(int uinput_fd, Clock::time_point created_at) {
  const Expected<std::string> sysname = sysname_of(uinput_fd);
  if (!sysname.ok()) return sysname.outcome();
  if (!exists(kInputClass)) return std::string();
  Watch watch{sysname.value(), exists("/run/udev/control"), UdevRecordCheck(created_at), std::nullopt,
              "an evdev node in " + std::string(kInputClass) + "/" + sysname.value(), {}};
  Backoff backoff(Clock::now() + kRegistrationTimeout);
  do {
    if (registered(watch)) return watch.node;
  } while (backoff.sleep());
  return Outcome::failure("the new uinput device was not registered within " +
                          std::to_string(kRegistrationTimeout.count()) + " s (waited for " + watch.awaited + ")");
}

}  // namespace ondrel::linux::uinput
