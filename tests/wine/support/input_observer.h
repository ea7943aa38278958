#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "devices/hid_result.h"

namespace ondrel::wine_testing {

// What reached the system while something was injected: the low-level
// hooks' view (WH_KEYBOARD_LL, WH_MOUSE_LL) and the messages of a window
// that covers the screen and has the keyboard focus.
class InputObserver {
 public:
  InputObserver();
  ~InputObserver();
  InputObserver(const InputObserver&) = delete;
  InputObserver& operator=(const InputObserver&) = delete;

  // Forgets what was seen, runs `inject` on a thread of its own while this
  // thread serves the hooks and the window, then waits until the system
  // has delivered everything. Returns what `inject` returned.
  HidResult observe(const std::function<HidResult()>& inject);

  // Whether the window and both hooks exist.
  [[nodiscard]] bool ready() const;

  // Readable views for comparisons: "0xA2 down", "0x25 up extended".
  [[nodiscard]] std::vector<std::string> hook_keys() const;
  // "left down", "wheel -240", "move"; the points of the moves come from
  // hook_points().
  [[nodiscard]] std::vector<std::string> hook_mouse() const;
  [[nodiscard]] std::vector<POINT> hook_points() const;
  // Whether every hook event carried its injected flag.
  [[nodiscard]] bool all_injected() const;
  // WM_KEYDOWN / WM_SYSKEYDOWN and their ups: "0x11 down".
  [[nodiscard]] std::vector<std::string> window_keys() const;
  // The WM_CHAR text.
  [[nodiscard]] std::wstring window_chars() const;
  // Button and wheel messages: "left down", "wheel -240".
  [[nodiscard]] std::vector<std::string> window_mouse() const;

 private:
  struct KeyHookEvent {
    WPARAM message;  // WM_KEYDOWN, WM_SYSKEYUP, ...
    KBDLLHOOKSTRUCT info;
  };
  struct MouseHookEvent {
    WPARAM message;  // WM_MOUSEMOVE, WM_LBUTTONDOWN, ...
    MSLLHOOKSTRUCT info;
  };
  struct WindowMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };

  static LRESULT CALLBACK keyboard_hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK mouse_hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  void clear();

  HWND window_ = nullptr;
  HHOOK keyboard_hook_ = nullptr;
  HHOOK mouse_hook_ = nullptr;
  std::vector<KeyHookEvent> key_hook_events_;
  std::vector<MouseHookEvent> mouse_hook_events_;
  std::vector<WindowMessage> window_messages_;
};

// A key event as hook_keys() and window_keys() show it: "0x25 up extended".
std::string describe_key(DWORD virtual_key, bool up, bool extended = false);

// The point in the middle of the primary screen, where relative motion of
// a few hundred pixels is not clipped.
POINT screen_centre();

}  // namespace ondrel::wine_testing
