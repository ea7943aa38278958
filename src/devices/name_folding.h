#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// Lower-cases a caller's name for lookup in one of the name tables, whose
// entries are all ASCII. Full Unicode lower-casing maps exactly two
// non-ASCII characters to text made only of ASCII-or-combining parts:
// U+212A KELVIN SIGN to "k", and U+0130 to "i" plus U+0307, which keeps a
// non-ASCII part. So for these tables full lower-casing equals lower-casing
// A to Z plus the Kelvin sign, and any other non-ASCII character makes the
// name unmatchable. Returns nothing for such names; no locale is involved.
std::optional<std::string> fold_table_name(std::string_view name);

}  // namespace ondrel
