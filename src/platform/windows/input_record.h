#pragma once

// The Win32 INPUT record. On Windows it is user32's own; elsewhere the same
// layout is declared here so that the test recorder keeps its journal of
// INPUT records on every system.

#include <cstdint>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/input_change.h"

namespace ondrel::windows {

#ifdef _WIN32

using Input = ::INPUT;

#else

struct MouseInput {
  std::int32_t dx;
  std::int32_t dy;
  std::uint32_t mouseData;
  std::uint32_t dwFlags;
  std::uint32_t time;
  std::uintptr_t dwExtraInfo;
};

struct KeyboardInput {
  std::uint16_t wVk;
  std::uint16_t wScan;
  std::uint32_t dwFlags;
  std::uint32_t time;
  std::uintptr_t dwExtraInfo;
};

struct Input {
  std::uint32_t type;
  union {
    MouseInput mi;
    KeyboardInput ki;
    // HARDWAREINPUT, never used here, is smaller than both.
  };
};

#endif

static_assert(sizeof(void*) != 8 || sizeof(Input) == 40, "INPUT must match the x64 Win32 layout");

inline constexpr std::uint32_t kInputMouse = 0;
inline constexpr std::uint32_t kInputKeyboard = 1;

// MOUSEEVENTF_* values; the buttons' are in pointer_buttons.h.
namespace mouse_flag {
inline constexpr std::uint32_t move = 0x0001;
inline constexpr std::uint32_t wheel = 0x0800;
}  // namespace mouse_flag

inline constexpr std::int32_t kWheelDelta = 120;

// KEYEVENTF_* values.
namespace key_flag {
inline constexpr std::uint32_t extended_key = 0x0001;
inline constexpr std::uint32_t key_up = 0x0002;
}  // namespace key_flag

Input mouse_input(std::int32_t dx, std::int32_t dy, std::int32_t mouse_data, std::uint32_t flags);
Input keyboard_input(std::uint16_t virtual_key, std::uint32_t flags);

// The one record that plays `change` as SendInput takes it; nothing for a
// key outside the key table.
std::optional<Input> record_for(const InputChange& change);

}  // namespace ondrel::windows
