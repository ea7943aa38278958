// The computer layer's INPUT records: each pixel's normalised coordinate
// comes back to that pixel, wheel signs, and text as layout keys or Unicode
// packets, every key let go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/computer_records.h"

namespace ondrel::windows {
namespace {

TEST(ComputerRecords, EveryPixelComesBackFromItsNormalisedCoordinate) {
  for (const std::int32_t extent : {1, 2, 3, 640, 1366, 1920, 2560, 3840, 5120, 7680, 15360}) {
    for (std::int32_t pixel = 0; pixel < extent; ++pixel) {
      const std::int32_t n = normalised_coordinate(pixel, extent);
      ASSERT_GE(n, 0);
      ASSERT_LE(n, 65535);
      ASSERT_EQ(pixel_of_normalised(n, extent), pixel) << extent;
      // Should a system round to the nearest pixel instead, the pixel is the same.
      ASSERT_EQ((std::int64_t{n} * extent + 32768) / 65536, pixel) << extent;
    }
  }
}

std::string text(const Input& input) {
  if (input.type == kInputMouse)
    return "mouse " + std::to_string(input.mi.dwFlags) + " " + std::to_string(static_cast<std::int32_t>(input.mi.mouseData));
  return "key " + std::to_string(input.ki.wVk) + " " + std::to_string(input.ki.wScan) + " " +
         std::to_string(input.ki.dwFlags);
}

TEST(ComputerRecords, WheelsAndSideButtons) {
  const auto seen_of = [](std::int32_t dx, std::int32_t dy) {
    std::vector<std::string> seen;
    for (const Input& input : wheel_records(dx, dy)) seen.push_back(text(input));
    return seen;
  };
  EXPECT_EQ(seen_of(-2, 3), (std::vector<std::string>{"mouse 2048 -360", "mouse 4096 -240"}));  // down, left: negative
  // A window's wheel message carries 16 bits: 273 notches (32,760) at most each.
  EXPECT_EQ(seen_of(0, -1000),
            (std::vector<std::string>{"mouse 2048 32760", "mouse 2048 32760", "mouse 2048 32760", "mouse 2048 21720"}));
  EXPECT_EQ(text(button_record(Button::back, true)), "mouse 128 1");
  EXPECT_EQ(text(button_record(Button::forward, false)), "mouse 256 2");
}

class LoggingTarget final : public RecordTarget {
 public:
  std::vector<std::string> seen;
  Outcome send(const Input& input) override {
    seen.push_back(text(input));
    return Outcome::success();
  }
  Expected<Desktop> desktop() override { return Desktop{{-100, 0}, {300, 200}}; }
  Expected<Point> cursor() override { return Point{-90, 5}; }
  std::optional<LayoutStroke> layout_stroke(char32_t c) override {
    if (c == U'A') return LayoutStroke{0x41, 0x1E, 1};
    if (c == U'@') return LayoutStroke{0x51, 0x10, 6};  // AltGr+Q, as on a German layout
    return std::nullopt;
  }
};

TEST(ComputerRecords, TextIsLayoutKeysWithTheirModifiersElseUnicodePackets) {
  auto owned = std::make_unique<LoggingTarget>();
  LoggingTarget& target = *owned;
  const auto system = record_computer_system(std::move(owned));
  EXPECT_EQ(system->position().value(), (Point{10, 5}));
  ASSERT_TRUE(system->write("A@é😀\n", ondrel::kDefaultTypingPace).ok());
  EXPECT_EQ(target.seen, (std::vector<std::string>{
                             "key 160 42 0", "key 65 30 0", "key 65 30 2", "key 160 42 2",      // Shift+A
                             "key 162 29 0", "key 164 56 0", "key 81 16 0",                     // Ctrl+Alt+Q
                             "key 81 16 2", "key 164 56 2", "key 162 29 2",
                             "key 0 233 4", "key 0 233 6",                                      // é
                             "key 0 55357 4", "key 0 56832 4", "key 0 56832 6", "key 0 55357 6",  // U+1F600
                             "key 13 28 0", "key 13 28 2",                                      // Enter
                         }));
  EXPECT_FALSE(system->write("\xC3", ondrel::kDefaultTypingPace).ok());
}

}  // namespace
}  // namespace ondrel::windows
