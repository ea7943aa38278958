#include "platform/linux/x11/display_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>

#include "platform/linux/x11/host_lookup.h"

namespace ondrel::linux::x11 {
namespace {

constexpr int kFirstTcpPort = 6000;
// A full listen queue refuses a non-blocking local connect at once (EAGAIN)
// instead of queueing it, so the connect is tried again this often.
constexpr std::chrono::milliseconds kFullQueueRetry{10};

enum class Attempt { connected, refused, try_again, no_answer, unresolved };

std::string this_machine_name() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// 1. Local: the abstract name first, then the file, as libxcb does.
Attempt connect_local_once(const std::string& path, bool abstract, UniqueFd& out) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a NUL byte
  if (path.size() + offset >= sizeof(address.sun_path)) return Attempt::refused;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.is_open()) return Attempt::refused;
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    out = std::move(fd);
    return Attempt::connected;
  }
  if (errno != EAGAIN && errno != EINTR) return Attempt::refused;
  return Attempt::try_again;  // the listen queue is full
}

Attempt connect_local(int number, Deadline deadline, UniqueFd& out) {
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
  for (;;) {
    bool queue_full = false;
    for (const bool abstract : {true, false}) {
      const Attempt attempt = connect_local_once(path, abstract, out);
      if (attempt == Attempt::connected) return attempt;
      if (attempt == Attempt::try_again) {
        queue_full = true;
        break;
      }
    }
    if (!queue_full) return Attempt::refused;
    if (std::chrono::steady_clock::now() + kFullQueueRetry >= deadline) return Attempt::no_answer;
    std::this_thread::sleep_for(kFullQueueRetry);
  }
}

// 2. TCP: each address in turn, each connect waited for until the deadline.
bool connected_before(int fd, Deadline deadline, bool& timed_out) {
  pollfd ready{fd, POLLOUT, 0};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      return false;
    }
    const int result = poll(&ready, 1, static_cast<int>(left.count()));
    if (result > 0) break;
    if (result < 0 && errno != EINTR) return false;
  }
  int error = 0;
  socklen_t size = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

Attempt connect_address(const addrinfo& address, Deadline deadline, UniqueFd& out) {
  UniqueFd fd(socket(address.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.is_open()) return Attempt::refused;
  const int no_delay = 1;  // requests are small and waited for, as libxcb sets it
  setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof no_delay);
  if (connect(fd.get(), address.ai_addr, address.ai_addrlen) != 0) {
    bool timed_out = false;
    if (errno != EINPROGRESS || !connected_before(fd.get(), deadline, timed_out))
      return timed_out ? Attempt::no_answer : Attempt::refused;
  }
  out = std::move(fd);
  return Attempt::connected;
}

// libxcb files a loopback peer's cookie under this machine's name, as a
// local one.
AuthorityAddress authority_of_peer(const sockaddr* peer) {
  if (peer->sa_family == AF_INET) {
    const in_addr& ip = reinterpret_cast<const sockaddr_in*>(peer)->sin_addr;
    if (ip.s_addr == htonl(INADDR_LOOPBACK)) return {kFamilyLocal, this_machine_name()};
    return {kFamilyInternet, std::string(reinterpret_cast<const char*>(&ip), sizeof ip)};
  }
  const in6_addr& ip = reinterpret_cast<const sockaddr_in6*>(peer)->sin6_addr;
  if (IN6_IS_ADDR_LOOPBACK(&ip)) return {kFamilyLocal, this_machine_name()};
  if (IN6_IS_ADDR_V4MAPPED(&ip)) {
    const char* v4 = reinterpret_cast<const char*>(&ip) + 12;
    if (std::memcmp(v4, "\x7f\0\0\1", 4) == 0) return {kFamilyLocal, this_machine_name()};
    return {kFamilyInternet, std::string(v4, 4)};
  }
  return {kFamilyInternet6, std::string(reinterpret_cast<const char*>(&ip), sizeof ip)};
}

Attempt connect_tcp(const std::string& host, int number, Deadline deadline, DisplaySocket& out) {
  const HostAddresses found = look_up_host(host, std::to_string(kFirstTcpPort + number), deadline);
  if (found.outcome == LookupOutcome::timed_out) return Attempt::unresolved;
  if (found.outcome == LookupOutcome::not_found) return Attempt::refused;
  Attempt result = Attempt::refused;
  for (const addrinfo* address = found.list.get(); address != nullptr; address = address->ai_next) {
    if (address->ai_family != AF_INET && address->ai_family != AF_INET6) continue;
    result = connect_address(*address, deadline, out.fd);
    if (result == Attempt::connected) out.authority = authority_of_peer(address->ai_addr);
    if (result != Attempt::refused) break;
  }
  return result;
}

std::string why_attempt_failed(Attempt attempt, const std::string& display) {
  switch (attempt) {
    case Attempt::no_answer:
      return no_answer_text(display);
    case Attempt::unresolved:
      return "the host name of the display " + display + " did not resolve within " + patience_text();
    case Attempt::connected:
    case Attempt::try_again:
    case Attempt::refused:
      break;
  }
  return "the display " + display + " cannot be reached";
}

}  // namespace

std::string no_answer_text(const std::string& display) {
  return "the display " + display + " did not answer within " + patience_text();
}

Expected<DisplaySocket> connect_display_socket(const DisplayAddress& display, Deadline deadline) {
  DisplaySocket socket;
  Attempt attempt;
  if (display.host.empty() || display.host == "unix") {
    attempt = connect_local(display.number, deadline, socket.fd);
    socket.authority = {kFamilyLocal, this_machine_name()};
  } else {
    attempt = connect_tcp(display.host, display.number, deadline, socket);
  }
  if (attempt == Attempt::connected) return socket;
  return Outcome::failure(why_attempt_failed(attempt, display.name));
}

}  // namespace ondrel::linux::x11
