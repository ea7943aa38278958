#pragma once

#include <linux/input.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrel::testing {

// The evdev node of one input device, opened the way an application opens
// it, to see from outside what the device delivered.
class EvdevReader {
 public:
  // The node of the only input device named `name`, or nothing.
  static std::optional<std::string> node_named(const std::string& name);
  // Opens the node of the device named `name`; open() is false if there is
  // none.
  explicit EvdevReader(const std::string& name);
  EvdevReader(const EvdevReader&) = delete;
  EvdevReader& operator=(const EvdevReader&) = delete;
  ~EvdevReader();

  [[nodiscard]] bool open() const { return fd_ >= 0; }
  [[nodiscard]] const std::string& node() const { return node_; }

  // Every event delivered since the last call. Sending is synchronous, so
  // all of an operation's events are queued when it returns.
  std::vector<input_event> take_events();
  std::vector<std::string> take_texts();

  // What the device reports about itself (EVIOCGNAME, EVIOCGBIT, EVIOCGABS).
  std::string device_name() const;
  std::vector<std::uint16_t> codes(std::uint16_t type) const;
  std::vector<std::uint16_t> event_types() const;
  input_absinfo axis(std::uint16_t code) const;

 private:
  std::string node_;
  int fd_ = -1;
};

// The kernel's time from `first` to `second`, in microseconds.
inline std::int64_t microseconds_between(const input_event& first, const input_event& second) {
  return (static_cast<std::int64_t>(second.input_event_sec) - first.input_event_sec) * 1'000'000 +
         (static_cast<std::int64_t>(second.input_event_usec) - first.input_event_usec);
}

// How many file descriptors this process has open.
int open_descriptors();

}  // namespace ondrel::testing
