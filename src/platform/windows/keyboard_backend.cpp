#include "platform/windows/keyboard_backend.h"

#include "devices/keyboard_report.h"
#include "devices/pause.h"
#include "platform/key_codes.h"

namespace ondrel {

HidResult WindowsKeyboardBackend::inject(std::uint16_t virtual_key, std::uint32_t flags) {
  return win32::inject(*sink_, win32::keyboard_input(virtual_key, flags));
}

HidResult WindowsKeyboardBackend::inject_modifiers(std::uint8_t modifiers, std::uint32_t flags) {
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes) {
    if ((modifiers & modifier.bit) != 0) ONDREL_TRY(inject(modifier.virtual_key, flags));
  }
  return HidResult::success();
}

HidResult WindowsKeyboardBackend::tap_key(std::uint8_t usage) {
  const KeyCodes* key = key_codes_for_usage(usage);
  if (key == nullptr) return HidResult::success();
  const std::uint32_t extended = key->extended ? win32::key_flag::extended_key : 0;
  ONDREL_TRY(inject(key->virtual_key, extended));
  pause_ms(kKeyHoldMs);
  return inject(key->virtual_key, extended | win32::key_flag::key_up);
}

HidResult WindowsKeyboardBackend::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < sizeof(KeyboardReport)) return HidError::send_failed("Invalid keyboard report");
  const std::uint8_t modifiers = report[0];
  // Byte 1 is reserved and never read.
  ONDREL_TRY(inject_modifiers(modifiers, 0));
  for (const std::uint8_t usage : report.subspan(2, KeyboardReport::kKeySlots)) ONDREL_TRY(tap_key(usage));
  // Released in the order they were pressed, not the reverse.
  return inject_modifiers(modifiers, win32::key_flag::key_up);
}

}  // namespace ondrel
