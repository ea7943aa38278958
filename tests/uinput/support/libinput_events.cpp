#include "support/libinput_events.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>

namespace ondrel::testing {
namespace {

// Drops ANSI colour sequences (ESC [ ... m), which libinput writes to a terminal.
std::string without_colours(const std::string& line) {
  std::string plain;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\x1b') {
      while (i < line.size() && line[i] != 'm') ++i;
      continue;
    }
    if (line[i] != '\r') plain += line[i];
  }
  return plain;
}

}  // namespace

LibinputEvents::LibinputEvents() {
  terminal_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal_ < 0 || grantpt(terminal_) != 0 || unlockpt(terminal_) != 0) return;
  const std::string follower = ptsname(terminal_);
  pid_ = fork();
  if (pid_ == 0) {
    const int output = open(follower.c_str(), O_RDWR);
    if (output < 0) _exit(127);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    execl("/usr/bin/libinput", "libinput", "debug-events", "--udev", "seat0", static_cast<char*>(nullptr));
    _exit(127);
  }
}

LibinputEvents::~LibinputEvents() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (terminal_ >= 0) close(terminal_);
}

std::optional<std::string> LibinputEvents::next_line(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return without_colours(line);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd ready{terminal_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
    std::array<char, 4096> chunk{};
    const ssize_t bytes = read(terminal_, chunk.data(), chunk.size());
    if (bytes <= 0) return std::nullopt;
    pending_.append(chunk.data(), static_cast<std::size_t>(bytes));
  }
}

std::optional<std::string> LibinputEvents::next_line_with(const std::string& needle,
                                                          std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::optional<std::string> line = next_line(deadline))
    if (line->find(needle) != std::string::npos) return line;
  return std::nullopt;
}

std::string udev_properties(const std::string& node) {
  const std::string command = "SYSTEMD_IGNORE_CHROOT=1 udevadm info --query=property --name=" + node;
  const std::unique_ptr<FILE, int (*)(FILE*)> output(popen(command.c_str(), "r"), pclose);
  std::string text;
  if (!output) return text;
  std::array<char, 1024> chunk{};
  while (const std::size_t bytes = fread(chunk.data(), 1, chunk.size(), output.get())) text.append(chunk.data(), bytes);
  return text;
}

}  // namespace ondrel::testing
