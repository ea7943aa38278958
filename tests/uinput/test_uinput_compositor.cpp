#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "devices/gamepad.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "platform/computer_system.h"
#include "platform/linux/uinput/display_server_wait.h"
#include "platform/platform_backends.h"
#include "support/terminal_program.h"

namespace ondrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::TerminalProgram;

constexpr uid_t kUser = 1000;  // scripts/uinput-guest's, whom seatd serves
constexpr const char* kRuntimeDirectory = "/tmp/xdg-runtime";
constexpr auto kPatience = 60s;  // the guest is emulated
constexpr Size kScreen{1280, 720};  // wlroots' headless output

double milliseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool appears_within(const std::string& path, Clock::duration patience) {
  const auto deadline = Clock::now() + patience;
  while (access(path.c_str(), F_OK) != 0) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::vector<std::string> environment(std::vector<std::string> more) {
  more.push_back(std::string("XDG_RUNTIME_DIR=") + kRuntimeDirectory);
  more.emplace_back("HOME=/tmp");
  return more;
}

// wev's report of what its window received, in order: the symbol of each
// key pressed ("a"), "button <code>" for each button pressed, and "motion
// <x> <y>" for pointer motion. A pressed key's line is followed by its
// symbol's ("sym: a (97), utf8: 'a'"). wev takes a wl_keyboard each time the
// seat announces a keyboard, and each reports every key: only the first one's
// lines count.
std::vector<std::string> received(const std::vector<std::string>& lines) {
  std::vector<std::string> inputs;
  std::string keyboard;  // "[13:", the first wl_keyboard's prefix
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string object = line.substr(0, line.find(':') + 1);
    if (line.find("wl_keyboard] key:") != std::string::npos && line.find("(pressed)") != std::string::npos &&
        i + 1 < lines.size()) {
      if (keyboard.empty()) keyboard = object;
      char symbol[64] = {};
      if (object == keyboard && std::sscanf(lines[i + 1].c_str(), " sym: %63s", symbol) == 1)
        inputs.emplace_back(symbol);
    } else if (line.find("wl_pointer] button:") != std::string::npos && line.find("(pressed)") != std::string::npos) {
      unsigned code = 0;
      if (std::sscanf(line.c_str() + line.rfind("button:"), "button: %u", &code) == 1)
        inputs.push_back("button " + std::to_string(code));
    } else if (line.find("wl_pointer] motion:") != std::string::npos) {
      double x = 0;
      double y = 0;
      const std::size_t at = line.find("x, y:");
      if (at != std::string::npos && std::sscanf(line.c_str() + at, "x, y: %lf, %lf", &x, &y) == 2)
        inputs.push_back("motion " + std::to_string(std::lround(x)) + " " + std::to_string(std::lround(y)));
      else
        inputs.push_back(line);
    }
  }
  return inputs;
}

// sway (headless output, input from libinput alone, started with no input
// device) and wev's window filling its output.
class SwayWithWev : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access("/usr/bin/sway", X_OK) != 0 || access("/run/udev/control", F_OK) != 0)
      GTEST_SKIP() << "needs sway, seatd and udevd in the guest (UINPUT_GUEST_UDEV=1 UINPUT_GUEST_SWAY=1)";
    mkdir(kRuntimeDirectory, 0700);
    ASSERT_EQ(chown(kRuntimeDirectory, kUser, kUser), 0);
    sway_ = std::make_unique<TerminalProgram>(
        std::vector<std::string>{"/usr/bin/sway", "-c", "/etc/sway/config"},
        environment({"WLR_BACKENDS=headless,libinput", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                     "LIBSEAT_BACKEND=seatd"}),
        kUser);
    ASSERT_TRUE(appears_within(std::string(kRuntimeDirectory) + "/wayland-1", kPatience)) << "sway did not start";
    wev_ = std::make_unique<TerminalProgram>(std::vector<std::string>{"/usr/bin/wev"},
                                             environment({"WAYLAND_DISPLAY=wayland-1"}), kUser);
    ASSERT_TRUE(wev_->next_line_with("activated", kPatience))
        << "wev's window was not shown; wev:\n" << wev_->transcript() << "sway:\n" << sway_output();
  }

  std::string sway_output() {
    sway_->lines_until_quiet(std::chrono::milliseconds(500), std::chrono::milliseconds(2000));
    return sway_->transcript();
  }

  // What wev received until it has been quiet a while.
  std::vector<std::string> wev_received() { return received(wev_->lines_until_quiet(1500ms, kPatience)); }

  std::unique_ptr<TerminalProgram> sway_;
  std::unique_ptr<TerminalProgram> wev_;
};

