#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ondrel::linux::uinput {

// The processes, other than this one, that serve a display (listen on a
// Wayland or X socket) and read input devices: they listen to the kernel's
// or udev's device announcements (libinput's udev monitor), or hold an evdev
// node open. Such a server opens every new input device as soon as udev
// announces it, and sees only what is written after it did.
//
// Only processes whose descriptors this one may read are found (its own
// user's, or all of them for root); a container sees only its own. Xvfb and
// Xwayland read no input devices and are not among them.
std::vector<pid_t> display_servers_reading_input(const std::string& proc = "/proc");

// Whether `pid` has taken the evdev node `node` for reading: it holds the node
// open and, if it waits on epoll at all, one of its epoll sets watches that
// descriptor. libinput empties a device's queue after it opens it and adds
// the descriptor to its epoll set only afterwards, so an open alone is too
// early to write to it.
bool has_taken(pid_t pid, const std::string& node, const std::string& proc = "/proc");

}  // namespace ondrel::linux::uinput
