#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devices/hid_result.h"
#include "platform/input_sink.h"
#include "platform/windows/input_record.h"

namespace ondrel::testing {

// A SendInput stand-in for back-end tests: keeps every record in a readable
// form ("left down", "VK 0x41 up") and can refuse the n-th call.
struct RecordedInputs {
  std::vector<std::string> events;
  std::vector<std::chrono::steady_clock::time_point> times;
  int calls = 0;
  int fail_on_call = 0;  // 1-based; 0: none
};

RecordedInputs& recorded_inputs();
void reset_recorded_inputs();
unsigned recording_send_input(const windows::Input& input);

// A sink that hands the record of every change to recording_send_input; a
// refused call fails as user32's sink fails it.
struct RecordingSink final : InputSink {
  HidResult apply(const InputChange& change) override {
    const std::optional<windows::Input> record = windows::record_for(change);
    if (!record || recording_send_input(*record) == 0) return HidError::send_failed("SendInput failed");
    return HidResult::success();
  }
};

// A back end of type B on the recording SendInput, with nothing recorded yet.
template <class B>
class RecordedBackendTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_recorded_inputs(); }
  HidResult send(std::vector<std::uint8_t> report) { return backend.send_report(report); }
  static const std::vector<std::string>& events() { return recorded_inputs().events; }

  B backend{std::make_unique<RecordingSink>()};
};

}  // namespace ondrel::testing