template <class Device>
std::unique_ptr<Device> created(const BackendFactory& factory, const std::string& name, const char* kind) {
  auto device = std::make_unique<Device>(factory, name);
  const auto start = Clock::now();
  const HidResult made = device->create();
  std::printf("creating a %s under sway took %.1f ms\n", kind, milliseconds_since(start));
  EXPECT_TRUE(made.ok()) << name;
  return device;
}

// A device's first input, sent the moment its constructor returned, reaches
// the client: the compositor had opened the device by then. The seat has a
// keyboard and a pointer before the devices under test come, so that wev
// holds a wl_keyboard and a wl_pointer already and each device's first event
// has only the device's own way to go.
TEST_F(SwayWithWev, EachNewDevicesFirstInputReachesTheFocusedClient) {
  const auto seat_keyboard = created<KeyboardDevice>(platform_keyboard_factory(), "seat keyboard", "keyboard");
  const auto seat_pointer = created<MouseDevice>(platform_mouse_factory(), "seat pointer", "mouse");
  ASSERT_TRUE(seat_pointer->move_by(40, 40).ok());
  ASSERT_TRUE(wev_->next_line_with("wl_pointer] enter", kPatience)) << "the pointer never entered wev's window";
  ASSERT_TRUE(seat_keyboard->press(0x04).ok());  // "a": wev's wl_keyboard has the focus
  ASSERT_TRUE(wev_->next_line_with("utf8: 'a'", kPatience));
  wev_received();

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const auto keyboard = created<KeyboardDevice>(platform_keyboard_factory(), "first keys", "keyboard");
    ASSERT_TRUE(keyboard->type_text("abc").ok());
    EXPECT_EQ(wev_received(), (std::vector<std::string>{"a", "b", "c"}));

    const auto mouse = created<MouseDevice>(platform_mouse_factory(), "first click", "mouse");
    ASSERT_TRUE(mouse->click(MouseButton::Left).ok());
    EXPECT_EQ(wev_received(), (std::vector<std::string>{"button 272"}));

    auto start = Clock::now();
    Expected<std::unique_ptr<ComputerSystem>> computer = open_computer_system(kScreen);
    std::printf("creating a Computer's two devices under sway took %.1f ms\n", milliseconds_since(start));
    ASSERT_TRUE(computer.ok()) << computer.error();
    ASSERT_TRUE(computer.value()->write("hi", kDefaultTypingPace).ok());
    // Each round elsewhere: wlroots tells a client nothing of a move to where the pointer is.
    const Point point{600 + 20 * round, 300 + 10 * round};
    ASSERT_TRUE(computer.value()->move_to(point).ok());
    ASSERT_TRUE(computer.value()->button(Button::left, true).ok());
    ASSERT_TRUE(computer.value()->button(Button::left, false).ok());
    const std::string motion = "motion " + std::to_string(point.x) + " " + std::to_string(point.y);
    EXPECT_EQ(wev_received(), (std::vector<std::string>{"h", "i", motion, "button 272"}));
  }

  // libinput opens a gamepad, finds no use for it and lets go: no wait for
  // a server that will never read it.
  const auto start = Clock::now();
  const auto pad = created<GamepadDevice>(platform_gamepad_factory(), "no compositor's", "gamepad");
  EXPECT_LT(Clock::now() - start, linux::uinput::kDisplayServerPatience);
}

}  // namespace
}  // namespace ondrel
