#pragma once

#include "devices/device_backend.h"

namespace ondrel {

// The back end each device kind gets from create() on this system.
BackendFactory platform_mouse_factory();
BackendFactory platform_keyboard_factory();
BackendFactory platform_gamepad_factory();

}  // namespace ondrel
