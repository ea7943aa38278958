#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "platform/input_changes.h"

namespace ondrel {
namespace {

namespace mouse_flag = win32::mouse_flag;
namespace key_flag = win32::key_flag;

win32::Input mouse(std::uint32_t flags, std::int32_t dx = 0, std::int32_t dy = 0, std::int32_t data = 0) {
  return win32::mouse_input(dx, dy, data, flags);
}
win32::Input key(std::uint16_t virtual_key, std::uint32_t flags) { return win32::keyboard_input(virtual_key, flags); }

PointerChanges pointer(std::int32_t dx, std::int32_t dy, std::vector<ButtonChange> buttons, std::int32_t wheel) {
  return {dx, dy, std::move(buttons), wheel};
}

constexpr ButtonChange down(PointerButton button) { return {button, true}; }
constexpr ButtonChange up(PointerButton button) { return {button, false}; }

struct DecodeCase {
  const char* what;
  win32::Input input;
  std::optional<InputChanges> expected;  // nullopt: refused
};

TEST(InputChanges, EachRecordDecodesToWhatWindowsWouldDoOrIsRefused) {
  using enum PointerButton;
  win32::Input hardware{};
  hardware.type = 2;
  const DecodeCase cases[] = {
      {"move", mouse(mouse_flag::move, 5, -3), pointer(5, -3, {}, 0)},
      {"offsets without the move flag", mouse(0, 5, -3), pointer(0, 0, {}, 0)},
      {"every button, in the flags' order",
       mouse(mouse_flag::middle_up | mouse_flag::right_down | mouse_flag::left_down | mouse_flag::left_up),
       pointer(0, 0, {down(left), up(left), down(right), up(middle)}, 0)},
      {"wheel toward the user", mouse(mouse_flag::wheel, 0, 0, -240), pointer(0, 0, {}, -240)},
      {"all at once", mouse(mouse_flag::move | mouse_flag::right_up | mouse_flag::wheel, 1, 2, 120),
       pointer(1, 2, {up(right)}, 120)},
      {"absolute move", mouse(mouse_flag::move | 0x8000, 1, 1), std::nullopt},
      {"horizontal wheel", mouse(0x1000, 0, 0, 120), std::nullopt},
      {"A down", key(0x41, 0), KeyChange{30, true}},
      {"left arrow up, extended", key(0x25, key_flag::extended_key | key_flag::key_up), KeyChange{105, false}},
      {"left Windows key", key(0x5B, 0), KeyChange{125, true}},
      {"unicode flag", key(0x41, 0x0004), std::nullopt},
      {"shift without a side", key(0x10, 0), std::nullopt},
      {"virtual key not ours", key(0xFF, 0), std::nullopt},
      {"hardware record", hardware, std::nullopt},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(decode_record(c.input), c.expected) << c.what;
}

TEST(InputChanges, TheWheelKeepsEverySignedValue) {
  const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(decode_record(mouse(mouse_flag::wheel, 0, 0, lowest)), InputChanges(pointer(0, 0, {}, lowest)));
}

}  // namespace
}  // namespace ondrel
