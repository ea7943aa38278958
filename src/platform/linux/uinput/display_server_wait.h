#pragma once

#include <chrono>
#include <string>

namespace ondrel::linux::uinput {

// How long a new device waits for the display servers to open it. Passing it
// is no failure: the device works, and only what was written before a late
// server opened it is lost to that server.
inline constexpr std::chrono::seconds kDisplayServerPatience{2};

// Returns once every display server that reads input devices (see
// display_servers.h) has either taken the new evdev node `node` for reading
// or opened it and let go (libinput ignores a gamepad), or after
// kDisplayServerPatience; at once where no such server runs (a console, a
// container, Xvfb). Call it after udev is done with the device: a server
// opens the node only once udev has announced it.
//
// udev's own opens (its rules may open the node) never end the wait early:
// its workers are no display servers, and the closes counted are those after
// udev wrote its record, when its rules are done. Only a RUN program that
// opens the node (udev runs those after writing the record; Debian's rules
// run one for touchpads alone) could pass for a server that let go. Sleeps
// between looks.
void await_display_servers(const std::string& node);

}  // namespace ondrel::linux::uinput
