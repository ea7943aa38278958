// Computer over a system that logs each call and can refuse one: points are
// checked before anything moves, and whatever an operation pressed is let go
// when it fails or is stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "computer/computer.h"
#include "computer/computer_action.h"
#include "computer/pointer_steps.h"
#include "devices/stop_request.h"

namespace ondrel::computer {
namespace {

struct SystemLog {
  std::vector<std::string> calls;
  std::size_t fail_call = 0;  // the sending call refused (1 = the first)
  [[nodiscard]] std::string joined() const {
    std::string out;
    for (const std::string& call : calls) out += (out.empty() ? "" : "; ") + call;
    return out;
  }
};

class FakeSystem final : public ComputerSystem {
 public:
  explicit FakeSystem(SystemLog& log) : log_(log) {}
  Expected<Size> screen_size() override { return Size{100, 50}; }
  Expected<Point> position() override { return Point{1, 2}; }
  Outcome move_to(Point p) override { return send("move " + std::to_string(p.x) + "," + std::to_string(p.y)); }
  Outcome button(Button b, bool down) override {
    return send("button" + std::to_string(static_cast<int>(b)) + (down ? " down" : " up"));
  }
  Outcome wheel(std::int32_t dx, std::int32_t dy) override {
    return send("wheel " + std::to_string(dx) + "," + std::to_string(dy));
  }
  Outcome key(const SystemKey& k, bool down) override {
    return send("vk" + std::to_string(k.virtual_key) + (down ? " down" : " up"));
  }
  Outcome write(std::string_view text, TypingPace) override { return send("write " + std::string(text)); }

 private:
  Outcome send(std::string call) {
    if (log_.calls.size() + 1 == log_.fail_call) {
      log_.calls.push_back("REFUSED " + call);
      return Outcome::failure("refused");
    }
    log_.calls.push_back(std::move(call));
    return Outcome::success();
  }
  SystemLog& log_;
};

struct ComputerTest : ::testing::Test {
  SystemLog log;
  Computer computer{std::make_unique<FakeSystem>(log)};
};

TEST_F(ComputerTest, PointsOutsideTheScreenMoveNothing) {
  for (const Point p : {Point{100, 0}, Point{0, 50}, Point{-1, 3}}) {
    const Outcome moved = computer.move_to(p);
    ASSERT_FALSE(moved.ok());
    EXPECT_EQ(moved.error(),
              "point (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ") is outside the screen (100x50)");
  }
  const std::vector<Point> path = {{1, 1}, {99, 49}, {100, 1}};
  EXPECT_EQ(computer.drag(path).error(), "point (100, 1) is outside the screen (100x50)");
  EXPECT_TRUE(computer.move_to({99, 49}).ok());
  EXPECT_EQ(log.joined(), "move 99,49");
}

TEST_F(ComputerTest, AFailedOperationLetsGoOfWhatItPressed) {
  struct Case {
    std::size_t fail_call;
    std::string seen;
  };
  // A double click: down, up, down, up; a refused up is tried once more.
  for (const Case& c : std::vector<Case>{
           {1, "REFUSED button0 down"},
           {2, "button0 down; REFUSED button0 up; button0 up"},
           {3, "button0 down; button0 up; REFUSED button0 down"},
       }) {
    log = {{}, c.fail_call};
    EXPECT_FALSE(computer.click(Button::left, 2).ok());
    EXPECT_EQ(log.joined(), c.seen);
  }
  // A drag refused on its way lets go of the button.
  log = {{}, 3};
  const std::vector<Point> path = {{1, 1}, {2, 2}, {3, 3}};
  EXPECT_FALSE(computer.drag(path).ok());
  EXPECT_EQ(log.joined(), "move 1,1; button0 down; REFUSED move 2,2; button0 up");
  // An action of a vocabulary: its chord lets go even though a click failed.
  log = {{}, 3};
  const Computer::Held before = computer.held();
  EXPECT_FALSE(run_computer_action(R"({"action": "left_click", "text": "shift"})", computer, {}).success);
  computer.release_pressed_since(before);
  EXPECT_EQ(log.joined(), "vk160 down; button0 down; REFUSED button0 up; button0 up; vk160 up");
  log = {};
  EXPECT_TRUE(computer.release_all().ok());
  EXPECT_EQ(log.joined(), "");
}

TEST_F(ComputerTest, WhatACallerHoldsStaysHeldUntilLetGoOrGone) {
  SystemLog own;
  {
    Computer held_on(std::make_unique<FakeSystem>(own));
    ASSERT_TRUE(held_on.button(Button::right, true).ok());
    ASSERT_TRUE(held_on.key(*find_key("ctrl"), true).ok());
    EXPECT_FALSE(held_on.click(Button::left, 4).ok());
  }
  EXPECT_EQ(own.joined(), "button1 down; vk162 down; vk162 up; button1 up");
}

TEST_F(ComputerTest, ADragWalksEachLegInPacedStepsToItsExactCorner) {
  // Legs of 30 and 3 pixels: ten steps, then one a pixel.
  const std::vector<Point> path = {{10, 10}, {40, 10}, {40, 13}};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(computer.drag(path).ok());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(log.joined(),
            "move 10,10; button0 down; move 13,10; move 16,10; move 19,10; move 22,10; move 25,10; move 28,10; "
            "move 31,10; move 34,10; move 37,10; move 40,10; move 40,11; move 40,12; move 40,13; button0 up");
  // Resting after the press and before the release, and between the 13 steps.
  EXPECT_GE(took, std::chrono::milliseconds(2 * kDragSettleMs + 12 * kDragStepMs));
}

bool always_stop() { return true; }

TEST_F(ComputerTest, AStopEndsPausesAndLetsGo) {
  const StopCheckScope stop(always_stop);
  EXPECT_EQ(computer.wait_ms(1000).error(), "stopped");
  EXPECT_EQ(computer.click(Button::middle, 1).error(), "stopped");
  const std::vector<Point> path = {{1, 1}, {9, 9}};
  EXPECT_EQ(computer.drag(path).error(), "stopped");
  EXPECT_EQ(log.joined(), "button2 down; button2 up; move 1,1; button0 down; button0 up");
}

}  // namespace
}  // namespace ondrel::computer
