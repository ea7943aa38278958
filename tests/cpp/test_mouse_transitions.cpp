#include <gtest/gtest.h>

#include "platform/mouse_transitions.h"
#include "support/recorded_inputs.h"

namespace ondrel {
namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using testing::recorded_inputs;

using MouseTransitionsTest = testing::RecordedBackendTest<MouseTransitions>;

TEST_F(MouseTransitionsTest, ReportsPlayMotionThenButtonChangesThenWheel) {
  struct Case {
    std::vector<Bytes> reports;
    Strings events;
  };
  const Case cases[] = {
      {{{0x01, 0, 0, 0}, {0x01, 0, 0, 0}, {0x00, 0, 0, 0}}, {"left down", "left up"}},
      {{{0x07, 5, 0xFD, 0xFE}, {0x00, 0, 0, 1}},
       {"move 5 -3", "left down", "right down", "middle down", "wheel -240", "left up", "right up", "middle up",
        "wheel 120"}},
      {{{0x08, 0, 0, 0}, {0x00, 0, 0, 0, 0x55}}, {}},  // unknown bits are silent; a fifth byte is ignored
  };
  for (const Case& c : cases) {
    testing::reset_recorded_inputs();
    for (const Bytes& report : c.reports) ASSERT_TRUE(send(report).ok());
    EXPECT_EQ(events(), c.events);
    EXPECT_EQ(backend.held_buttons(), c.reports.back()[0]);
  }
  EXPECT_TRUE(backend.destroy().ok());
  EXPECT_EQ(recorded_inputs().calls, 0) << "destroy injects nothing";
}

TEST_F(MouseTransitionsTest, ShortReportIsRefused) {
  const HidResult result = send({0x01, 0, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: Invalid mouse report");
  EXPECT_EQ(recorded_inputs().calls, 0);
}

// A failed motion event stops the report before its buttons; a failed
// button event still counts as played, so it is not replayed.
TEST_F(MouseTransitionsTest, FailedCallStopsTheReportAndButtonsCountAsHeldOnlyOnceInjected) {
  struct Case {
    Bytes report;
    int failing_call;
    std::uint8_t held;
    Strings next;  // what the report {0x03} injects afterwards
  };
  const Case cases[] = {
      {{0x01, 1, 0, 0}, 1, 0x00, {"left down", "right down"}},  // the motion failed: no button went in
      {{0x03, 0, 0, 1}, 1, 0x00, {"left down", "right down"}},
      {{0x03, 0, 0, 1}, 2, 0x01, {"right down"}},
  };
  for (const Case& c : cases) {
    testing::reset_recorded_inputs();
    recorded_inputs().fail_on_call = c.failing_call;
    const HidResult result = send(c.report);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
    EXPECT_EQ(recorded_inputs().calls, c.failing_call);
    EXPECT_EQ(backend.held_buttons(), c.held);
    testing::reset_recorded_inputs();
    ASSERT_TRUE(send({0x03, 0, 0, 0}).ok());
    EXPECT_EQ(events(), c.next);
    ASSERT_TRUE(send({0x00, 0, 0, 0}).ok());
  }
}

}  // namespace
}  // namespace ondrel
