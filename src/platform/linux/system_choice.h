#pragma once

#include <string>

#include "devices/outcome.h"

namespace ondrel::linux {

enum class System { x11, uinput };

// The input system the user's environment selects, before anything is
// opened: ONDREL_INPUT when set (x11 or uinput); else uinput under Wayland
// when this process may use it; else X when DISPLAY is set; else uinput.
// Never another system after a timeout or a refusal, so that all devices of
// a program land on one system.
class SystemChoice {
 public:
  // The choice, or the text saying that ONDREL_INPUT holds neither name.
  static Expected<SystemChoice> from_environment();

  [[nodiscard]] System system() const { return system_; }
  // What PlatformNotSupported says when the chosen system cannot be opened
  // for the reason `why` (a short clause): what was looked for and what the
  // user can do.
  [[nodiscard]] std::string refusal(const std::string& why) const;

 private:
  enum class Because { forced, wayland, display, nothing_set };
  SystemChoice(System system, Because because, std::string display)
      : system_(system), because_(because), display_(std::move(display)) {}

  System system_;
  Because because_;
  std::string display_;
};

}  // namespace ondrel::linux
