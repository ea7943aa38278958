#include "platform/windows/computer_records.h"

#include <algorithm>

namespace ondrel::windows {
namespace {

constexpr std::int64_t kNormalisedSpan = 65536;

// WM_MOUSEWHEEL and WM_MOUSEHWHEEL give an application the delta as a
// signed 16-bit number: the most notches one record may carry.
constexpr std::int32_t kNotchesPerRecord = 32767 / kWheelDelta;

// One axis's records: chunks that each fit the window message's delta.
void add_wheel_records(std::vector<Input>& records, std::int32_t notches, std::int32_t sign, std::uint32_t flags) {
  std::int64_t left = notches;
  while (left != 0) {
    const std::int64_t chunk = std::clamp<std::int64_t>(left, -kNotchesPerRecord, kNotchesPerRecord);
    records.push_back(mouse_input(0, 0, static_cast<std::int32_t>(sign * chunk * kWheelDelta), flags));
    left -= chunk;
  }
}

}  // namespace

std::int32_t normalised_coordinate(std::int32_t pixel, std::int32_t extent) {
  if (extent <= 0) return 0;
  return static_cast<std::int32_t>((std::int64_t{pixel} * kNormalisedSpan + extent - 1) / extent);
}

std::int32_t pixel_of_normalised(std::int32_t n, std::int32_t extent) {
  return static_cast<std::int32_t>(std::int64_t{n} * extent / kNormalisedSpan);
}

Input absolute_move(Point pixel, Size desktop) {
  return mouse_input(normalised_coordinate(pixel.x, desktop.width), normalised_coordinate(pixel.y, desktop.height), 0,
                     mouse_flag::move | computer_flag::absolute | computer_flag::virtual_desk);
}

Input button_record(Button button, bool down) { return *record_for(ButtonChange{button, down}); }

// Windows' wheel turns forward (away from the user, scrolling up) for a
// positive mouseData, and its horizontal wheel right for a positive one.
std::vector<Input> wheel_records(std::int32_t dx, std::int32_t dy) {
  std::vector<Input> records;
  add_wheel_records(records, dy, -1, mouse_flag::wheel);
  add_wheel_records(records, dx, 1, computer_flag::horizontal_wheel);
  return records;
}

Input key_record(const SystemKey& key, bool down) {
  Input input = keyboard_input(key.virtual_key, (key.extended ? key_flag::extended_key : 0) |
                                                     (down ? 0 : key_flag::key_up));
  input.ki.wScan = key.scan_code;
  return input;
}

Input unicode_record(char16_t unit, bool down) {
  Input input = keyboard_input(0, computer_flag::unicode | (down ? 0 : key_flag::key_up));
  input.ki.wScan = unit;
  return input;
}

}  // namespace ondrel::windows
