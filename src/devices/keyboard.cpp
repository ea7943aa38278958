#include "devices/keyboard.h"

#include <algorithm>

#include "devices/pause.h"

namespace ondrel {

// Into the first empty slot; with all six slots taken the key is dropped.
void KeyboardDevice::store_key(std::uint8_t usage) {
  auto& keys = mutable_report().keys;
  if (const auto slot = std::find(keys.begin(), keys.end(), 0); slot != keys.end()) *slot = usage;
}

// Only the first copy: a key stored twice stays down once.
void KeyboardDevice::clear_key(std::uint8_t usage) {
  auto& keys = mutable_report().keys;
  if (const auto slot = std::find(keys.begin(), keys.end(), usage); slot != keys.end()) *slot = 0;
}

HidResult KeyboardDevice::send_modifiers(std::uint8_t modifiers) {
  mutable_report().modifiers = modifiers;
  return send();
}

HidResult KeyboardDevice::press(std::uint8_t usage) {
  store_key(usage);
  ONDREL_TRY(send());
  pause_ms(kKeyHoldMs);
  clear_key(usage);
  return send();
}

HidResult KeyboardDevice::key_down(std::uint8_t usage) {
  store_key(usage);
  return send();
}

HidResult KeyboardDevice::key_up(std::uint8_t usage) {
  clear_key(usage);
  return send();
}

HidResult KeyboardDevice::combo(std::uint8_t modifiers, std::uint8_t usage) {
  ONDREL_TRY(send_modifiers(report().modifiers | modifiers));
  ONDREL_TRY(press(usage));
  return send_modifiers(report().modifiers & ~modifiers);
}

HidResult KeyboardDevice::type_key(TypedKey key) {
  if (!key.shifted) return press(key.usage);
  ONDREL_TRY(send_modifiers(report().modifiers | modifier_bit::left_shift));
  ONDREL_TRY(press(key.usage));
  return send_modifiers(report().modifiers & ~modifier_bit::left_shift);
}

HidResult KeyboardDevice::type_text(std::string_view text) {
  // In UTF-8 every byte of a multi-byte character is 0x80 or above, so the
  // bytes below 0x80 are exactly the text's ASCII characters, in order, and
  // only ASCII characters have keys. Reading bytes thus types what decoding
  // would, and malformed input can type nothing that is not literally in it.
  for (const char byte : text) {
    const auto key = typed_key(static_cast<unsigned char>(byte));
    if (!key) continue;
    ONDREL_TRY(type_key(*key));
    pause_ms(kAfterCharacterMs);
  }
  return HidResult::success();
}

HidResult KeyboardDevice::release_all() {
  mutable_report() = KeyboardReport{};
  return send();
}

}  // namespace ondrel
