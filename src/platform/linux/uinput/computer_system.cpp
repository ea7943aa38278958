#include <memory>

#include "platform/linux/computer_systems.h"
#include "platform/linux/uinput/absolute_pointer.h"
#include "platform/linux/uinput/computer_keyboard.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/event_writer.h"
#include "platform/stroke_typing.h"

namespace ondrel::linux::uinput {
namespace {

constexpr const char* kPointerName = "ondrel Computer Pointer";
constexpr const char* kKeyboardName = "ondrel Computer Keyboard";

std::vector<input_event> key_events(std::uint16_t code, bool down) {
  return {evdev_event(EV_KEY, code, down ? 1 : 0), evdev_event(EV_SYN, SYN_REPORT, 0)};
}

// Two devices of this process's own. uinput can tell nothing back: the
// screen's size is the caller's, and the position is where this pointer
// last put it.
class UinputComputerSystem final : public ComputerSystem {
 public:
  UinputComputerSystem(Size screen, std::unique_ptr<EventWriter> pointer, std::unique_ptr<EventWriter> keyboard)
      : screen_(screen), pointer_(std::move(pointer)), keyboard_(std::move(keyboard)) {}

  Expected<Size> screen_size() override { return screen_; }

  // Before the first move the pointer is wherever the compositor keeps it,
  // which uinput cannot ask; a made-up point would send a click elsewhere.
  Expected<Point> position() override {
    if (!moved_) return Outcome::failure("the pointer's position is unknown until move_to: uinput cannot ask the "
                                         "compositor where the pointer is");
    return axes_;
  }

  Outcome move_to(Point point) override {
    ONDREL_CHECK(pointer_->write(absolute_move_events(point, axes_, screen_)));
    axes_ = point;
    moved_ = true;
    return Outcome::success();
  }

  Outcome button(Button button, bool down) override { return pointer_->write(button_events(button, down)); }

  Outcome wheel(std::int32_t dx, std::int32_t dy) override {
    const Expected<std::vector<input_event>> events = wheel_events(dx, dy);
    if (!events.ok()) return events.outcome();
    if (events.value().empty()) return Outcome::success();
    return pointer_->write(events.value());
  }

  Outcome key(const SystemKey& key, bool down) override {
    if (!computer_keyboard_has(key.evdev))
      return Outcome::failure("the uinput keyboard has no key with code " + std::to_string(key.evdev));
    return keyboard_->write(key_events(key.evdev, down));
  }

  Outcome write(std::string_view text, TypingPace pace) override {
    const Expected<std::vector<TypedStroke>> strokes = us_layout_strokes(text);
    if (!strokes.ok()) return strokes.outcome();
    std::vector<std::uint16_t> codes;
    std::vector<std::size_t> keys_per_stroke;
    for (const TypedStroke& stroke : strokes.value()) {
      if (stroke.shifted) codes.push_back(kShiftCode);
      codes.push_back(stroke.code);
      keys_per_stroke.push_back(stroke.shifted ? 2 : 1);
    }
    return type_strokes(keys_per_stroke, pace,
                        [&](std::size_t key, bool down) { return keyboard_->write(key_events(codes[key], down)); });
  }

  Expected<screen::RgbImage> capture(std::optional<ScreenArea>) override {
    return Outcome::failure(
        "uinput cannot see the screen: it only adds input devices to the kernel. Take screenshots with the "
        "compositor's own means (grim on wlroots, the XDG desktop portal's Screenshot) and pass their size as "
        "scale_from, or run under X (DISPLAY), where screenshot() and zoom() work");
  }

 private:
  Size screen_;
  std::unique_ptr<EventWriter> pointer_;
  std::unique_ptr<EventWriter> keyboard_;
  Point axes_ = kPointerAxesAtStart;
  bool moved_ = false;
};

}  // namespace

Expected<std::unique_ptr<ComputerSystem>> open_computer_system(Size screen_size) {
  if (screen_size.width < 1 || screen_size.height < 1)
    return Outcome::failure("the screen must be at least one pixel wide and high");
  Expected<std::unique_ptr<Device>> pointer = Device::create(absolute_pointer_capabilities(screen_size), kPointerName);
  if (!pointer.ok()) return pointer.outcome();
  Expected<std::unique_ptr<Device>> keyboard = Device::create(computer_keyboard_capabilities(), kKeyboardName);
  if (!keyboard.ok()) return keyboard.outcome();
  return std::unique_ptr<ComputerSystem>(
      std::make_unique<UinputComputerSystem>(screen_size, std::move(pointer).take(), std::move(keyboard).take()));
}

}  // namespace ondrel::linux::uinput
