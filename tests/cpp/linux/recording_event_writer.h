#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "linux/evdev_text.h"
#include "platform/linux/os_error.h"
#include "platform/linux/uinput/event_writer.h"

namespace ondrel::testing {

// What a RecordingEventWriter saw; outlives the writer, so that a test can
// see the writer released.
struct EventWriterLog {
  std::vector<std::vector<std::string>> batches;  // written batches, as texts
  int writes = 0;
  int refuse_write = 0;  // the n-th write (1 = first) is refused, with ENODEV
  bool released = false;
};

class RecordingEventWriter final : public linux::uinput::EventWriter {
 public:
  explicit RecordingEventWriter(std::shared_ptr<EventWriterLog> log) : log_(std::move(log)) {}
  ~RecordingEventWriter() override { log_->released = true; }

  Outcome write(std::span<const input_event> events) override {
    if (++log_->writes == log_->refuse_write) {
      errno = ENODEV;  // as a device that has gone away refuses
      return Outcome::failure(linux::os_error("uinput write"));
    }
    log_->batches.push_back(describe(events));
    return Outcome::success();
  }

 private:
  std::shared_ptr<EventWriterLog> log_;
};

}  // namespace ondrel::testing
