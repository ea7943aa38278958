// The gamepad as games see it: read through SDL's game controller API, which
// maps a Linux gamepad from its evdev codes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "platform/platform_backends.h"

namespace ondrel {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;
using Axes = std::array<int, SDL_CONTROLLER_AXIS_MAX>;

constexpr int kAxisTolerance = 300;  // one step of 0..255 is 257 of SDL's units

// Each button name of the class with the SDL button of the same meaning.
struct ButtonMeaning {
  const char* name;
  SDL_GameControllerButton sdl;
};
constexpr ButtonMeaning kButtonMeanings[] = {
    {"a", SDL_CONTROLLER_BUTTON_A},
    {"b", SDL_CONTROLLER_BUTTON_B},
    {"x", SDL_CONTROLLER_BUTTON_X},
    {"y", SDL_CONTROLLER_BUTTON_Y},
    {"lb", SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
    {"rb", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {"back", SDL_CONTROLLER_BUTTON_BACK},
    {"start", SDL_CONTROLLER_BUTTON_START},
    {"guide", SDL_CONTROLLER_BUTTON_GUIDE},
    {"ls", SDL_CONTROLLER_BUTTON_LEFTSTICK},
    {"rs", SDL_CONTROLLER_BUTTON_RIGHTSTICK},
    {"dpad_up", SDL_CONTROLLER_BUTTON_DPAD_UP},
    {"dpad_down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {"dpad_left", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {"dpad_right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
};

// The joystick index SDL gives the device named `name`, once it has found it.
std::optional<int> sdl_index_of(const std::string& name) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  do {
    SDL_JoystickUpdate();
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      const char* found = SDL_JoystickNameForIndex(index);
      if (found != nullptr && name == found) return index;
    }
    std::this_thread::sleep_for(10ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return std::nullopt;
}

// A gamepad of ours, opened by SDL as a game controller. The guest has no
// udev, so SDL is told to look at /dev/input itself.
class SdlGameController : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pad_.create().ok());
    setenv("SDL_JOYSTICK_DISABLE_UDEV", "1", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const std::optional<int> index = sdl_index_of(pad_.name());
    ASSERT_TRUE(index) << "SDL did not find " << pad_.name();
    ASSERT_TRUE(SDL_IsGameController(*index)) << "SDL has no game controller mapping for " << pad_.name();
    controller_ = SDL_GameControllerOpen(*index);
    ASSERT_NE(controller_, nullptr) << SDL_GetError();
  }

  void TearDown() override {
    if (controller_ != nullptr) SDL_GameControllerClose(controller_);
    SDL_Quit();
  }

  Names pressed() {
    SDL_GameControllerUpdate();
    Names down;
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
      if (SDL_GameControllerGetButton(controller_, static_cast<SDL_GameControllerButton>(button)))
        down.emplace_back(SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button)));
    return down;
  }

  void expect_axes(const Axes& expected, const std::string& what) {
    SDL_GameControllerUpdate();
    for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
      EXPECT_NEAR(SDL_GameControllerGetAxis(controller_, static_cast<SDL_GameControllerAxis>(axis)), expected[axis],
                  kAxisTolerance)
          << what << ": " << SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(axis));
  }

  GamepadDevice pad_{platform_gamepad_factory(), "guest pad sdl"};
  SDL_GameController* controller_ = nullptr;
};

TEST_F(SdlGameController, EachButtonIsTheSdlButtonOfTheSameMeaning) {
  for (const ButtonMeaning& row : kButtonMeanings) {
    const std::uint16_t button = parse_button(row.name).value_or(0);
    ASSERT_TRUE(pad_.press(button).ok()) << row.name;
    EXPECT_EQ(pressed(), Names{SDL_GameControllerGetStringForButton(row.sdl)}) << row.name;
    ASSERT_TRUE(pad_.release(button).ok()) << row.name;
    EXPECT_EQ(pressed(), Names{}) << row.name;
  }
}

struct AxisCase {
  const char* what;
  std::function<HidResult(GamepadDevice&, std::uint8_t)> set;
  SDL_GameControllerAxis axis;
  std::vector<std::pair<std::uint8_t, int>> values;  // each ends at rest
};

// Sticks span SDL's -32768..32767 with up and left negative; triggers 0..32767.
TEST_F(SdlGameController, SticksAndTriggersSpanSdlsRanges) {
  const std::vector<std::pair<std::uint8_t, int>> stick = {{0, -32768}, {255, 32767}, {128, 0}};
  const std::vector<std::pair<std::uint8_t, int>> trigger = {{255, 32767}, {0, 0}};
  const AxisCase cases[] = {
      {"left_stick(v, 128)", [](GamepadDevice& p, std::uint8_t v) { return p.left_stick(v, 128); },
       SDL_CONTROLLER_AXIS_LEFTX, stick},
      {"left_stick(128, v)", [](GamepadDevice& p, std::uint8_t v) { return p.left_stick(128, v); },
       SDL_CONTROLLER_AXIS_LEFTY, stick},
      {"right_stick(v, 128)", [](GamepadDevice& p, std::uint8_t v) { return p.right_stick(v, 128); },
       SDL_CONTROLLER_AXIS_RIGHTX, stick},
      {"right_stick(128, v)", [](GamepadDevice& p, std::uint8_t v) { return p.right_stick(128, v); },
       SDL_CONTROLLER_AXIS_RIGHTY, stick},
      {"left trigger", [](GamepadDevice& p, std::uint8_t v) { return p.left_trigger(v); },
       SDL_CONTROLLER_AXIS_TRIGGERLEFT, trigger},
      {"right trigger", [](GamepadDevice& p, std::uint8_t v) { return p.right_trigger(v); },
       SDL_CONTROLLER_AXIS_TRIGGERRIGHT, trigger},
  };
  expect_axes(Axes{}, "at rest");
  for (const AxisCase& c : cases)
    for (const auto& [value, seen] : c.values) {
      ASSERT_TRUE(c.set(pad_, value).ok()) << c.what;
      Axes expected{};
      expected[c.axis] = seen;
      expect_axes(expected, std::string(c.what) + " with v = " + std::to_string(value));
    }
}

}  // namespace
}  // namespace ondrel
