#pragma once

#include "devices/hid_result.h"
#include "platform/windows/input_record.h"

namespace ondrel::win32 {

// Injects one INPUT record; returns the number of events inserted (0 is a
// failure). Back ends take this as a parameter so that tests can record.
using SendInputFn = unsigned (*)(const Input& input);

// user32's SendInput on Windows; elsewhere a stand-in that injects nothing
// and succeeds only while the test recorder is attached.
unsigned platform_send_input(const Input& input);

// One record through `send_input`; a refused injection is a SendFailed.
inline HidResult inject(SendInputFn send_input, const Input& input) {
  if (send_input(input) == 0) return HidError::send_failed("SendInput failed");
  return HidResult::success();
}

}  // namespace ondrel::win32
