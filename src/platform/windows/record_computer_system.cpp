#include <memory>

#include "platform/stroke_typing.h"
#include "platform/utf8_text.h"
#include "platform/windows/computer_records.h"

namespace ondrel::windows {
namespace {

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
    for (const Input& record : wheel_records(dx, dy)) ONDREL_CHECK(target_->send(record));
    return Outcome::success();
  }

  Outcome key(const SystemKey& key, bool down) override { return target_->send(key_record(key, down)); }

  Outcome write(std::string_view text, TypingPace pace) override {
    const Expected<std::u32string> characters = decode_utf8(text);
    if (!characters.ok()) return characters.outcome();
    std::vector<Input> downs;
    std::vector<std::size_t> keys_per_character;
    for (const char32_t character : characters.value()) {
      const std::vector<Input> keys = character_downs(*target_, character);
      downs.insert(downs.end(), keys.begin(), keys.end());
      keys_per_character.push_back(keys.size());
    }
    return type_strokes(keys_per_character, pace,
                        [&](std::size_t key, bool down) { return target_->send(down ? downs[key] : up_of(downs[key])); });
  }

 private:
  std::unique_ptr<RecordTarget> target_;
};

}  // namespace

std::unique_ptr<ComputerSystem> record_computer_system(std::unique_ptr<RecordTarget> target) {
  return std::make_unique<RecordComputerSystem>(std::move(target));
}

}  // namespace ondrel::windows
