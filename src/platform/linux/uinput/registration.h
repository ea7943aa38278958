#pragma once

#include <chrono>
#include <string>

#include "devices/outcome.h"

namespace ondrel::linux::uinput {

inline constexpr std::chrono::seconds kRegistrationTimeout{5};

// Waits until readers can find the device just created on `uinput_fd`: its
// evdev node listed in /sys and present in /dev/input and, where udev runs,
// udev done with it (permissions, links, announcement). A reader that looks
// before then misses the device and its first events. `created_at` is a time
// taken before UI_DEV_CREATE: what udev recorded before it belongs to an
// earlier device that had the same number. Sleeps between looks; fails with
// the reason after kRegistrationTimeout.
// Without sysfs there is nothing to watch, and it returns at once; a /dev
// that has not shown the node a moment after sysfs listed it (a container's)
// is not waited for.
// The evdev node's path once readers can find it; empty where there is no
// node to find.
Expected<std::string> await_registration(int uinput_fd, std::chrono::steady_clock::time_point created_at);

}  // namespace ondrel::linux::uinput
