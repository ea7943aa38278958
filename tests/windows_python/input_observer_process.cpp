// The observer of tests/wine (low-level hooks and a focused window covering
// the screen) as a process of its own, for a Python that injects from
// another process: the module holds the interpreter lock during its calls,
// so a hook served inside the injecting interpreter would wait for it.
//
// Prints {"centre":[x,y],"screen":[left,top,width,height]} (the virtual
// screen) once ready; then, for every line read from stdin, waits until the
// system has delivered everything and prints one JSON line of what arrived
// since the previous one, with the cursor's position then. Points are
// physical pixels: the process is per-monitor DPI aware. Ends at "quit" or
// end of input.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "support/input_observer.h"

namespace {

using ondrel::wine_testing::InputObserver;
using ondrel::wine_testing::SeenInput;

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::string json_string(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string json_strings(const std::vector<std::string>& items) {
  std::string array = "[";
  for (const std::string& item : items) array += (array.size() > 1 ? "," : "") + json_string(item);
  return array + "]";
}

std::string json_point(POINT point) { return "[" + std::to_string(point.x) + "," + std::to_string(point.y) + "]"; }

std::string json_points(const std::vector<POINT>& points) {
  std::string array = "[";
  for (const POINT point : points) array += (array.size() > 1 ? "," : "") + json_point(point);
  return array + "]";
}

std::string json_seen(const SeenInput& seen) {
  POINT cursor{};
  GetCursorPos(&cursor);
  return "{\"hook_keys\":" + json_strings(seen.hook_keys) + ",\"hook_mouse\":" + json_strings(seen.hook_mouse) +
         ",\"hook_points\":" + json_points(seen.hook_points) + ",\"all_injected\":" +
         (seen.all_injected ? "true" : "false") + ",\"window_keys\":" + json_strings(seen.window_keys) +
         ",\"window_mouse\":" + json_strings(seen.window_mouse) + ",\"window_points\":" +
         json_points(seen.window_points) + ",\"window_chars\":" + json_string(utf8(seen.window_chars)) +
         ",\"cursor\":" + json_point(cursor) + "}";
}

std::string json_virtual_screen() {
  return "[" + std::to_string(GetSystemMetrics(SM_XVIRTUALSCREEN)) + "," +
         std::to_string(GetSystemMetrics(SM_YVIRTUALSCREEN)) + "," + std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN)) +
         "," + std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN)) + "]";
}

void print_line(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main() {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);  // Wine 8 has no V2
  InputObserver observer;
  if (!observer.ready()) {
    std::fputs("the observer's window or hooks could not be set up\n", stderr);
    return 1;
  }
  print_line("{\"centre\":" + json_point(ondrel::wine_testing::screen_centre()) +
             ",\"screen\":" + json_virtual_screen() + "}");
  bool more = true;
  while (more) {
    // The line is awaited on a thread of the observer's, while this thread serves the hooks and the window.
    std::string command;
    static_cast<void>(observer.observe([&] {
      more = static_cast<bool>(std::getline(std::cin, command)) && command != "quit";
      return ondrel::HidResult{};
    }));
    if (more) print_line(json_seen(observer.seen));
  }
  return 0;
}
