#include "support/input_observer.h"

#include <windowsx.h>

#include <cstdio>
#include <thread>

namespace ondrel::wine_testing {
namespace {

// The hooks are process-wide callbacks without a context pointer.
InputObserver* active_observer = nullptr;

constexpr wchar_t kWindowClass[] = L"ondrel_input_observer";
// How long the queue must stay empty before everything counts as delivered.
constexpr DWORD kQuietMs = 150;
constexpr ULONGLONG kInjectionTimeoutMs = 30000;

// Dispatches everything queued, which also serves the hooks' calls.
void dispatch_pending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void dispatch_until_quiet() {
  do {
    dispatch_pending();
  } while (MsgWaitForMultipleObjectsEx(0, nullptr, kQuietMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT);
}

// Mouse messages as the hooks and the window both name them; `high` is the
// high word of their data: the wheel's delta or the X button.
std::string describe_mouse_message(UINT message, WORD high) {
  const char* x_button = high == XBUTTON1 ? "back" : high == XBUTTON2 ? "forward" : "x button ?";
  switch (message) {
    case WM_MOUSEMOVE: return "move";
    case WM_LBUTTONDOWN: return "left down";
    case WM_LBUTTONUP: return "left up";
    case WM_RBUTTONDOWN: return "right down";
    case WM_RBUTTONUP: return "right up";
    case WM_MBUTTONDOWN: return "middle down";
    case WM_MBUTTONUP: return "middle up";
    case WM_XBUTTONDOWN: return std::string(x_button) + " down";
    case WM_XBUTTONUP: return std::string(x_button) + " up";
    case WM_MOUSEWHEEL: return "wheel " + std::to_string(static_cast<short>(high));
    case WM_MOUSEHWHEEL: return "hwheel " + std::to_string(static_cast<short>(high));
    default: return "mouse message " + std::to_string(message);
  }
}

bool is_button_or_wheel(UINT message) {
  return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP) || message == WM_MOUSEWHEEL ||
         message == WM_XBUTTONDOWN || message == WM_XBUTTONUP || message == WM_MOUSEHWHEEL;
}

// A mouse message's point: the client's for buttons, the screen's for wheels.
POINT message_point(HWND window, UINT message, LPARAM lparam) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) ClientToScreen(window, &point);
  return point;
}

}  // namespace

std::string describe_key(DWORD virtual_key, bool up, bool extended) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%02lX %s%s", static_cast<unsigned long>(virtual_key), up ? "up" : "down",
                extended ? " extended" : "");
  return text;
}

POINT screen_centre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

InputObserver::InputObserver() {
  // Pointer motion must arrive one to one: no acceleration, middle speed.
  int thresholds_and_acceleration[3] = {0, 0, 0};
  SystemParametersInfoW(SPI_SETMOUSE, 0, thresholds_and_acceleration, 0);
  SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(10)), 0);
  const POINT centre = screen_centre();
  SetCursorPos(centre.x, centre.y);

  // Covering the screen, the window gets the mouse messages wherever the
  // pointer is.
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
  window_ = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"ondrel input observer", WS_POPUP | WS_VISIBLE, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(window_);
  SetFocus(window_);

  active_observer = this;
  keyboard_hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, keyboard_hook, GetModuleHandleW(nullptr), 0);
  mouse_hook_ = SetWindowsHookExW(WH_MOUSE_LL, mouse_hook, GetModuleHandleW(nullptr), 0);
  dispatch_until_quiet();
  seen = {};
}

InputObserver::~InputObserver() {
  if (keyboard_hook_ != nullptr) UnhookWindowsHookEx(keyboard_hook_);
  if (mouse_hook_ != nullptr) UnhookWindowsHookEx(mouse_hook_);
  if (window_ != nullptr) DestroyWindow(window_);
  dispatch_pending();
  active_observer = nullptr;
}

bool InputObserver::ready() const { return window_ != nullptr && keyboard_hook_ != nullptr && mouse_hook_ != nullptr; }

HidResult InputObserver::observe(const std::function<HidResult()>& inject) {
  seen = {};
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HidResult result;
  // SendInput waits for the low-level hooks, which run on this thread: keep
  // serving them while the injection goes on.
  std::thread injector([&] {
    result = inject();
    SetEvent(finished);
  });
  const ULONGLONG deadline = GetTickCount64() + kInjectionTimeoutMs;
  while (MsgWaitForMultipleObjectsEx(1, &finished, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0 &&
         GetTickCount64() < deadline) {
    dispatch_pending();
  }
  injector.join();
  CloseHandle(finished);
  dispatch_until_quiet();
  return result;
}

LRESULT CALLBACK InputObserver::keyboard_hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && active_observer != nullptr) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    SeenInput& seen = active_observer->seen;
    seen.hook_keys.push_back(
        describe_key(info.vkCode, (info.flags & LLKHF_UP) != 0, (info.flags & LLKHF_EXTENDED) != 0));
    seen.hook_key_times.push_back(info.time);
    seen.all_injected = seen.all_injected && (info.flags & LLKHF_INJECTED) != 0;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK InputObserver::mouse_hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && active_observer != nullptr) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam);
    SeenInput& seen = active_observer->seen;
    seen.hook_mouse.push_back(
        describe_mouse_message(static_cast<UINT>(wparam), HIWORD(info.mouseData)));
    if (wparam == WM_MOUSEMOVE) seen.hook_points.push_back(info.pt);
    seen.all_injected = seen.all_injected && (info.flags & LLMHF_INJECTED) != 0;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK InputObserver::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // A bare Alt would open the (absent) window menu and stall the window.
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_KEYMENU) return 0;
  if (active_observer != nullptr) {
    SeenInput& seen = active_observer->seen;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP || message == WM_SYSKEYUP) {
      seen.window_keys.push_back(describe_key(static_cast<DWORD>(wparam), message == WM_KEYUP || message == WM_SYSKEYUP,
                                              (lparam & (1 << 24)) != 0));
    } else if (message == WM_CHAR) {
      seen.window_chars += static_cast<wchar_t>(wparam);
    } else if (is_button_or_wheel(message)) {
      seen.window_mouse.push_back(describe_mouse_message(message, HIWORD(wparam)));
      seen.window_points.push_back(message_point(window, message, lparam));
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace ondrel::wine_testing
