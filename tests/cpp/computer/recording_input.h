#pragma once

#include <string>
#include <vector>

#include "computer/computer_input.h"
#include "computer/key_table.h"

namespace ondrel::computer::testing {

// A ComputerInput that writes each call that sends something as one short
// word ("move 10,20", "Control_L down", "click left x2", "write hi",
// "wait 1000") and can fail the n-th of them.
class RecordingInput : public ComputerInput {
 public:
  Size screen{1920, 1080};
  Point pointer{5, 6};
  std::vector<std::string> calls;
  // The sending call that fails (1 = the first); 0 = none.
  std::size_t fail_call = 0;

  [[nodiscard]] std::string joined() const {
    std::string out;
    for (const std::string& call : calls) out += (out.empty() ? "" : "; ") + call;
    return out;
  }

  Expected<Size> screen_size() override { return screen; }
  Expected<Point> position() override { return pointer; }
  Outcome move_to(Point point) override {
    if (point.x < 0 || point.y < 0 || point.x >= screen.width || point.y >= screen.height) {
      return Outcome::failure("move_to outside the screen");
    }
    return record("move " + std::to_string(point.x) + "," + std::to_string(point.y));
  }
  Outcome button(Button which, bool down) override {
    return record(std::string(name(which)) + (down ? " down" : " up"));
  }
  Outcome click(Button which, int count) override {
    return record("click " + std::string(name(which)) + (count > 1 ? " x" + std::to_string(count) : ""));
  }
  Outcome scroll(std::int32_t dx, std::int32_t dy) override {
    return record("scroll " + std::to_string(dx) + "," + std::to_string(dy));
  }
  Outcome key(const KeyRow& key, bool down) override {
    return record(std::string(key.names[0]) + (down ? " down" : " up"));
  }
  Outcome write(std::string_view text) override { return record("write " + std::string(text)); }
  Outcome wait_ms(std::uint32_t milliseconds) override { return record("wait " + std::to_string(milliseconds)); }

 private:
  static std::string_view name(Button which) {
    constexpr std::string_view kNames[] = {"left", "right", "middle", "back", "forward"};
    return kNames[static_cast<int>(which)];
  }
  Outcome record(std::string call) {
    if (calls.size() + 1 == fail_call) {
      calls.push_back("FAILED " + call);
      return Outcome::failure("failed: " + call);
    }
    calls.push_back(std::move(call));
    return Outcome::success();
  }
};

}  // namespace ondrel::computer::testing
