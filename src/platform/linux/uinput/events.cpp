#include "platform/linux/uinput/events.h"

#include "platform/key_codes.h"
#include "platform/linux/uinput/event_writer.h"
#include "platform/pointer_buttons.h"

namespace ondrel::linux::uinput {
namespace {

// What REL_WHEEL_HI_RES counts in a notch.
constexpr std::int32_t kHighResolutionPerNotch = 120;

std::vector<input_event> ending_the_report(std::vector<input_event> events) {
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  return events;
}

std::vector<input_event> events_of(const PointerMotion& motion) {
  std::vector<input_event> events;
  if (motion.dx != 0) events.push_back(evdev_event(EV_REL, REL_X, motion.dx));
  if (motion.dy != 0) events.push_back(evdev_event(EV_REL, REL_Y, motion.dy));
  return events;
}

std::vector<input_event> events_of(const ButtonChange& change) {
  return {evdev_event(EV_KEY, codes_of(change.button).evdev, change.down ? 1 : 0)};
}

std::vector<input_event> events_of(const WheelTurn& turn) {
  return {evdev_event(EV_REL, REL_WHEEL, turn.notches),
          evdev_event(EV_REL, REL_WHEEL_HI_RES, turn.notches * kHighResolutionPerNotch)};
}

}  // namespace

std::optional<std::vector<input_event>> events_for(const InputChange& change) {
  if (const auto* key = std::get_if<KeyChange>(&change)) {
    const std::optional<KeyCodes> codes = codes_of_key(key->usage);
    if (!codes) return std::nullopt;
    return ending_the_report({evdev_event(EV_KEY, codes->linux_key, key->down ? 1 : 0)});
  }
  return std::visit(
      [](const auto& pointer) -> std::optional<std::vector<input_event>> {
        if constexpr (std::is_same_v<std::decay_t<decltype(pointer)>, KeyChange>) {
          return std::nullopt;
        } else {
          return ending_the_report(events_of(pointer));
        }
      },
      change);
}

}  // namespace ondrel::linux::uinput
