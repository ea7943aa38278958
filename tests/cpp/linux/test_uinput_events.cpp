#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/evdev_text.h"
#include "platform/linux/uinput/events.h"

namespace ondrel {
namespace {

using testing::describe;
using Texts = std::vector<std::string>;
using enum PointerButton;

TEST(UinputEvents, EachChangeIsOneReport) {
  const std::pair<InputChange, Texts> cases[] = {
      {PointerMotion{127, -40}, {"REL_X 127", "REL_Y -40", "SYN_REPORT"}},
      {PointerMotion{0, 5}, {"REL_Y 5", "SYN_REPORT"}},
      {ButtonChange{right, false}, {"BTN_RIGHT 0", "SYN_REPORT"}},
      {ButtonChange{middle, true}, {"BTN_MIDDLE 1", "SYN_REPORT"}},
      {WheelTurn{-2}, {"REL_WHEEL -2", "REL_WHEEL_HI_RES -240", "SYN_REPORT"}},
      {KeyChange{0x04, true}, {"KEY_A 1", "SYN_REPORT"}},
      {KeyChange{0xE3, false}, {"KEY_LEFTMETA 0", "SYN_REPORT"}},
  };
  for (const auto& [change, expected] : cases) {
    const auto events = linux::uinput::events_for(change);
    ASSERT_TRUE(events);
    EXPECT_EQ(describe(*events), expected);
  }
  EXPECT_FALSE(linux::uinput::events_for(KeyChange{0x32, true})) << "a usage without a key";
}

}  // namespace
}  // namespace ondrel
