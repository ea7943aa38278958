#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "devices/device_backend.h"
#include "devices/hid_result.h"

namespace ondrel {

// What every device shares: a name, a report, at most one back end and the
// factory that create() installs it from.
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

  // Hands the whole current report to the back end.
  HidResult send() {
    if (!backend_) return HidError::device_not_created();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&report_);
    return backend_->send_report(std::span<const std::uint8_t>(bytes, sizeof(Report)));
  }

 private:
  std::string name_;
  BackendFactory factory_;
  std::unique_ptr<DeviceBackend> backend_;
  Report report_;
};

}  // namespace ondrel
