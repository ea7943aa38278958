#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devices/device_backend.h"

namespace ondrel::testing {

using Bytes = std::vector<std::uint8_t>;

struct SentReport {
  Bytes bytes;
  std::chrono::steady_clock::time_point at;
};

// Hands each report to `on_report` and destroy() to `on_destroy`; either
// may be left empty.
struct CallbackBackend final : DeviceBackend {
  using OnReport = std::function<HidResult(std::span<const std::uint8_t>)>;
  using OnDestroy = std::function<HidResult()>;
  CallbackBackend(OnReport report, OnDestroy destroy) : on_report(std::move(report)), on_destroy(std::move(destroy)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override {
    return on_report ? on_report(report) : HidResult::success();
  }
  HidResult destroy() override { return on_destroy ? on_destroy() : HidResult::success(); }

  OnReport on_report;
  OnDestroy on_destroy;
};

inline BackendFactory callback_factory(CallbackBackend::OnReport on_report,
                                       CallbackBackend::OnDestroy on_destroy = {}) {
  return [=](const std::string&, std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<CallbackBackend>(on_report, on_destroy);
    return HidResult::success();
  };
}

// What every back end made by one recording_factory shares with the test.
struct BackendLog {
  std::vector<SentReport> reports;
  int sends = 0;
  int fail_on_send = 0;  // 1-based: the send to refuse (counting refused ones); 0: none
  bool fail_create = false;
  int backends_created = 0;
  int destroy_calls = 0;

  [[nodiscard]] std::vector<Bytes> sent() const {
    std::vector<Bytes> out;
    for (const SentReport& report : reports) out.push_back(report.bytes);
    return out;
  }
};

// Back ends that keep every report, with the time it was sent, in `log`.
inline BackendFactory recording_factory(const std::shared_ptr<BackendLog>& log) {
  return [log](const std::string&, std::unique_ptr<DeviceBackend>& out) -> HidResult {
    if (log->fail_create) return HidError::create_failed("refused by test");
    ++log->backends_created;
    out = std::make_unique<CallbackBackend>(
        [log](std::span<const std::uint8_t> report) -> HidResult {
          if (++log->sends == log->fail_on_send) return HidError::send_failed("SendInput failed");
          log->reports.push_back({{report.begin(), report.end()}, std::chrono::steady_clock::now()});
          return HidResult::success();
        },
        [log] {
          ++log->destroy_calls;
          return HidResult::success();
        });
    return HidResult::success();
  };
}

// A device of type D, created, whose reports are kept in `log`.
template <class D>
class RecordedDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(device.create().ok()); }
  [[nodiscard]] std::vector<Bytes> sent() const { return log->sent(); }

  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  D device{recording_factory(log)};
};

inline double milliseconds_between(const SentReport& first, const SentReport& second) {
  return std::chrono::duration<double, std::milli>(second.at - first.at).count();
}

}  // namespace ondrel::testing
