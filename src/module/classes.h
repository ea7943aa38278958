#pragma once

#include "module/py_class.h"

namespace ondrel::py {

// The module's classes, each defined in its own file.
PyClass& mouse_class();
PyClass& keyboard_class();
PyClass& gamepad_class();
PyClass& agent_hid_class();

}  // namespace ondrel::py
