#pragma once

#include <optional>
#include <string>

#include "platform/linux/unique_fd.h"
#include "platform/linux/x11_authority.h"
#include "platform/linux/x11_readiness.h"

namespace ondrel::x11 {

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
// there too. nullopt with a short clause in `why_not` ("the display :1
// cannot be reached", "... did not answer within 2 s", "the host name of
// the display h:0 did not resolve within 2 s").
std::optional<DisplaySocket> connect_display_socket(const DisplayAddress& display, Deadline deadline,
                                                    std::string& why_not);

// The clause for a server that let `deadline`'s time pass.
std::string did_not_answer(const std::string& display);

}  // namespace ondrel::x11
