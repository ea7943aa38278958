#include "support/recorded_inputs.h"

#include <cstdio>

namespace ondrel::testing {
namespace {

std::string describe_mouse(const windows::Input& input) {
  switch (input.mi.dwFlags) {
    case windows::mouse_flag::move:
      return "move " + std::to_string(input.mi.dx) + " " + std::to_string(input.mi.dy);
    case 0x0002: return "left down";  // MOUSEEVENTF_LEFTDOWN
    case 0x0004: return "left up";
    case 0x0008: return "right down";
    case 0x0010: return "right up";
    case 0x0020: return "middle down";
    case 0x0040: return "middle up";
    case windows::mouse_flag::wheel:
      return "wheel " + std::to_string(static_cast<std::int32_t>(input.mi.mouseData));
    default: return "mouse flags " + std::to_string(input.mi.dwFlags);
  }
}

std::string describe_keyboard(const windows::Input& input) {
  char text[64];
  const std::uint32_t flags = input.ki.dwFlags;
  std::snprintf(text, sizeof text, "VK 0x%02X %s%s", input.ki.wVk,
                (flags & windows::key_flag::key_up) ? "up" : "down",
                (flags & windows::key_flag::extended_key) ? " extended" : "");
  std::string described = text;
  if (input.ki.wScan != 0) described += " scan " + std::to_string(input.ki.wScan);
  if ((flags & ~(windows::key_flag::key_up | windows::key_flag::extended_key)) != 0)
    described += " flags " + std::to_string(flags);
  return described;
}

std::string describe_input(const windows::Input& input) {
  std::string described = input.type == windows::kInputMouse ? describe_mouse(input) : describe_keyboard(input);
  const bool stamped = input.type == windows::kInputMouse ? (input.mi.time != 0 || input.mi.dwExtraInfo != 0)
                                                        : (input.ki.time != 0 || input.ki.dwExtraInfo != 0);
  if (stamped) described += " (time or extra info set)";
  return described;
}

}  // namespace

RecordedInputs& recorded_inputs() {
  static RecordedInputs inputs;
  return inputs;
}

void reset_recorded_inputs() { recorded_inputs() = RecordedInputs{}; }

unsigned recording_send_input(const windows::Input& input) {
  RecordedInputs& inputs = recorded_inputs();
  if (++inputs.calls == inputs.fail_on_call) return 0;
  inputs.events.push_back(describe_input(input));
  inputs.times.push_back(std::chrono::steady_clock::now());
  return 1;
}

}  // namespace ondrel::testing
