#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "devices/device_backend.h"
#include "devices/hid_result.h"
#include "devices/stop_request.h"

namespace ondrel {

// What every device shares: a name, a report, at most one back end and the
// factory that create() installs it from.
//
// Every operation runs through attempt(): a failed operation must leave
// nothing behind, or the next one would inject what this one left (a key
// still down, a button whose press was lost, motion sent twice). So on
// failure the device takes out of its report what the operation put there
// (the device's `withdraw`) and sends the report once more, which lets the
// system go of whatever the operation got pressed before it failed.
template <class Report>
class Device {
  static_assert(std::is_trivially_copyable_v<Report>);

 public:
  Device(std::string name, BackendFactory factory, Report initial = {})
      : name_(std::move(name)), factory_(std::move(factory)), report_(initial) {}

  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  Device(Device&&) = default;
  Device& operator=(Device&&) = default;

  HidResult create() {
    if (backend_) return HidError::device_already_exists();
    std::unique_ptr<DeviceBackend> backend;
    ONDREL_TRY(factory_(name_, backend));
    backend_ = std::move(backend);
    return HidResult::success();
  }

  HidResult destroy() {
    std::unique_ptr<DeviceBackend> backend = std::move(backend_);
    if (!backend) return HidError::device_not_created();
    return backend->destroy();
  }

  [[nodiscard]] bool created() const { return backend_ != nullptr; }
  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const Report& report() const { return report_; }

 protected:
  Report& mutable_report() { return report_; }

  // Runs `operation`; if it fails, withdraw(report, before) takes out of the
  // report what the operation put there, and the report goes out once more.
  // A failure of that send does not replace the operation's own error.
  template <class Operation, class Withdraw>
  HidResult attempt(Operation&& operation, Withdraw&& withdraw) {
    const Report before = report_;
    HidResult result = operation();
    if (!result.ok()) {
      withdraw(report_, before);
      if (backend_) (void)send_now();
    }
    return result;
  }

  // Hands the whole current report to the back end, unless the caller has
  // asked to stop: between two reports is where a long operation stops.
  HidResult send() {
    if (!backend_) return HidError::device_not_created();
    if (stop_requested()) return HidError::interrupted();
    return send_now();
  }

 private:
  HidResult send_now() {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&report_);
    return backend_->send_report(std::span<const std::uint8_t>(bytes, sizeof(Report)));
  }

  std::string name_;
  BackendFactory factory_;
  std::unique_ptr<DeviceBackend> backend_;
  Report report_;
};

}  // namespace ondrel
