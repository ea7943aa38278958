#include "support/terminal_program.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

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

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

// The follower side is opened here, as the test's user: another user may not
// open it.
TerminalProgram::TerminalProgram(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                                 std::optional<uid_t> user) {
  terminal_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal_ < 0 || grantpt(terminal_) != 0 || unlockpt(terminal_) != 0) return;
  const int output = open(ptsname(terminal_), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (output < 0) return;
  std::vector<std::string> arguments = command;
  std::vector<std::string> added = environment;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    for (std::string& variable : added) putenv(variable.data());
    if (user && (setgroups(0, nullptr) != 0 || setgid(*user) != 0 || setuid(*user) != 0)) _exit(126);
    execv(arguments[0].c_str(), pointers_to(arguments).data());
    _exit(127);
  }
  close(output);
}

TerminalProgram::~TerminalProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        break;
      }
      usleep(10'000);
    }
  }
  if (terminal_ >= 0) close(terminal_);
}

std::optional<std::string> TerminalProgram::next_line(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = without_colours(pending_.substr(0, end));
      pending_.erase(0, end + 1);
      transcript_ += line + "\n";
      return line;
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

std::optional<std::string> TerminalProgram::next_line_with(const std::string& needle,
                                                           std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::optional<std::string> line = next_line(deadline))
    if (line->find(needle) != std::string::npos) return line;
  return std::nullopt;
}

std::vector<std::string> TerminalProgram::lines_until_quiet(std::chrono::milliseconds quiet,
                                                            std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::vector<std::string> lines;
  while (std::optional<std::string> line = next_line(std::min(end, std::chrono::steady_clock::now() + quiet)))
    lines.push_back(std::move(*line));
  return lines;
}

}  // namespace ondrel::testing
