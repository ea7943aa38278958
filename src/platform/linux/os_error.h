#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace ondrel::linux {

// "<what> failed: <errno's text>", for a call that has just failed.
inline std::string os_error(const std::string& what) {
  return what + " failed: " + std::generic_category().message(errno);
}

}  // namespace ondrel::linux
