#ifdef _WIN32

#include "platform/windows/send_input.h"

namespace ondrel::win32 {

unsigned platform_send_input(const Input& input) {
  Input copy = input;  // SendInput takes a non-const pointer
  return ::SendInput(1, &copy, sizeof(Input));
}

}  // namespace ondrel::win32

#endif
