#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ondrel::testing {

// A table name as written, in upper case, and with every other letter upper
// case from the first ("EnTeR"): lookups must not care which.
inline std::vector<std::string> spellings(std::string_view name) {
  std::string upper(name);
  std::string mixed(name);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    if (upper[i] < 'a' || upper[i] > 'z') continue;
    upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
    if (i % 2 == 0) mixed[i] = upper[i];
  }
  return {std::string(name), upper, mixed};
}

}  // namespace ondrel::testing
