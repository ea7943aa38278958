#ifndef _WIN32

#include "platform/recorder/recorder_journal.h"
#include "platform/windows/send_input.h"

namespace ondrel::win32 {

unsigned platform_send_input(const Input& input) { return recorder::accept_input(input) ? 1 : 0; }

}  // namespace ondrel::win32

#endif
