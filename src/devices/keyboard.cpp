#include "devices/keyboard.h"

#include <algorithm>

#include "devices/pause.h"

namespace ondrel {
namespace {

std::ptrdiff_t copies(const KeyboardReport& report, std::uint8_t usage) {
  return std::count(report.keys.begin(), report.keys.end(), usage);
}

// After a failure: modifier bits and keys the operation put down come out
// (a key stored once more than it was before loses the slot it took), and
// what the operation let go of stays up.
void withdraw(KeyboardReport& report, const KeyboardReport& before) {
  report.modifiers &= before.modifiers;
  for (std::size_t slot = 0; slot < report.keys.size(); ++slot) {
    const std::uint8_t usage = report.keys[slot];
    if (usage != 0 && usage != before.keys[slot] && copies(report, usage) > copies(before, usage))
      report.keys[slot] = 0;
  }
}

}  // namespace

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
  return attempt([&] { return press_key(usage); }, withdraw);
}

HidResult KeyboardDevice::press_key(std::uint8_t usage) {
  store_key(usage);
  ONDREL_TRY(send());
  pause_ms(kKeyHoldMs);
  clear_key(usage);
  return send();
}

HidResult KeyboardDevice::key_down(std::uint8_t usage) {
  return attempt(
      [&] {
        store_key(usage);
        return send();
      },
      withdraw);
}

HidResult KeyboardDevice::key_up(std::uint8_t usage) {
  return attempt(
      [&] {
        clear_key(usage);
        return send();
      },
      withdraw);
}

HidResult KeyboardDevice::combo(std::uint8_t modifiers, std::uint8_t usage) {
  return attempt(
      [&]() -> HidResult {
        ONDREL_TRY(send_modifiers(report().modifiers | modifiers));
        ONDREL_TRY(press_key(usage));
        return send_modifiers(report().modifiers & ~modifiers);
      },
      withdraw);
}

HidResult KeyboardDevice::type_key(TypedKey key) {
  if (!key.shifted) return press_key(key.usage);
  ONDREL_TRY(send_modifiers(report().modifiers | modifier_bit::left_shift));
  ONDREL_TRY(press_key(key.usage));
  return send_modifiers(report().modifiers & ~modifier_bit::left_shift);
}

HidResult KeyboardDevice::type_text(std::string_view text) {
  return attempt([&] { return type_characters(text); }, withdraw);
}

HidResult KeyboardDevice::type_characters(std::string_view text) {
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
  return attempt(
      [&] {
        mutable_report() = KeyboardReport{};
        return send();
      },
      withdraw);
}

}  // namespace ondrel
