#include "linux/evdev_text.h"

#include <array>
#include <cstdint>

namespace ondrel::testing {
namespace {

struct CodeName {
  std::uint16_t type;
  std::uint16_t code;
  const char* name;
};

#define ONDREL_NAME(type, code) {type, code, #code}

// The codes the tests meet; the letters and digits that typed texts use.
constexpr auto kCodeNames = std::to_array<CodeName>({
    ONDREL_NAME(EV_REL, REL_X), ONDREL_NAME(EV_REL, REL_Y), ONDREL_NAME(EV_REL, REL_WHEEL),
    ONDREL_NAME(EV_REL, REL_WHEEL_HI_RES), ONDREL_NAME(EV_REL, REL_HWHEEL), ONDREL_NAME(EV_REL, REL_HWHEEL_HI_RES),
    ONDREL_NAME(EV_KEY, BTN_SIDE), ONDREL_NAME(EV_KEY, BTN_EXTRA),
    ONDREL_NAME(EV_KEY, BTN_LEFT), ONDREL_NAME(EV_KEY, BTN_RIGHT), ONDREL_NAME(EV_KEY, BTN_MIDDLE),
    ONDREL_NAME(EV_KEY, BTN_SOUTH), ONDREL_NAME(EV_KEY, BTN_EAST), ONDREL_NAME(EV_KEY, BTN_X),
    ONDREL_NAME(EV_KEY, BTN_Y), ONDREL_NAME(EV_KEY, BTN_TL), ONDREL_NAME(EV_KEY, BTN_TR),
    ONDREL_NAME(EV_KEY, BTN_SELECT), ONDREL_NAME(EV_KEY, BTN_START), ONDREL_NAME(EV_KEY, BTN_MODE),
    ONDREL_NAME(EV_KEY, BTN_THUMBL), ONDREL_NAME(EV_KEY, BTN_THUMBR), ONDREL_NAME(EV_KEY, BTN_DPAD_UP),
    ONDREL_NAME(EV_KEY, BTN_DPAD_DOWN), ONDREL_NAME(EV_KEY, BTN_DPAD_LEFT), ONDREL_NAME(EV_KEY, BTN_DPAD_RIGHT),
    ONDREL_NAME(EV_ABS, ABS_X), ONDREL_NAME(EV_ABS, ABS_Y), ONDREL_NAME(EV_ABS, ABS_RX),
    ONDREL_NAME(EV_ABS, ABS_RY), ONDREL_NAME(EV_ABS, ABS_Z), ONDREL_NAME(EV_ABS, ABS_RZ),
    ONDREL_NAME(EV_KEY, KEY_LEFTCTRL), ONDREL_NAME(EV_KEY, KEY_LEFTSHIFT), ONDREL_NAME(EV_KEY, KEY_LEFTALT),
    ONDREL_NAME(EV_KEY, KEY_LEFTMETA), ONDREL_NAME(EV_KEY, KEY_A), ONDREL_NAME(EV_KEY, KEY_C),
    ONDREL_NAME(EV_KEY, KEY_H), ONDREL_NAME(EV_KEY, KEY_I), ONDREL_NAME(EV_KEY, KEY_T),
    ONDREL_NAME(EV_KEY, KEY_1), ONDREL_NAME(EV_KEY, KEY_SPACE), ONDREL_NAME(EV_KEY, KEY_ENTER),
    ONDREL_NAME(EV_KEY, KEY_LEFT), ONDREL_NAME(EV_KEY, KEY_F11), ONDREL_NAME(EV_KEY, KEY_DELETE),
});

#undef ONDREL_NAME

}  // namespace

std::string describe(const input_event& event) {
  if (event.type == EV_SYN && event.code == SYN_REPORT && event.value == 0) return "SYN_REPORT";
  for (const CodeName& row : kCodeNames)
    if (row.type == event.type && row.code == event.code) return std::string(row.name) + " " + std::to_string(event.value);
  return "type " + std::to_string(event.type) + " code " + std::to_string(event.code) + " value " +
         std::to_string(event.value);
}

std::vector<std::string> describe(std::span<const input_event> events) {
  std::vector<std::string> texts;
  for (const input_event& event : events) texts.push_back(describe(event));
  return texts;
}

}  // namespace ondrel::testing
