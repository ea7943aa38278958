#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "devices/hid_result.h"

namespace ondrel {

// What a device hands its reports to. A back end may keep state between
// reports; releasing it without destroy() sends nothing.
class DeviceBackend {
 public:
  virtual ~DeviceBackend() = default;
  // Reads `report` during the call only.
  virtual HidResult send_report(std::span<const std::uint8_t> report) = 0;
  // Called once, just before the back end is released.
  virtual HidResult destroy() = 0;
};

// What a device's create() calls with the device's name: installs a new back
// end into `out`, or fails and leaves `out` empty.
using BackendFactory = std::function<HidResult(const std::string& device_name, std::unique_ptr<DeviceBackend>& out)>;

}  // namespace ondrel
