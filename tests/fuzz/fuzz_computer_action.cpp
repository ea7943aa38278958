// run_computer_action on arbitrary bytes: no crash, leak or undefined
// behaviour; a refused action sends nothing, and every action lets go of
// every key it pressed and stays on the screen.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "computer/computer_action.h"
#include "computer/key_table.h"

namespace {

using namespace ondrel::computer;

void require(bool condition) {
  if (!condition) std::abort();
}

class CheckingInput : public ComputerInput {
 public:
  std::size_t sent = 0;
  std::set<const KeyRow*> held_keys;
  int held_buttons = 0;

  Expected<Size> screen_size() override { return Size{1280, 800}; }
  Expected<Point> position() override { return Point{3, 4}; }
  Outcome move_to(Point p) override {
    require(p.x >= 0 && p.y >= 0 && p.x < 1280 && p.y < 800);
    return sent_one();
  }
  Outcome button(Button, bool down) override {
    held_buttons += down ? 1 : -1;
    return sent_one();
  }
  Outcome click(Button, int count) override {
    require(count >= 1 && count <= 3);
    return sent_one();
  }
  Outcome scroll(std::int32_t, std::int32_t) override { return sent_one(); }
  Outcome key(const KeyRow& key, bool down) override {
    require(down ? held_keys.insert(&key).second : held_keys.erase(&key) == 1);
    return sent_one();
  }
  Outcome write(std::string_view) override { return sent_one(); }
  Outcome wait_ms(std::uint32_t ms) override {
    require(ms <= 60'000);
    return sent_one();
  }

 private:
  Outcome sent_one() {
    ++sent;
    return Outcome::success();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const Scaling& scaling : {Scaling{}, Scaling{Size{1024, 640}}}) {
    CheckingInput input;
    const ActionReply reply = run_computer_action(text, input, scaling);
    require(reply.success || (input.sent == 0 && !reply.error.empty()));
    require(input.held_keys.empty());
    require(input.held_buttons >= -1 && input.held_buttons <= 1);  // left_mouse_down / left_mouse_up alone
  }
  return 0;
}
