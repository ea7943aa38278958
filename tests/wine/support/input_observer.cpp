#include "support/input_observer.h"

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

void register_window_class(WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

// Pointer motion must arrive one to one: no acceleration, middle speed.
void disable_pointer_acceleration() {
  int thresholds_and_acceleration[3] = {0, 0, 0};
  SystemParametersInfoW(SPI_SETMOUSE, 0, thresholds_and_acceleration, 0);
  SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(10)), 0);
}

// Mouse messages as the hooks and the window both name them.
std::string describe_mouse_message(UINT message, short wheel_delta) {
  switch (message) {
    case WM_MOUSEMOVE: return "move";
    case WM_LBUTTONDOWN: return "left down";
    case WM_LBUTTONUP: return "left up";
    case WM_RBUTTONDOWN: return "right down";
    case WM_RBUTTONUP: return "right up";
    case WM_MBUTTONDOWN: return "middle down";
    case WM_MBUTTONUP: return "middle up";
    case WM_MOUSEWHEEL: return "wheel " + std::to_string(wheel_delta);
    default: return "mouse message " + std::to_string(message);
  }
}

bool is_window_key(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool is_window_mouse(UINT message) {
  return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP) || message == WM_MOUSEWHEEL;
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
  disable_pointer_acceleration();
  const POINT centre = screen_centre();
  SetCursorPos(centre.x, centre.y);

  // The window covers the screen, so it gets the mouse messages wherever
  // the pointer is, and it takes the keyboard focus.
  register_window_class(window_procedure);
  window_ = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"ondrel input observer", WS_POPUP | WS_VISIBLE, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(window_);
  SetFocus(window_);

  active_observer = this;
  keyboard_hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, keyboard_hook, GetModuleHandleW(nullptr), 0);
  mouse_hook_ = SetWindowsHookExW(WH_MOUSE_LL, mouse_hook, GetModuleHandleW(nullptr), 0);
  dispatch_until_quiet();
  clear();
}

InputObserver::~InputObserver() {
  if (keyboard_hook_ != nullptr) UnhookWindowsHookEx(keyboard_hook_);
  if (mouse_hook_ != nullptr) UnhookWindowsHookEx(mouse_hook_);
  if (window_ != nullptr) DestroyWindow(window_);
  dispatch_pending();
  active_observer = nullptr;
}

bool InputObserver::ready() const { return window_ != nullptr && keyboard_hook_ != nullptr && mouse_hook_ != nullptr; }

void InputObserver::clear() {
  key_hook_events_.clear();
  mouse_hook_events_.clear();
  window_messages_.clear();
}

HidResult InputObserver::observe(const std::function<HidResult()>& inject) {
  clear();
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
  if (code == HC_ACTION && active_observer != nullptr)
    active_observer->key_hook_events_.push_back({wparam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam)});
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK InputObserver::mouse_hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && active_observer != nullptr)
    active_observer->mouse_hook_events_.push_back({wparam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam)});
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK InputObserver::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // A bare Alt would open the (absent) window menu and stall the window.
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_KEYMENU) return 0;
  if (active_observer != nullptr &&
      (is_window_key(message) || is_window_mouse(message) || message == WM_CHAR))
    active_observer->window_messages_.push_back({message, wparam, lparam});
  return DefWindowProcW(window, message, wparam, lparam);
}

std::vector<std::string> InputObserver::hook_keys() const {
  std::vector<std::string> keys;
  for (const KeyHookEvent& event : key_hook_events_)
    keys.push_back(describe_key(event.info.vkCode, (event.info.flags & LLKHF_UP) != 0,
                           (event.info.flags & LLKHF_EXTENDED) != 0));
  return keys;
}

std::vector<std::string> InputObserver::hook_mouse() const {
  std::vector<std::string> events;
  for (const MouseHookEvent& event : mouse_hook_events_)
    events.push_back(describe_mouse_message(static_cast<UINT>(event.message),
                                            static_cast<short>(HIWORD(event.info.mouseData))));
  return events;
}

std::vector<POINT> InputObserver::hook_points() const {
  std::vector<POINT> points;
  for (const MouseHookEvent& event : mouse_hook_events_)
    if (event.message == WM_MOUSEMOVE) points.push_back(event.info.pt);
  return points;
}

bool InputObserver::all_injected() const {
  for (const KeyHookEvent& event : key_hook_events_)
    if ((event.info.flags & LLKHF_INJECTED) == 0) return false;
  for (const MouseHookEvent& event : mouse_hook_events_)
    if ((event.info.flags & LLMHF_INJECTED) == 0) return false;
  return true;
}

std::vector<std::string> InputObserver::window_keys() const {
  std::vector<std::string> keys;
  for (const WindowMessage& message : window_messages_) {
    if (!is_window_key(message.message)) continue;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    const bool extended = (message.lparam & (1 << 24)) != 0;
    keys.push_back(describe_key(static_cast<DWORD>(message.wparam), up, extended));
  }
  return keys;
}

std::wstring InputObserver::window_chars() const {
  std::wstring text;
  for (const WindowMessage& message : window_messages_)
    if (message.message == WM_CHAR) text += static_cast<wchar_t>(message.wparam);
  return text;
}

std::vector<std::string> InputObserver::window_mouse() const {
  std::vector<std::string> events;
  for (const WindowMessage& message : window_messages_)
    if (is_window_mouse(message.message))
      events.push_back(describe_mouse_message(message.message, GET_WHEEL_DELTA_WPARAM(message.wparam)));
  return events;
}

}  // namespace ondrel::wine_testing
