#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/evdev_text.h"
#include "platform/linux/record_events.h"

namespace ondrel {
namespace {

using testing::describe;
using Texts = std::vector<std::string>;
using enum PointerButton;

struct PointerCase {
  const char* what;
  PointerChanges changes;
  Texts expected;
};

TEST(RecordEvents, PointerChangesAreOneReport) {
  const PointerCase cases[] = {
      {"move", {127, -40, {}, 0}, {"REL_X 127", "REL_Y -40", "SYN_REPORT"}},
      {"move along y only", {0, 5, {}, 0}, {"REL_Y 5", "SYN_REPORT"}},
      {"buttons in order", {0, 0, {{left, true}, {right, false}, {middle, true}}, 0},
       {"BTN_LEFT 1", "BTN_RIGHT 0", "BTN_MIDDLE 1", "SYN_REPORT"}},
      {"wheel back 2", {0, 0, {}, -240}, {"REL_WHEEL -2", "REL_WHEEL_HI_RES -240", "SYN_REPORT"}},
      {"wheel under a notch", {0, 0, {}, 60}, {"REL_WHEEL_HI_RES 60", "SYN_REPORT"}},
      {"all at once", {1, 0, {{left, false}}, 120},
       {"REL_X 1", "BTN_LEFT 0", "REL_WHEEL 1", "REL_WHEEL_HI_RES 120", "SYN_REPORT"}},
  };
  for (const PointerCase& c : cases) EXPECT_EQ(describe(uinput::pointer_events(c.changes)), c.expected) << c.what;
}

TEST(RecordEvents, AKeyChangeIsOneReport) {
  EXPECT_EQ(describe(uinput::key_events({30, true})), (Texts{"KEY_A 1", "SYN_REPORT"}));
  EXPECT_EQ(describe(uinput::key_events({125, false})), (Texts{"KEY_LEFTMETA 0", "SYN_REPORT"}));
}

}  // namespace
}  // namespace ondrel
