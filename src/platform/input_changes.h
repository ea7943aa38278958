#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "platform/windows/input_record.h"

namespace ondrel {

// What one Windows INPUT record does, decoded once so that each system's
// sink only encodes it in its own terms.

enum class PointerButton : std::uint8_t { left, right, middle };

struct ButtonChange {
  PointerButton button;
  bool down;
  bool operator==(const ButtonChange&) const = default;
};

// A mouse record, in the order Windows plays it: motion, buttons in the
// order of their flag bits, then the wheel.
struct PointerChanges {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::vector<ButtonChange> buttons;
  std::int32_t wheel = 0;  // in 120ths of a notch (WHEEL_DELTA), positive away from the user
  bool operator==(const PointerChanges&) const = default;
};

// A keyboard record: one key of ours, named by the Linux input code of the
// same physical key, goes down or up.
struct KeyChange {
  std::uint16_t linux_key;
  bool down;
  bool operator==(const KeyChange&) const = default;
};

using InputChanges = std::variant<PointerChanges, KeyChange>;

// nullopt for a record that only Windows could play: another type, a flag
// other than relative motion, the three buttons and the vertical wheel (or
// the extended-key and key-up flags), or a virtual key that is not ours.
std::optional<InputChanges> decode_record(const win32::Input& input);

}  // namespace ondrel
