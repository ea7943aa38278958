#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "devices/gamepad.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "platform/computer_system.h"
#include "platform/linux/uinput/display_server_wait.h"
#include "platform/platform_backends.h"

namespace ondrel {
namespace {

using Clock = std::chrono::steady_clock;

// Where no display server reads input devices (this guest: no compositor,
// with or without udevd), creation does not wait for one; the figures show
// what creation costs here.
TEST(UinputCreation, WithoutADisplayServerNothingWaitsForOne) {
  MouseDevice mouse(platform_mouse_factory(), "timed mouse");
  KeyboardDevice keyboard(platform_keyboard_factory(), "timed keyboard");
  GamepadDevice pad(platform_gamepad_factory(), "timed pad");
  std::unique_ptr<ComputerSystem> computer;
  struct Timed {
    const char* kind;
    std::function<bool()> create;
  };
  const Timed creations[] = {
      {"mouse", [&] { return mouse.create().ok(); }},
      {"keyboard", [&] { return keyboard.create().ok(); }},
      {"gamepad", [&] { return pad.create().ok(); }},
      {"Computer (two devices)", [&] {
         Expected<std::unique_ptr<ComputerSystem>> opened = open_computer_system(Size{1920, 1080});
         if (opened.ok()) computer = std::move(opened).take();
         return opened.ok();
       }},
  };
  for (const Timed& creation : creations) {
    const auto start = Clock::now();
    ASSERT_TRUE(creation.create()) << creation.kind;
    const auto took = Clock::now() - start;
    std::printf("creating a %s without a display server took %.1f ms\n", creation.kind,
                std::chrono::duration<double, std::milli>(took).count());
    EXPECT_LT(took, linux::uinput::kDisplayServerPatience) << creation.kind;
  }
}

}  // namespace
}  // namespace ondrel
