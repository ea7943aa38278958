#pragma once

#include "devices/device_backend.h"

namespace ondrel::recorder {

// Lets tests drive a gamepad where no gamepad driver exists: every report
// joins the recorder's journal.
class GamepadBackend final : public DeviceBackend {
 public:
  HidResult send_report(std::span<const std::uint8_t> report) override;
  HidResult destroy() override { return HidResult::success(); }
};

}  // namespace ondrel::recorder
