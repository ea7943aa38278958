#pragma once

#include <string>
#include <string_view>

#include "devices/outcome.h"

namespace ondrel::computer {

// The one rule for control characters, before any system sees a text:
// "\n", "\r\n" and a lone "\r" are each one Enter ("\n"), "\t" is Tab, and
// any other control character (C0, DEL, C1) is refused, named. Invalid
// UTF-8 is refused too. The answer is the text the system types.
Expected<std::string> typeable_text(std::string_view text);

}  // namespace ondrel::computer
