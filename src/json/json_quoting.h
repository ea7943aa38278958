#pragma once

#include <string>
#include <string_view>

namespace ondrel {

// Appends `text` as a JSON string: quotes, backslashes and control
// characters escaped, everything else (the UTF-8 of any character, slash and
// DEL included) as it is.
void append_json_string(std::string& out, std::string_view text);

}  // namespace ondrel
