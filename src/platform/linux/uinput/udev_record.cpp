#include "platform/linux/uinput/udev_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <charconv>

namespace ondrel::linux::uinput {
namespace {

// The record's lines are "<letter>:<value>".
std::int64_t initialized_us(const std::string& text) {
  std::int64_t stamp = -1;
  const std::size_t line = ("\n" + text).find("\nI:");
  if (line != std::string::npos) std::from_chars(text.data() + line + 2, text.data() + text.size(), stamp);
  return stamp;
}

}  // namespace

std::optional<UdevRecord> read_udev_record(dev_t number, const std::string& directory) {
  const std::string path = directory + "/c" + std::to_string(major(number)) + ":" + std::to_string(minor(number));
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  std::string text;
  char chunk[1024];
  ssize_t got = 0;
  if (fstat(fd, &status) == 0)
    while ((got = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(got));
  close(fd);
  return UdevRecord{status.st_ino, initialized_us(text)};
}

UdevRecordCheck::UdevRecordCheck(std::chrono::steady_clock::time_point created_at)
    : created_us_(std::chrono::duration_cast<std::chrono::microseconds>(created_at.time_since_epoch()).count()) {}

bool UdevRecordCheck::belongs_to_new_device(const UdevRecord& record) {
  if (record.initialized_us >= created_us_) return true;
  if (!older_inode_) older_inode_ = record.inode;
  return record.inode != *older_inode_;
}

}  // namespace ondrel::linux::uinput
