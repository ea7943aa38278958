#include "platform/linux/x11_sink.h"

#include <cstdlib>

namespace ondrel::x11 {

std::unique_ptr<InputSink> open_sink(std::string& why_not) {
  const char* display = std::getenv("DISPLAY");
  why_not = display == nullptr || *display == '\0' ? "DISPLAY is not set" : "X input is not available yet";
  return nullptr;
}

}  // namespace ondrel::x11
