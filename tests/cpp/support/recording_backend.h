#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "devices/device_backend.h"

namespace ondrel::testing {

struct SentReport {
  std::vector<std::uint8_t> bytes;
  std::chrono::steady_clock::time_point at;
};

// What every back end made by one RecordingFactory shares with the test.
struct BackendLog {
  std::vector<SentReport> reports;
  int backends_created = 0;
  int destroy_calls = 0;
  int fail_on_report = 0;  // 1-based index of the send to refuse; 0: none
  bool fail_create = false;
};

class RecordingBackend final : public DeviceBackend {
 public:
  explicit RecordingBackend(std::shared_ptr<BackendLog> log) : log_(std::move(log)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override {
    const int index = static_cast<int>(log_->reports.size()) + 1 + refused_;
    if (index == log_->fail_on_report) {
      ++refused_;
      return HidError::send_failed("SendInput failed");
    }
    log_->reports.push_back({{report.begin(), report.end()}, std::chrono::steady_clock::now()});
    return HidResult::success();
  }

  HidResult destroy() override {
    ++log_->destroy_calls;
    return HidResult::success();
  }

 private:
  std::shared_ptr<BackendLog> log_;
  int refused_ = 0;
};

inline BackendFactory recording_factory(const std::shared_ptr<BackendLog>& log) {
  return [log](std::unique_ptr<DeviceBackend>& out) -> HidResult {
    if (log->fail_create) return HidError::create_failed("refused by test");
    ++log->backends_created;
    out = std::make_unique<RecordingBackend>(log);
    return HidResult::success();
  };
}

inline double milliseconds_between(const SentReport& first, const SentReport& second) {
  return std::chrono::duration<double, std::milli>(second.at - first.at).count();
}

}  // namespace ondrel::testing
