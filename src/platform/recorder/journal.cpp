#include "platform/recorder/api.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

#include "platform/recorder/journal.h"

namespace ondrel::recorder {
namespace {

struct Recorder {
  std::mutex mutex;
  bool recording = false;
  bool gamepad = false;
  unsigned long calls_until_failure = 0;  // 0: no failure pending
  std::string journal;                    // comma-separated JSON objects
  std::string events;                     // last text handed out
};

Recorder& state() {
  static Recorder recorder;
  return recorder;
}

long long now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void append_field(std::string& out, const char* name, long long value) {
  out += ",\"";
  out += name;
  out += "\":";
  out += std::to_string(value);
}

void append_event(std::string& journal, const std::string& event) {
  if (!journal.empty()) journal += ',';
  journal += event;
}

std::string describe(const windows::Input& input) {
  std::string event;
  if (input.type == windows::kInputMouse) {
    event = "{\"type\":\"mouse\"";
    append_field(event, "dx", input.mi.dx);
    append_field(event, "dy", input.mi.dy);
    append_field(event, "mouseData", static_cast<std::int32_t>(input.mi.mouseData));
    append_field(event, "dwFlags", input.mi.dwFlags);
  } else {
    event = "{\"type\":\"keyboard\"";
    append_field(event, "wVk", input.ki.wVk);
    append_field(event, "wScan", input.ki.wScan);
    append_field(event, "dwFlags", input.ki.dwFlags);
  }
  append_field(event, "t_ns", now_ns());
  event += '}';
  return event;
}

// Counts one call down towards a pending failure; true when this call fails.
bool failure_due(Recorder& recorder) {
  if (recorder.calls_until_failure == 0) return false;
  return --recorder.calls_until_failure == 0;
}

}  // namespace

bool recording() {
  Recorder& recorder = state();
  std::lock_guard lock(recorder.mutex);
  return recorder.recording;
}

std::optional<unsigned> intercept(const windows::Input& input) {
  Recorder& recorder = state();
  std::lock_guard lock(recorder.mutex);
  if (failure_due(recorder)) return 0u;
  if (!recorder.recording) return std::nullopt;
  append_event(recorder.journal, describe(input));
  return 1u;
}

bool gamepad_enabled() {
  Recorder& recorder = state();
  std::lock_guard lock(recorder.mutex);
  return recorder.gamepad;
}

void record_gamepad_report(std::span<const std::uint8_t> report) {
  std::string event = "{\"type\":\"gamepad_report\",\"bytes\":[";
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (i != 0) event += ',';
    event += std::to_string(report[i]);
  }
  event += ']';
  append_field(event, "t_ns", now_ns());
  event += '}';
  Recorder& recorder = state();
  std::lock_guard lock(recorder.mutex);
  append_event(recorder.journal, event);
}

}  // namespace ondrel::recorder

using ondrel::recorder::state;

extern "C" {

void ondrel_recorder_start(void) {
  auto& recorder = state();
  std::lock_guard lock(recorder.mutex);
  recorder.journal.clear();
  recorder.recording = true;
}

void ondrel_recorder_stop(void) {
  auto& recorder = state();
  std::lock_guard lock(recorder.mutex);
  recorder.recording = false;
}

void ondrel_recorder_fail_call(unsigned long n) {
  auto& recorder = state();
  std::lock_guard lock(recorder.mutex);
  recorder.calls_until_failure = n;
}

const char* ondrel_recorder_events(void) {
  auto& recorder = state();
  std::lock_guard lock(recorder.mutex);
  recorder.events = "[" + recorder.journal + "]";
  return recorder.events.c_str();
}

void ondrel_recorder_gamepad(int on) {
  auto& recorder = state();
  std::lock_guard lock(recorder.mutex);
  recorder.gamepad = on != 0;
}

}  // extern "C"
