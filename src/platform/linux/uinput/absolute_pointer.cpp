#include "platform/linux/uinput/absolute_pointer.h"

#include <limits>

#include "platform/linux/uinput/event_writer.h"
#include "platform/pointer_buttons.h"

namespace ondrel::linux::uinput {
namespace {

// Units per millimetre: about 100 dpi, a desktop screen's density. Nothing
// maps by it (libinput scales the axis range onto the output); it gives the
// device a plausible size where one is asked for (udev's ID_INPUT_WIDTH_MM).
constexpr std::int32_t kResolution = 4;

constexpr std::int32_t kHighResolutionPerNotch = 120;

AbsoluteAxis axis(std::uint16_t code, std::int32_t extent, std::int32_t at_start) {
  return {.code = code, .minimum = 0, .maximum = extent - 1, .initial = at_start, .resolution = kResolution};
}

// A value next to `value` inside 0..extent-1, or `value` on a one-pixel axis.
std::int32_t neighbour(std::int32_t value, std::int32_t extent) {
  if (value > 0) return value - 1;
  return extent > 1 ? value + 1 : value;
}

void add_axis(std::vector<input_event>& events, std::uint16_t code, std::int32_t to, std::int32_t last,
              std::int32_t extent) {
  if (to == last) events.push_back(evdev_event(EV_ABS, code, neighbour(to, extent)));
  events.push_back(evdev_event(EV_ABS, code, to));
}

std::optional<std::int32_t> in_120ths(std::int32_t notches) {
  const std::int64_t value = std::int64_t{notches} * kHighResolutionPerNotch;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

Capabilities absolute_pointer_capabilities(Size screen) {
  Capabilities capabilities{
      .keys = {},
      .relative_axes = {REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES},
      .absolute_axes = {axis(ABS_X, screen.width, kPointerAxesAtStart.x),
                        axis(ABS_Y, screen.height, kPointerAxesAtStart.y)},
      // Moved on the screen through a pointer, not a screen of its own.
      .properties = {INPUT_PROP_POINTER},
  };
  for (const PointerButtonCodes& button : kPointerButtonCodes) capabilities.keys.push_back(button.evdev);
  return capabilities;
}

std::vector<input_event> absolute_move_events(Point to, Point last, Size screen) {
  std::vector<input_event> events;
  add_axis(events, ABS_X, to.x, last.x, screen.width);
  add_axis(events, ABS_Y, to.y, last.y, screen.height);
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  return events;
}

std::vector<input_event> button_events(Button button, bool down) {
  return {evdev_event(EV_KEY, codes_of(button).evdev, down ? 1 : 0), evdev_event(EV_SYN, SYN_REPORT, 0)};
}

// -dy cannot overflow where dy * 120 does not.
Expected<std::vector<input_event>> wheel_events(std::int32_t dx, std::int32_t dy) {
  const std::optional<std::int32_t> vertical = in_120ths(dy);
  const std::optional<std::int32_t> horizontal = in_120ths(dx);
  if (!vertical || !horizontal) return Outcome::failure("the wheel cannot turn that many notches at once");
  std::vector<input_event> events;
  if (dy != 0) {
    events.push_back(evdev_event(EV_REL, REL_WHEEL, -dy));
    events.push_back(evdev_event(EV_REL, REL_WHEEL_HI_RES, -*vertical));
  }
  if (dx != 0) {
    events.push_back(evdev_event(EV_REL, REL_HWHEEL, dx));
    events.push_back(evdev_event(EV_REL, REL_HWHEEL_HI_RES, *horizontal));
  }
  if (events.empty()) return events;  // no turn, no report
  events.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  return events;
}

}  // namespace ondrel::linux::uinput
