#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "devices/hid_result.h"

namespace ondrel::wine_testing {

// What reached the system during one injection. Keys read "0xA2 down" or
// "0x25 up extended"; mouse events "left down", "back up", "wheel -240",
// "hwheel 120" or "move".
struct SeenInput {
  std::vector<std::string> hook_keys;     // WH_KEYBOARD_LL
  std::vector<DWORD> hook_key_times;      // their time stamps, in ms
  std::vector<std::string> hook_mouse;    // WH_MOUSE_LL
  std::vector<POINT> hook_points;         // of the hook's moves
  bool all_injected = true;               // every hook event carried its injected flag
  std::vector<std::string> window_keys;   // WM_KEYDOWN, WM_SYSKEYDOWN and their ups
  std::vector<std::string> window_mouse;  // button and wheel messages
  std::vector<POINT> window_points;       // where each of them happened, in screen pixels
  std::wstring window_chars;              // the WM_CHAR text
};

// Low-level hooks and a window that covers the screen and has the keyboard
// focus, with pointer acceleration off and the pointer in the middle.
class InputObserver {
 public:
  InputObserver();
  ~InputObserver();
  InputObserver(const InputObserver&) = delete;
  InputObserver& operator=(const InputObserver&) = delete;

  // Whether the window and both hooks exist.
  [[nodiscard]] bool ready() const;

  // Runs `inject` on a thread of its own while this thread serves the hooks
  // and the window, waits until the system has delivered everything and
  // returns what `inject` returned; `seen` then holds what arrived.
  HidResult observe(const std::function<HidResult()>& inject);

  SeenInput seen;

 private:
  static LRESULT CALLBACK keyboard_hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK mouse_hook(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  HHOOK keyboard_hook_ = nullptr;
  HHOOK mouse_hook_ = nullptr;
};

// An injection that must succeed and arrive marked as injected.
class InjectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(observer.ready()); }
  void observe(const std::function<HidResult()>& inject) {
    const HidResult result = observer.observe(inject);
    ASSERT_TRUE(result.ok()) << result.error().display();
    EXPECT_TRUE(observer.seen.all_injected);
  }

  InputObserver observer;
};

// A key event as the hook and the window show it: "0x25 up extended".
std::string describe_key(DWORD virtual_key, bool up, bool extended = false);

// The middle of the primary screen, where relative motion of a few hundred
// pixels is not clipped.
POINT screen_centre();

}  // namespace ondrel::wine_testing
