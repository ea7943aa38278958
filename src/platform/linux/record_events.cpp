#include "platform/linux/record_events.h"

#include <array>

#include "platform/linux/event_writer.h"

namespace ondrel::uinput {
namespace {

// Indexed by PointerButton.
constexpr std::array<std::uint16_t, 3> kButtonCodes = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE};

std::vector<input_event> ending_the_report(std::vector<input_event> events) {
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  return events;
}

}  // namespace

std::vector<input_event> pointer_events(const PointerChanges& changes) {
  std::vector<input_event> events;
  if (changes.dx != 0) events.push_back(evdev_event(EV_REL, REL_X, changes.dx));
  if (changes.dy != 0) events.push_back(evdev_event(EV_REL, REL_Y, changes.dy));
  for (const ButtonChange& change : changes.buttons)
    events.push_back(evdev_event(EV_KEY, kButtonCodes[static_cast<std::size_t>(change.button)], change.down ? 1 : 0));
  if (changes.wheel != 0) {
    const std::int32_t notches = changes.wheel / win32::kWheelDelta;
    if (notches != 0) events.push_back(evdev_event(EV_REL, REL_WHEEL, notches));
    events.push_back(evdev_event(EV_REL, REL_WHEEL_HI_RES, changes.wheel));
  }
  return ending_the_report(std::move(events));
}

std::vector<input_event> key_events(const KeyChange& change) {
  return ending_the_report({evdev_event(EV_KEY, change.linux_key, change.down ? 1 : 0)});
}

}  // namespace ondrel::uinput
