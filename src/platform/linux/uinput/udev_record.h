#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace ondrel::linux::uinput {

inline constexpr const char* kUdevDataDirectory = "/run/udev/data";

// udev's database record of a device, which udev writes after it has set the
// node's permissions and links, and before it tells anyone about the device.
struct UdevRecord {
  ino_t inode = 0;
  std::int64_t initialized_us = -1;  // its "I:" line, CLOCK_MONOTONIC in microseconds; -1 without one
};

// The record of the character device `number` ("c<major>:<minor>" in
// `directory`), or nothing while there is none.
std::optional<UdevRecord> read_udev_record(dev_t number, const std::string& directory = kUdevDataDirectory);

// A record is named after the device number, which a new device may share
// with an earlier one whose removal udev has not handled yet. A record is the
// new device's once udev stamped it after the device was created, or once
// udev replaced an older record it found (udev keeps an older record's stamp
// when it missed that device's removal).
class UdevRecordCheck {
 public:
  explicit UdevRecordCheck(std::chrono::steady_clock::time_point created_at);
  [[nodiscard]] bool belongs_to_new_device(const UdevRecord& record);

 private:
  std::int64_t created_us_;
  std::optional<ino_t> older_inode_;
};

}  // namespace ondrel::linux::uinput
