#include <dirent.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "devices/mouse.h"
#include "linux/scoped_environment.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using testing::ScopedEnvironment;

// Devices and their handlers' nodes, as the kernel lists them.
int input_class_entries() {
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir("/sys/class/input"), closedir);
  int entries = 0;
  while (directory && readdir(directory.get())) ++entries;
  return entries;
}

// The guest has uinput and no X server: DISPLAY alone must not end on
// uinput, which would be the machine's real session outside a test.
TEST(UinputSystemChoice, DisplayMeansXOnlyAndUinputNeedsNoDisplayAtAll) {
  const ScopedEnvironment unforced("ONDREL_INPUT", nullptr);
  const ScopedEnvironment without_wayland("WAYLAND_DISPLAY", nullptr);
  {
    const ScopedEnvironment display("DISPLAY", ":93");
    const int entries = input_class_entries();
    MouseDevice mouse(platform_mouse_factory(), "guest mouse for :93");
    const HidResult created = mouse.create();
    ASSERT_FALSE(created.ok());
    // Why X failed depends on the guest's libraries (without libxcb: "libxcb.so.1 cannot be loaded; DISPLAY
    // is :93"); what to do about it does not.
    const std::string text = created.error().display();
    EXPECT_TRUE(text.starts_with("Platform not supported: no X display with the XTEST extension (")) << text;
    EXPECT_TRUE(text.ends_with("); to use uinput instead, set ONDREL_INPUT=uinput")) << text;
    EXPECT_NE(text.find(":93"), std::string::npos) << text;
    EXPECT_EQ(input_class_entries(), entries);
  }
  const ScopedEnvironment without_display("DISPLAY", nullptr);
  MouseDevice mouse(platform_mouse_factory(), "guest mouse without display");
  ASSERT_TRUE(mouse.create().ok());
  EXPECT_TRUE(EvdevReader::node_named(mouse.name()));
}

}  // namespace
}  // namespace ondrel
