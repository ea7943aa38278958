#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ondrel::testing {

// A program running beside the test, its output read from a
// pseudo-terminal, where it comes line by line rather than when a pipe's
// buffer fills. The process ends with the object (SIGTERM, then SIGKILL
// if it has not ended a few seconds later).
class TerminalProgram {
 public:
  // `command` with its arguments; `environment` ("NAME=value") is added to
  // the test's own. With `user`, the program runs as that user and group.
  explicit TerminalProgram(const std::vector<std::string>& command, const std::vector<std::string>& environment = {},
                           std::optional<uid_t> user = std::nullopt);
  TerminalProgram(const TerminalProgram&) = delete;
  TerminalProgram& operator=(const TerminalProgram&) = delete;
  ~TerminalProgram();

  [[nodiscard]] bool started() const { return pid_ > 0; }
  // The next line (colours removed) that contains `needle`, skipping the
  // lines before it, or nothing by `timeout`.
  std::optional<std::string> next_line_with(const std::string& needle, std::chrono::milliseconds timeout);
  // Every line that comes within `quiet` of the one before, until `timeout`.
  std::vector<std::string> lines_until_quiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout);
  // Every line read so far, for a failure's message.
  [[nodiscard]] std::string transcript() const { return transcript_; }

 private:
  std::optional<std::string> next_line(std::chrono::steady_clock::time_point deadline);
  int terminal_ = -1;
  pid_t pid_ = -1;
  std::string pending_;
  std::string transcript_;
};

}  // namespace ondrel::testing
