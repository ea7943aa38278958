#include "platform/windows/computer_records.h"

#include <array>
#include <limits>

#include "platform/stoppable_pause.h"
#include "platform/utf8_text.h"

namespace ondrel::windows {
namespace {

constexpr std::int64_t kNormalisedSpan = 65536;

// The modifiers of a shift state, in the order they go down.
struct ShiftKey {
  std::uint8_t bit;
  SystemKey key;
};
constexpr std::array<ShiftKey, 3> kShiftKeys = {{
    {1, {0xFFE1, 0xA0, 0x2A, false, 42}},  // Shift_L    VK_LSHIFT
    {2, {0xFFE3, 0xA2, 0x1D, false, 29}},  // Control_L  VK_LCONTROL
    {4, {0xFFE9, 0xA4, 0x38, false, 56}},  // Alt_L      VK_LMENU
}};

constexpr SystemKey kReturn = {0xFF0D, 0x0D, 0x1C, false, 28};

std::optional<std::int32_t> wheel_data(std::int32_t notches) {
  const std::int64_t data = std::int64_t{notches} * kWheelDelta;
  if (data < std::numeric_limits<std::int32_t>::min() || data > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(data);
}

// The records that press one character's keys, in order; their key-up
// records are the same in reverse with KEYEVENTF_KEYUP.
std::vector<Input> character_downs(RecordTarget& target, char32_t character) {
  std::vector<Input> downs;
  // "\n" is Enter: a layout gives it as Control+Enter (a line feed), which applications take as a shortcut.
  if (character == U'\n') return {key_record(kReturn, true)};
  if (const auto stroke = target.layout_stroke(character)) {
    for (const ShiftKey& shift : kShiftKeys)
      if ((stroke->shift_state & shift.bit) != 0) downs.push_back(key_record(shift.key, true));
    downs.push_back(keyboard_input(stroke->virtual_key, 0));
    downs.back().ki.wScan = stroke->scan_code;
    return downs;
  }
  if (character > 0xFFFF) {
    const char32_t offset = character - 0x10000;
    downs.push_back(unicode_record(static_cast<char16_t>(0xD800 + (offset >> 10)), true));
    downs.push_back(unicode_record(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)), true));
  } else {
    downs.push_back(unicode_record(static_cast<char16_t>(character), true));
  }
  return downs;
}

Input up_of(Input down) {
  down.ki.dwFlags |= key_flag::key_up;
  return down;
}

class RecordComputerSystem final : public ComputerSystem {
 public:
  explicit RecordComputerSystem(std::unique_ptr<RecordTarget> target) : target_(std::move(target)) {}

  Expected<Size> screen_size() override {
    const Expected<Desktop> desktop = target_->desktop();
    if (!desktop.ok()) return desktop.outcome();
    return desktop.value().size;
  }

  Expected<screen::RgbImage> capture(std::optional<ScreenArea> area) override {
    const Expected<Desktop> desktop = target_->desktop();
    if (!desktop.ok()) return desktop.outcome();
    ScreenArea wanted = area.value_or(ScreenArea{{0, 0}, desktop.value().size});
    wanted.origin = {wanted.origin.x + desktop.value().origin.x, wanted.origin.y + desktop.value().origin.y};
    return target_->capture(wanted);
  }

  Expected<Point> position() override {
    const Expected<Desktop> desktop = target_->desktop();
    if (!desktop.ok()) return desktop.outcome();
    const Expected<Point> cursor = target_->cursor();
    if (!cursor.ok()) return cursor;
    const Point origin = desktop.value().origin;
    return Point{cursor.value().x - origin.x, cursor.value().y - origin.y};
  }

  Outcome move_to(Point point) override {
    const Expected<Desktop> desktop = target_->desktop();
    if (!desktop.ok()) return desktop.outcome();
    return target_->send(absolute_move(point, desktop.value().size));
  }

  Outcome button(Button button, bool down) override { return target_->send(button_record(button, down)); }

  Outcome wheel(std::int32_t dx, std::int32_t dy) override {
    const Expected<std::vector<Input>> records = wheel_records(dx, dy);
    if (!records.ok()) return records.outcome();
    for (const Input& record : records.value()) ONDREL_CHECK(target_->send(record));
    return Outcome::success();
  }

  Outcome key(const SystemKey& key, bool down) override { return target_->send(key_record(key, down)); }

  Outcome write(std::string_view text, TypingPace pace) override {
    const Expected<std::u32string> characters = decode_utf8(text);
    if (!characters.ok()) return characters.outcome();
    for (const char32_t character : characters.value()) {
      ONDREL_CHECK(type_character(character, pace.held_ms));
      ONDREL_CHECK(pause_unless_stopped(pace.gap_ms));
    }
    return Outcome::success();
  }

 private:
  // Presses the character's keys, holds them and lets go in reverse; a
  // failure or a stop lets go of what went down.
  Outcome type_character(char32_t character, std::uint32_t held_ms) {
    const std::vector<Input> downs = character_downs(*target_, character);
    std::size_t pressed = 0;
    Outcome done = Outcome::success();
    for (; pressed < downs.size() && done.ok(); ++pressed) {
      done = target_->send(downs[pressed]);
      if (!done.ok()) break;
    }
    if (done.ok()) done = pause_unless_stopped(held_ms);
    for (std::size_t i = pressed; i-- > 0;) {
      Outcome up = target_->send(up_of(downs[i]));
      if (done.ok() && !up.ok()) done = std::move(up);
    }
    return done;
  }

  std::unique_ptr<RecordTarget> target_;
};

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
Expected<std::vector<Input>> wheel_records(std::int32_t dx, std::int32_t dy) {
  const auto vertical = wheel_data(dy);
  const auto horizontal = wheel_data(dx);
  if (!vertical || !horizontal) return Outcome::failure("the wheel cannot turn that many notches at once");
  std::vector<Input> records;
  if (dy != 0) records.push_back(mouse_input(0, 0, -*vertical, mouse_flag::wheel));
  if (dx != 0) records.push_back(mouse_input(0, 0, *horizontal, computer_flag::horizontal_wheel));
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

std::unique_ptr<ComputerSystem> record_computer_system(std::unique_ptr<RecordTarget> target) {
  return std::make_unique<RecordComputerSystem>(std::move(target));
}

}  // namespace ondrel::windows
