#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "devices/gamepad.h"
#include "devices/mouse.h"
#include "linux/recording_event_writer.h"
#include "linux/scoped_environment.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/sink.h"
#include "platform/platform_backends.h"

namespace ondrel {
namespace {

using testing::EventWriterLog;
using testing::RecordingEventWriter;
using testing::ScopedEnvironment;

std::string failure(const HidResult& result) { return result.ok() ? "success" : result.error().display(); }

TEST(UinputSink, TakesAChangeOnlyWhenTheDeviceTookItsEvents) {
  auto log = std::make_shared<EventWriterLog>();
  log->refuse_write = 2;
  linux::uinput::Sink sink(InputDeviceKind::mouse, std::make_unique<RecordingEventWriter>(log));
  const ButtonChange left_down{PointerButton::left, true};
  EXPECT_EQ(failure(sink.apply(left_down)), "success");
  EXPECT_EQ(failure(sink.apply(left_down)), "Failed to send report: uinput write failed: No such device");
  EXPECT_EQ(failure(sink.apply(KeyChange{0x04, true})),  // not a mouse's: never written
            "Failed to send report: the uinput device cannot play this record");
  EXPECT_EQ(log->writes, 2);
  EXPECT_EQ(log->batches, (std::vector<std::vector<std::string>>{{"BTN_LEFT 1", "SYN_REPORT"}}));
}

TEST(UinputUnavailable, CreationNamesWhatIsMissing) {
  if (linux::uinput::available()) GTEST_SKIP() << "this machine has a writable /dev/uinput";
  GamepadDevice pad(platform_gamepad_factory());
  const HidResult pad_created = pad.create();
  ASSERT_FALSE(pad_created.ok());
  EXPECT_EQ(pad_created.error().display(),
            "Platform not supported: the Linux gamepad needs a writable /dev/uinput (load the uinput module and "
            "grant write access, e.g. with a udev rule)");

  const ScopedEnvironment forced("ONDREL_INPUT", "uinput");
  MouseDevice mouse(platform_mouse_factory());
  const HidResult mouse_created = mouse.create();
  ASSERT_FALSE(mouse_created.ok());
  EXPECT_EQ(mouse_created.error().display(), "Platform not supported: /dev/uinput is not writable");
}

}  // namespace
}  // namespace ondrel
