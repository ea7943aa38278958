#include "platform/linux/uinput/display_server_wait.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <vector>

#include "platform/linux/uinput/display_servers.h"
#include "platform/linux/unique_fd.h"

namespace ondrel::linux::uinput {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kFirstLook{1};
constexpr std::chrono::milliseconds kLongestLook{8};

// Closes of the node since the watch began; each is a reader that looked and
// let go. (A descriptor passed on, as seatd and logind pass theirs to the
// compositor, closes once, when its last holder closes it.)
class CloseCount {
 public:
  explicit CloseCount(const std::string& node)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
        watching_(fd_.is_open() && inotify_add_watch(fd_.get(), node.c_str(), IN_CLOSE) >= 0) {}

  // Waits up to `wait` for a close (or sleeps, without a watch) and counts
  // what arrived.
  std::size_t wait_and_count(Clock::duration wait) {
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    pollfd ready{fd_.get(), POLLIN, 0};
    if (!watching_ || poll(&ready, 1, static_cast<int>(milliseconds)) <= 0) {
      if (!watching_) usleep(static_cast<useconds_t>(milliseconds * 1000));
      return closes_;
    }
    alignas(inotify_event) std::array<char, 4096> buffer{};
    ssize_t length = 0;
    while ((length = read(fd_.get(), buffer.data(), buffer.size())) > 0) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        if ((event->mask & IN_CLOSE) != 0) ++closes_;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return closes_;
  }

 private:
  UniqueFd fd_;
  bool watching_;
  std::size_t closes_ = 0;
};

bool alive(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

void await_display_servers(const std::string& node) {
  CloseCount closes(node);  // before the servers are looked at, so that no close is missed
  std::vector<pid_t> servers = display_servers_reading_input();
  const auto deadline = Clock::now() + kDisplayServerPatience;
  std::size_t closed = 0;
  Clock::duration next_look = kFirstLook;
  for (;;) {
    std::erase_if(servers, [](pid_t pid) { return !alive(pid); });
    if (servers.empty() || closed >= servers.size()) return;
    if (std::any_of(servers.begin(), servers.end(), [&](pid_t pid) { return has_taken(pid, node); })) return;
    const auto now = Clock::now();
    if (now >= deadline) return;  // the device works; a late server misses only what came before it
    closed = closes.wait_and_count(std::min(next_look, deadline - now));
    next_look = std::min<Clock::duration>(next_look * 2, kLongestLook);
  }
}

}  // namespace ondrel::linux::uinput
