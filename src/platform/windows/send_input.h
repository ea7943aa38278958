#pragma once

#include "platform/windows/input_record.h"

namespace ondrel::win32 {

// Injects one INPUT record; returns the number of events inserted (0 is a
// failure). Back ends take this as a parameter so that tests can record.
using SendInputFn = unsigned (*)(const Input& input);

// user32's SendInput on Windows; elsewhere a stand-in that injects nothing
// and succeeds only while the test recorder is attached.
unsigned platform_send_input(const Input& input);

}  // namespace ondrel::win32
