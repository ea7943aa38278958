#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/computer_system.h"
#include "support/evdev_reader.h"
#include "support/libinput_events.h"

namespace ondrel {
namespace {

using namespace std::chrono_literals;
using testing::EvdevReader;
using testing::LibinputEvents;
using testing::udev_properties;

constexpr Size kScreen{1920, 1080};
constexpr auto kLibinputPatience = 20s;  // the guest is emulated

// debug-events prints an absolute position as a percentage of the output
// ("  99.95/ 99.91"); back in pixels of kScreen.
std::optional<Point> pixel_of(const std::string& line) {
  const std::size_t slash = line.rfind('/');
  const std::size_t start = line.find_last_of(" \t", slash - 1);
  if (slash == std::string::npos || start == std::string::npos) return std::nullopt;
  double x = 0;
  double y = 0;
  if (std::sscanf(line.c_str() + start, "%lf/%lf", &x, &y) != 2) return std::nullopt;
  return Point{static_cast<std::int32_t>(std::lround(x * kScreen.width / 100)),
               static_cast<std::int32_t>(std::lround(y * kScreen.height / 100))};
}

// Run by scripts/test in a guest started with UINPUT_GUEST_UDEV=1, where
// systemd-udevd runs and libinput's tools are present.
TEST(UinputComputerLibinput, UdevTagsTheMouseAndLibinputLandsOnEachPoint) {
  if (access("/run/udev/control", F_OK) != 0 || access("/usr/bin/libinput", X_OK) != 0)
    GTEST_SKIP() << "needs systemd-udevd and libinput in the guest (UINPUT_GUEST_UDEV=1)";
  LibinputEvents libinput;
  ASSERT_TRUE(libinput.started());
  Expected<std::unique_ptr<ComputerSystem>> opened = open_computer_system(kScreen);
  ASSERT_TRUE(opened.ok()) << opened.error();
  const std::unique_ptr<ComputerSystem> system = std::move(opened).take();
  ASSERT_TRUE(libinput.next_line_with("ondrel Computer Pointer", kLibinputPatience));

  const std::string pointer = udev_properties(*EvdevReader::node_named("ondrel Computer Pointer"));
  EXPECT_NE(pointer.find("ID_INPUT_MOUSE=1"), std::string::npos) << pointer;
  EXPECT_EQ(pointer.find("ID_INPUT_TABLET"), std::string::npos) << pointer;
  EXPECT_EQ(pointer.find("ID_INPUT_TOUCHSCREEN"), std::string::npos) << pointer;
  const std::string keyboard = udev_properties(*EvdevReader::node_named("ondrel Computer Keyboard"));
  EXPECT_NE(keyboard.find("ID_INPUT_KEYBOARD=1"), std::string::npos) << keyboard;

  // Corners, the middle, and a point asked twice (after another mouse could
  // have moved the pointer away).
  const Point points[] = {{0, 0}, {1919, 1079}, {960, 540}, {1919, 0}, {0, 1079}, {0, 1079}, {1, 1}};
  for (const Point point : points) {
    ASSERT_TRUE(system->move_to(point).ok());
    const std::optional<std::string> line = libinput.next_line_with("POINTER_MOTION_ABSOLUTE", kLibinputPatience);
    ASSERT_TRUE(line) << "no absolute motion for (" << point.x << ", " << point.y << ")";
    EXPECT_EQ(pixel_of(*line), point) << *line;
  }
}

}  // namespace
}  // namespace ondrel
