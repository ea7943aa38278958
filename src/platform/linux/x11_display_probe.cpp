#include "platform/linux/x11_display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/linux/x11_readiness.h"

namespace ondrel::x11 {
namespace {

// An owned socket descriptor.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The display number of a display on this machine, read the way libxcb
// reads it.
std::optional<int> local_display_number(const XcbLibrary& xcb, const std::string& display) {
  char* host = nullptr;
  int number = 0;
  int screen = 0;
  if (xcb.parse_display(display.c_str(), &host, &number, &screen) == 0) return std::nullopt;
  const bool local = host[0] == '\0' || std::strcmp(host, "unix") == 0;
  std::free(host);  // allocated by libxcb with malloc
  if (!local) return std::nullopt;
  return number;
}

// Connects to the server's socket as libxcb does: the abstract name first,
// then the file.
int connect_local(int display_number) {
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(display_number);
  for (const bool abstract : {true, false}) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a NUL byte
    if (path.size() + offset >= sizeof(address.sun_path)) return -1;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return fd;
    close(fd);
  }
  return -1;
}

// A connection request without authorisation: little-endian, protocol 11.0.
// Any server answers it at once, if only to refuse it.
constexpr std::array<unsigned char, 12> kConnectionRequest = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};

bool answers_within(const Socket& socket, std::chrono::milliseconds patience) {
  if (send(socket.fd(), kConnectionRequest.data(), kConnectionRequest.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(kConnectionRequest.size()))
    return true;  // a closed socket is an answer too, and xcb_connect will say so at once
  return readable_before(socket.fd(), std::chrono::steady_clock::now() + patience);
}

}  // namespace

bool display_is_silent(const XcbLibrary& xcb, const std::string& display, std::chrono::milliseconds patience) {
  const std::optional<int> number = local_display_number(xcb, display);
  if (!number) return false;
  const Socket socket(connect_local(*number));
  if (socket.fd() < 0) return false;  // nothing listens: xcb_connect fails at once
  return !answers_within(socket, patience);
}

}  // namespace ondrel::x11
