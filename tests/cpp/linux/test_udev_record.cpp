#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/uinput/udev_record.h"

namespace ondrel {
namespace {

using linux::uinput::UdevRecord;
using linux::uinput::UdevRecordCheck;

struct UdevDataDirectory : ::testing::Test {
  std::string directory = ::testing::TempDir() + "udev-data-XXXXXX";
  void SetUp() override { ASSERT_NE(mkdtemp(directory.data()), nullptr); }
  void TearDown() override {
    std::remove((directory + "/c13:64").c_str());
    rmdir(directory.c_str());
  }
};

TEST_F(UdevDataDirectory, ARecordGivesItsFileAndItsInitializationStamp) {
  EXPECT_EQ(linux::uinput::read_udev_record(makedev(13, 64), directory), std::nullopt);
  struct TextStamp {
    const char* text;
    std::int64_t stamp;
  };
  for (const TextStamp c : {TextStamp{"S:input/by-id/pad\nI:123456789\nE:ID_INPUT=1\n", 123456789},
                            TextStamp{"I:42", 42}, TextStamp{"E:ID_INPUT=1\nG:uaccess\n", -1},
                            TextStamp{"E:NOT_I:7\n", -1}}) {
    std::ofstream(directory + "/c13:64") << c.text;
    struct stat status {};
    ASSERT_EQ(stat((directory + "/c13:64").c_str(), &status), 0);
    const auto record = linux::uinput::read_udev_record(makedev(13, 64), directory);
    ASSERT_TRUE(record) << c.text;
    EXPECT_EQ(record->initialized_us, c.stamp) << c.text;
    EXPECT_EQ(record->inode, status.st_ino) << c.text;
  }
}

// Records as one look after another sees them: the device was created at 1000 µs.
TEST(UdevRecordCheck, ARecordIsTheNewDevicesOnceStampedAfterItOrReplaced) {
  struct Case {
    const char* what;
    std::vector<UdevRecord> looks;
    std::vector<bool> new_devices;
  };
  const Case cases[] = {
      {"stamped after creation", {{7, 1000}}, {true}},
      {"an earlier device's, then udev's record of the new one", {{7, 999}, {7, 999}, {8, 1500}}, {false, false, true}},
      {"an earlier device's, rewritten keeping its stamp", {{7, 999}, {8, 999}}, {false, true}},
      {"no stamp until replaced", {{7, -1}, {7, -1}, {9, -1}}, {false, false, true}},
  };
  const std::chrono::steady_clock::time_point created_at{std::chrono::microseconds(1000)};
  for (const Case& c : cases) {
    UdevRecordCheck check(created_at);
    std::vector<bool> seen;
    for (const UdevRecord& record : c.looks) seen.push_back(check.belongs_to_new_device(record));
    EXPECT_EQ(seen, c.new_devices) << c.what;
  }
}

}  // namespace
}  // namespace ondrel
