#pragma once

#include <optional>
#include <string>

#include "devices/outcome.h"

#include "platform/linux/unique_fd.h"
#include "platform/linux/x11/authority.h"
#include "platform/linux/x11/readiness.h"

namespace ondrel::linux::x11 {

// Where a display's server listens, as DISPLAY names it: `host` empty or
// "unix" for this machine's socket, otherwise TCP port 6000 + number.
struct DisplayAddress {
  std::string name;  // DISPLAY as given, for messages
  std::string host;
  int number = 0;
};

// A connected socket to a display's server and where its cookie is filed.
struct DisplaySocket {
  UniqueFd fd;
  AuthorityAddress authority;
};

// Connects to the server by `deadline`, without ever blocking past it: a
// full listen queue, a silent name server and a peer that drops packets end
// there too. Otherwise a short clause ("the display :1 cannot be reached",
// "... did not answer within 2 s", "the host name of the display h:0 did
// not resolve within 2 s").
Expected<DisplaySocket> connect_display_socket(const DisplayAddress& display, Deadline deadline);

// The clause for a server that let the deadline's time pass.
std::string no_answer_text(const std::string& display);

}  // namespace ondrel::linux::x11
