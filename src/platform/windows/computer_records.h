#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/computer_system.h"
#include "platform/windows/input_record.h"

// The computer-use layer's pointer and keys as Windows INPUT records: what
// user32's SendInput takes on Windows, and what the test recorder journals
// on every system.
namespace ondrel::windows {

// MOUSEEVENTF_* and KEYEVENTF_* values beyond those of the devices' records
// (the buttons' are in pointer_buttons.h).
namespace computer_flag {
inline constexpr std::uint32_t horizontal_wheel = 0x1000;
inline constexpr std::uint32_t virtual_desk = 0x4000;
inline constexpr std::uint32_t absolute = 0x8000;
inline constexpr std::uint32_t unicode = 0x0004;
}  // namespace computer_flag

// The virtual desktop: the rectangle around every monitor, in physical
// pixels (its origin is negative where a monitor lies left of or above the
// primary one). A Point of the computer layer is relative to its origin.
struct Desktop {
  Point origin;
  Size size;
};

// A key that the keyboard layout types a character with: its virtual key,
// its scan code and the modifiers it needs, as VkKeyScanExW's high byte
// says (1 Shift, 2 Control, 4 Alt; Control with Alt is AltGr).
struct LayoutStroke {
  std::uint16_t virtual_key;
  std::uint16_t scan_code;
  std::uint8_t shift_state;
};

// What a system of records sends through and asks of the machine.
class RecordTarget {
 public:
  virtual ~RecordTarget() = default;
  virtual Outcome send(const Input& input) = 0;
  virtual Expected<Desktop> desktop() = 0;
  // The pointer in desktop pixels (not relative to the desktop's origin).
  virtual Expected<Point> cursor() = 0;
  // How the layout in use types `character`, if it has a key for it.
  virtual std::optional<LayoutStroke> layout_stroke(char32_t character) = 0;
  // The pixels of `area`, in desktop pixels (not relative to the desktop's origin).
  virtual Expected<screen::RgbImage> capture(ScreenArea area) {
    (void)area;
    return Outcome::failure("the test recorder has no screen to capture");
  }
};

// The normalised absolute coordinate (0 to 65535) of `pixel` on an axis of
// `extent` pixels. MOUSEINPUT's documentation
// (learn.microsoft.com/windows/win32/api/winuser/ns-winuser-mouseinput):
// 0 is the first pixel, 65535 the last, over the whole virtual desktop with
// MOUSEEVENTF_VIRTUALDESK. Windows maps a coordinate n to the pixel
// floor(n * extent / 65536) (0 the first pixel, 65535 the last, each pixel
// a span of 65536 / extent); this is the first n of the pixel's span, so
// that the pixel comes back the same should a system round to the nearest
// pixel instead (the span's start is less than half a pixel in).
std::int32_t normalised_coordinate(std::int32_t pixel, std::int32_t extent);
// The pixel Windows moves to for the normalised coordinate `n`.
std::int32_t pixel_of_normalised(std::int32_t n, std::int32_t extent);

Input absolute_move(Point pixel, Size desktop);
Input button_record(Button button, bool down);
// Vertical then horizontal, only those that move, each axis in records
// whose delta fits the 16 bits of a window's wheel message (at most 273
// notches, 32,760).
std::vector<Input> wheel_records(std::int32_t dx, std::int32_t dy);
Input key_record(const SystemKey& key, bool down);
Input unicode_record(char16_t unit, bool down);

// The records that press one character's keys, in order (its modifiers,
// then its key; or its Unicode packets); their key-up records are the same
// in reverse, each through up_of.
std::vector<Input> character_downs(RecordTarget& target, char32_t character);
Input up_of(Input down);

// The ComputerSystem whose every event is a record for `target`.
std::unique_ptr<ComputerSystem> record_computer_system(std::unique_ptr<RecordTarget> target);

}  // namespace ondrel::windows
