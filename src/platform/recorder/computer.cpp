#include "platform/recorder/computer.h"

#include "devices/typed_characters.h"
#include "platform/key_codes.h"
#include "platform/recorder/journal.h"
#include "platform/windows/computer_records.h"

namespace ondrel::recorder {
namespace {

using windows::Input;

bool is_absolute_move(const Input& input) {
  return input.type == windows::kInputMouse && (input.mi.dwFlags & windows::computer_flag::absolute) != 0;
}

class RecorderTarget final : public windows::RecordTarget {
 public:
  explicit RecorderTarget(Size screen) : screen_(screen) {}

  Outcome send(const Input& input) override {
    const std::optional<unsigned> taken = intercept(input);
    if (!taken) return Outcome::failure("the test recorder is stopped");
    if (*taken == 0) return Outcome::failure("SendInput failed");
    // Where Windows would put the pointer, so that position() tells whether the encoding lands on the pixel.
    if (is_absolute_move(input))
      cursor_ = {windows::pixel_of_normalised(input.mi.dx, screen_.width),
                 windows::pixel_of_normalised(input.mi.dy, screen_.height)};
    return Outcome::success();
  }

  Expected<windows::Desktop> desktop() override { return windows::Desktop{{0, 0}, screen_}; }
  Expected<Point> cursor() override { return cursor_; }

  // The keys of a US layout. Their set 1 scan codes are the Linux input
  // codes of the same keys (which were numbered after them).
  std::optional<windows::LayoutStroke> layout_stroke(char32_t character) override {
    const std::optional<TypedKey> typed = typed_key(character);
    if (!typed) return std::nullopt;
    const KeyCodes* codes = key_codes_for_usage(typed->usage);
    if (codes == nullptr) return std::nullopt;
    return windows::LayoutStroke{codes->virtual_key, codes->linux_key, static_cast<std::uint8_t>(typed->shifted ? 1 : 0)};
  }

 private:
  Size screen_;
  Point cursor_{0, 0};
};

}  // namespace

std::unique_ptr<ComputerSystem> open_recording_computer(std::optional<Size> screen_size) {
  return windows::record_computer_system(std::make_unique<RecorderTarget>(screen_size.value_or(kDefaultRecordedScreen)));
}

}  // namespace ondrel::recorder
