#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "platform/gamepad_transitions.h"
#include "platform/linux/os_error.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/gamepad_sink.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using testing::open_descriptors;
using Texts = std::vector<std::string>;

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

template <class Device>
void expect_removed_by_destroy_and_by_release(const BackendFactory& factory, const std::string& name) {
  Device device(factory, name);
  ASSERT_TRUE(device.create().ok()) << name;
  const auto node = EvdevReader::node_named(name);
  ASSERT_TRUE(node && exists(*node)) << name;
  ASSERT_TRUE(device.destroy().ok()) << name;
  EXPECT_FALSE(exists(*node)) << name << ": " << *node << " is still there after destroy";
  EXPECT_EQ(EvdevReader::node_named(name), std::nullopt) << name;

  ASSERT_TRUE(device.create().ok()) << name;
  const auto recreated = EvdevReader::node_named(name);
  ASSERT_TRUE(recreated) << name;
  { Device released = std::move(device); }
  EXPECT_FALSE(exists(*recreated)) << name << ": " << *recreated << " is still there after release";
}

TEST(UinputLifecycle, TheNodeDisappearsWhenTheDeviceIsDestroyedOrReleased) {
  expect_removed_by_destroy_and_by_release<MouseDevice>(platform_mouse_factory(), "guest mouse lifecycle");
  expect_removed_by_destroy_and_by_release<KeyboardDevice>(platform_keyboard_factory(), "guest keyboard lifecycle");
  expect_removed_by_destroy_and_by_release<GamepadDevice>(platform_gamepad_factory(), "guest pad lifecycle");
}

// Each cycle creates and destroys one device, the three kinds in turn.
TEST(UinputLifecycle, AThousandCyclesLeaveNoDescriptorBehind) {
  MouseDevice mouse(platform_mouse_factory(), "guest cycles");
  KeyboardDevice keyboard(platform_keyboard_factory(), "guest cycles");
  GamepadDevice pad(platform_gamepad_factory(), "guest cycles");
  const std::function<HidResult()> creates[] = {[&] { return mouse.create(); }, [&] { return keyboard.create(); },
                                                [&] { return pad.create(); }};
  const std::function<HidResult()> destroys[] = {[&] { return mouse.destroy(); }, [&] { return keyboard.destroy(); },
                                                 [&] { return pad.destroy(); }};
  const int before = open_descriptors();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    ASSERT_TRUE(creates[cycle % 3]().ok()) << cycle;
    ASSERT_TRUE(destroys[cycle % 3]().ok()) << cycle;
  }
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(EvdevReader::node_named("guest cycles"), std::nullopt);
}

// A seam in front of the real device: the n-th write (1 = the first) is
// refused without reaching it, as a failing write(2) would be.
class RefusingWriter final : public linux::uinput::EventWriter {
 public:
  RefusingWriter(std::unique_ptr<linux::uinput::EventWriter> device, int refused_write)
      : device_(std::move(device)), refused_write_(refused_write) {}
  Outcome write(std::span<const input_event> events) override {
    if (++writes_ != refused_write_) return device_->write(events);
    errno = ENODEV;
    return Outcome::failure(linux::os_error("uinput write"));
  }

 private:
  std::unique_ptr<linux::uinput::EventWriter> device_;
  int refused_write_;
  int writes_ = 0;
};

BackendFactory refusing_gamepad_factory(int refused_write) {
  return [refused_write](const std::string& name, std::unique_ptr<DeviceBackend>& out) -> HidResult {
    auto device = linux::uinput::Device::create(linux::uinput::gamepad_capabilities(), name);
    if (!device.ok()) return HidError::platform_not_supported(device.error());
    out = std::make_unique<GamepadTransitions>(std::make_unique<linux::uinput::GamepadSink>(
        std::make_unique<RefusingWriter>(std::move(device).take(), refused_write)));
    return HidResult::success();
  };
}

TEST(UinputLifecycle, AFailedWriteIsTakenBackAndNothingIsSentTwice) {
  GamepadDevice pad(refusing_gamepad_factory(3), "guest pad refused write");
  ASSERT_TRUE(pad.create().ok());
  EvdevReader reader(pad.name());
  ASSERT_TRUE(reader.open());
  const std::uint16_t x = bit(GamepadButton::X);
  const std::uint16_t y = bit(GamepadButton::Y);
  ASSERT_TRUE(pad.left_stick(128, 128).ok());  // write 1: every axis, all neutral, so nothing to see
  ASSERT_TRUE(pad.press(x).ok());              // write 2
  EXPECT_EQ(reader.take_texts(), (Texts{"BTN_X 1", "SYN_REPORT"}));

  ASSERT_FALSE(pad.left_stick(10, 20).ok());  // write 3; the stick goes back to where the device has it
  EXPECT_EQ(reader.take_texts(), Texts{});

  ASSERT_TRUE(pad.press(y).ok());
  ASSERT_TRUE(pad.press(y).ok());  // nothing changed since: nothing sent
  EXPECT_EQ(reader.take_texts(), (Texts{"BTN_Y 1", "SYN_REPORT"}));
}

// In a forked child: whether it used its copy of the parent's pad (its first
// write makes a device of the child's own), then releases that copy.
int child_uses_and_releases(GamepadDevice& pad, bool uses) {
  if (uses && !pad.press(bit(GamepadButton::A)).ok()) return 1;
  { GamepadDevice released = std::move(pad); }
  return 0;
}

TEST(UinputLifecycle, AForkedChildNeverRemovesOrUsesTheParentsDevice) {
  for (const bool child_uses : {true, false}) {
    GamepadDevice pad(platform_gamepad_factory(), "guest pad fork");
    ASSERT_TRUE(pad.create().ok());
    EvdevReader reader(pad.name());
    ASSERT_TRUE(reader.open());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(child_uses_and_releases(pad, child_uses));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child_uses " << child_uses;
    EXPECT_EQ(reader.take_texts(), Texts{}) << "child_uses " << child_uses;
    ASSERT_TRUE(pad.press(bit(GamepadButton::B)).ok()) << "child_uses " << child_uses;
    EXPECT_EQ(reader.take_texts(), (Texts{"BTN_EAST 1", "SYN_REPORT"})) << "child_uses " << child_uses;
    EXPECT_EQ(EvdevReader::node_named(pad.name()), reader.node()) << "the child's own device outlived it";
  }
}

}  // namespace
}  // namespace ondrel
