#include <gtest/gtest.h>

#include "devices/hid_error.h"

namespace ondrel {
namespace {

struct DisplayCase {
  HidError error;
  const char* text;
};

TEST(HidError, DisplayTextIsPrefixThenPayload) {
  const DisplayCase cases[] = {
      {HidError::device_not_created(), "Device not created"},
      {HidError::device_already_exists(), "Device already exists"},
      {HidError::create_failed("x"), "Failed to create device: x"},
      {HidError::send_failed("SendInput failed"), "Failed to send report: SendInput failed"},
      {HidError::platform_not_supported("Windows gamepad requires ViGEmBus driver"),
       "Platform not supported: Windows gamepad requires ViGEmBus driver"},
      {HidError::invalid_key("NoSuch"), "Invalid key: NoSuch"},
      {HidError::invalid_action("Unknown gamepad button: "), "Invalid action: Unknown gamepad button: "},
      {HidError::io("broken pipe"), "IO error: broken pipe"},
      {HidError::json("bad"), "JSON error: bad"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error.display(), c.text);
}

}  // namespace
}  // namespace ondrel
