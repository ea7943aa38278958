#pragma once

// The Win32 INPUT record. On Windows it is user32's own; elsewhere the same
// layout is declared here so that the back ends build and run everywhere.

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ondrel::win32 {

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

struct HardwareInput {
  std::uint32_t uMsg;
  std::uint16_t wParamL;
  std::uint16_t wParamH;
};

struct Input {
  std::uint32_t type;
  union {
    MouseInput mi;
    KeyboardInput ki;
    HardwareInput hi;
  };
};

#endif

static_assert(sizeof(void*) != 8 || sizeof(Input) == 40, "INPUT must match the x64 Win32 layout");

inline constexpr std::uint32_t kInputMouse = 0;
inline constexpr std::uint32_t kInputKeyboard = 1;

// MOUSEEVENTF_* values.
namespace mouse_flag {
inline constexpr std::uint32_t move = 0x0001;
inline constexpr std::uint32_t left_down = 0x0002;
inline constexpr std::uint32_t left_up = 0x0004;
inline constexpr std::uint32_t right_down = 0x0008;
inline constexpr std::uint32_t right_up = 0x0010;
inline constexpr std::uint32_t middle_down = 0x0020;
inline constexpr std::uint32_t middle_up = 0x0040;
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

}  // namespace ondrel::win32
