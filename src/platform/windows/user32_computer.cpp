#ifdef _WIN32

#include <array>
#include <memory>

#include "platform/system_computer.h"
#include "platform/windows/computer_records.h"
#include "platform/windows/screen_capture.h"

namespace ondrel {
namespace {

using windows::Input;

// Per-monitor DPI awareness for the calling thread, for one call: points
// are then physical pixels on every monitor, whatever the host process
// declared, and the process's own awareness is never changed. The first
// per-monitor context (Windows 10 1607) is asked for: it measures and moves
// exactly as the second does, which Windows 10 before 1703 and Wine 8 refuse.
// Windows before 10 (1607) has no per-thread awareness; there the
// process's holds.
class PerMonitorAwareness {
 public:
  PerMonitorAwareness() {
    if (set_ != nullptr) previous_ = set_(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  }
  ~PerMonitorAwareness() {
    if (set_ != nullptr && previous_ != nullptr) set_(previous_);
  }
  PerMonitorAwareness(const PerMonitorAwareness&) = delete;
  PerMonitorAwareness& operator=(const PerMonitorAwareness&) = delete;

 private:
  using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  static SetContext lookup() {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<SetContext>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
  }
  inline static const SetContext set_ = lookup();
  DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

class User32Target final : public windows::RecordTarget {
 public:
  // An absolute move is normalised over the desktop measured under the same
  // awareness as it is sent with.
  Outcome send(const Input& input) override {
    const PerMonitorAwareness aware;
    Input copy = input;  // SendInput takes a non-const pointer
    if (::SendInput(1, &copy, sizeof(Input)) == 0) return Outcome::failure("SendInput failed");
    return Outcome::success();
  }

  Expected<windows::Desktop> desktop() override {
    const PerMonitorAwareness aware;
    const windows::Desktop desktop{{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN)},
                                 {::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)}};
    if (desktop.size.width <= 0 || desktop.size.height <= 0)
      return Outcome::failure("GetSystemMetrics gave no virtual screen (no desktop in this session?)");
    return desktop;
  }

  // Under the awareness that measures the desktop: physical pixels.
  Expected<screen::RgbImage> capture(ScreenArea area) override {
    const PerMonitorAwareness aware;
    return windows::capture_desktop_area(area);
  }

  Expected<Point> cursor() override {
    const PerMonitorAwareness aware;
    POINT point{};
    if (!::GetCursorPos(&point)) return Outcome::failure("GetCursorPos failed (no desktop in this session?)");
    return Point{point.x, point.y};
  }

  // The layout of the window that will receive the text, which may differ
  // from this thread's. A key is used only if it types exactly the
  // character with the locks as they are: with Caps Lock on, a letter takes
  // the other shift state; a dead key (^ on a German layout) would wait for
  // the next character, and Wine takes no Control+Alt for AltGr (@ on a
  // German layout): those go as Unicode packets instead.
  std::optional<windows::LayoutStroke> layout_stroke(char32_t character) override {
    if (character > 0xFFFF) return std::nullopt;  // no layout has a key for a surrogate pair
    const HKL layout = ::GetKeyboardLayout(::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr));
    const SHORT scanned = ::VkKeyScanExW(static_cast<WCHAR>(character), layout);
    if (scanned == -1) return std::nullopt;
    const auto virtual_key = static_cast<std::uint16_t>(scanned & 0xFF);
    const auto shift_state = static_cast<std::uint8_t>((scanned >> 8) & 0xFF);
    if ((shift_state & ~0x07) != 0) return std::nullopt;  // Hankaku and other states we cannot press
    const auto scan_code = static_cast<std::uint16_t>(::MapVirtualKeyExW(virtual_key, MAPVK_VK_TO_VSC, layout));
    for (const std::uint8_t state : {shift_state, static_cast<std::uint8_t>(shift_state ^ 1)}) {
      const windows::LayoutStroke stroke{virtual_key, scan_code, state};
      if (types_exactly(stroke, character, layout)) return stroke;
    }
    return std::nullopt;
  }

 private:
  // Whether `stroke` types `character` alone, asked without touching the
  // keyboard's dead-key state (flag 4, Windows 10 1607; before it, only
  // this thread's state, which nothing else reads).
  static bool types_exactly(const windows::LayoutStroke& stroke, char32_t character, HKL layout) {
    std::array<BYTE, 256> keys{};
    const BYTE down = 0x80;
    if ((stroke.shift_state & 1) != 0) keys[VK_SHIFT] = down;
    if ((stroke.shift_state & 2) != 0) keys[VK_CONTROL] = down;
    if ((stroke.shift_state & 4) != 0) keys[VK_MENU] = down;
    keys[VK_CAPITAL] = static_cast<BYTE>(::GetKeyState(VK_CAPITAL) & 1);
    std::array<WCHAR, 4> typed{};
    const int count = ::ToUnicodeEx(stroke.virtual_key, stroke.scan_code, keys.data(), typed.data(),
                                    static_cast<int>(typed.size()), 4, layout);
    return count == 1 && typed[0] == character;
  }
};

}  // namespace

Expected<std::unique_ptr<ComputerSystem>> open_system_computer(std::optional<Size>) {
  return windows::record_computer_system(std::make_unique<User32Target>());
}

}  // namespace ondrel

#endif
