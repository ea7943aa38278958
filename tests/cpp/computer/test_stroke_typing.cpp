// The writing loop that the systems of records and events share: each
// character's keys down in order and up in reverse, and nothing left down
// after a refused event or a stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/stop_request.h"
#include "platform/stroke_typing.h"

namespace ondrel {
namespace {

struct Case {
  std::size_t refused;  // the event refused (1 = the first), 0 none
  int stop_after;       // stop checks answered "go on" before one asks to stop; -1 never
  std::string events;
  std::string answer;
};

int checks_left = -1;
bool stop_when_counted_down() { return checks_left >= 0 && checks_left-- == 0; }

TEST(StrokeTyping, EveryRefusalOrStopLetsGoOfWhatWentDown) {
  const std::size_t keys_per_stroke[] = {1, 2, 1};  // "a", Shift+"b", "c"
  const Case cases[] = {
      {0, -1, "0v 0^ 1v 2v 2^ 1^ 3v 3^", ""},
      {4, -1, "0v 0^ 1v REFUSED 2v 1^", "refused"},
      // A refused release is sent again at once, and the text ends there.
      {5, -1, "0v 0^ 1v 2v REFUSED 2^ 2^ 1^", "refused"},
      {8, -1, "0v 0^ 1v 2v 2^ 1^ 3v REFUSED 3^ 3^", "refused"},
      // The second character's hold is stopped (checks: hold, gap, hold).
      {0, 2, "0v 0^ 1v 2v 2^ 1^", "stopped"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> events;
    const auto send = [&](std::size_t key, bool down) {
      const std::string event = std::to_string(key) + (down ? "v" : "^");
      if (events.size() + 1 == c.refused) {
        events.push_back("REFUSED " + event);
        return Outcome::failure("refused");
      }
      events.push_back(event);
      return Outcome::success();
    };
    checks_left = c.stop_after;
    const StopCheckScope stop(stop_when_counted_down);
    const Outcome typed = type_strokes(keys_per_stroke, TypingPace{1, 1}, send);
    std::string joined;
    for (const std::string& event : events) joined += (joined.empty() ? "" : " ") + event;
    EXPECT_EQ(joined, c.events);
    EXPECT_EQ(typed.ok() ? "" : typed.error(), c.answer);
  }
}

}  // namespace
}  // namespace ondrel
