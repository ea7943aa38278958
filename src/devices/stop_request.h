#pragma once

namespace ondrel {

// Whether whoever called the running operation wants it stopped (Ctrl-C).
// The check is the caller's: a module installs one for the duration of each
// call on the calling thread, so devices never learn about Python; without
// one nothing ever asks to stop.
using StopCheck = bool (*)();

[[nodiscard]] bool stop_requested();

// While alive, stop_requested() on this thread asks `check`.
class StopCheckScope {
 public:
  explicit StopCheckScope(StopCheck check);
  ~StopCheckScope();
  StopCheckScope(const StopCheckScope&) = delete;
  StopCheckScope& operator=(const StopCheckScope&) = delete;

 private:
  StopCheck previous_;
};

}  // namespace ondrel
