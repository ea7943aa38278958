#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "platform/platform_backends.h"

namespace ondrel {
namespace {

// A /dev/input that never shows a node, as in a container given only
// /dev/uinput: an empty tmpfs over it, in a mount namespace of this process's own.
bool hide_device_nodes() {
  return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/dev", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         (mkdir("/dev/input", 0755) == 0 || errno == EEXIST) &&
         mount("tmpfs", "/dev/input", "tmpfs", 0, nullptr) == 0;
}

// What failed, or nothing: created well within the 5 s that creation used
// to wait for the node, and then used.
std::string created_and_used(const char* kind, const std::function<HidResult()>& create,
                             const std::function<HidResult()>& use) {
  const auto start = std::chrono::steady_clock::now();
  HidResult result = create();
  if (result.ok() && std::chrono::steady_clock::now() - start >= std::chrono::seconds(2))
    return std::string(kind) + ": creation took 2 s or more; ";
  if (result.ok()) result = use();
  return result.ok() ? std::string() : std::string(kind) + ": " + result.error().display() + "; ";
}

std::string devices_without_nodes() {
  if (!hide_device_nodes()) return "cannot hide /dev/input: " + std::to_string(errno);
  MouseDevice mouse(platform_mouse_factory(), "guest mouse without node");
  KeyboardDevice keyboard(platform_keyboard_factory(), "guest keyboard without node");
  GamepadDevice pad(platform_gamepad_factory(), "guest pad without node");
  return created_and_used("mouse", [&] { return mouse.create(); }, [&] { return mouse.move_by(3, -2); }) +
         created_and_used("keyboard", [&] { return keyboard.create(); }, [&] { return keyboard.press(4); }) +
         created_and_used("pad", [&] { return pad.create(); }, [&] { return pad.tap(bit(GamepadButton::A)); });
}

TEST(UinputWithoutDevNodes, DevicesAreCreatedAtOnceAndTakeTheirEvents) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // the namespace and its mounts end with the child
    const std::string failed = devices_without_nodes();  // exits with 0 only when there is nothing to tell
    _exit(write(pipe_ends[1], failed.data(), failed.size()) == 0 ? 0 : 1);
  }
  close(pipe_ends[1]);
  std::string failed(512, '\0');
  const ssize_t got = read(pipe_ends[0], failed.data(), failed.size());
  failed.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  close(pipe_ends[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(failed, "");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace ondrel
