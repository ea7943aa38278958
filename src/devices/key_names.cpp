#include "devices/key_names.h"

#include <string>

#include "devices/name_folding.h"

namespace ondrel {

HidResult parse_key(std::string_view name, std::uint8_t& usage) {
  if (const auto folded = fold_table_name(name)) {
    for (const KeyName& key : kKeyNames) {
      if (key.name == *folded) {
        usage = key.usage;
        return HidResult::success();
      }
    }
  }
  return HidError::invalid_key(std::string(name));
}

}  // namespace ondrel
