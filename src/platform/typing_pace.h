#pragma once

#include <cstdint>

namespace ondrel {

// How a text is typed: each character's keys held `held_ms`, then `gap_ms`
// before the next character. The default is xdotool's `type --delay 12` as
// the computer-use reference executors run it (about 7 ms a character), the
// pace the fastest peer types at; every key of `key` and `hold` is held at
// least `held_ms` too, so that a program reading key state once a frame
// sees it down.
struct TypingPace {
  std::uint32_t held_ms = 3;
  std::uint32_t gap_ms = 3;
  bool operator==(const TypingPace&) const = default;
};

inline constexpr TypingPace kDefaultTypingPace{};

}  // namespace ondrel
