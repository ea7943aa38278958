#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "devices/outcome.h"
#include "platform/typing_pace.h"

namespace ondrel {

// Sends the key of index `key` (counted over the whole text) down or up.
using StrokeKeySend = std::function<Outcome(std::size_t key, bool down)>;

// The writing loop of the systems that type by records or events: for each
// character, its keys (`keys_per_stroke[i]` of them, the keys of the text in
// order) go down in order, are held `pace.held_ms`, come up in reverse, and
// `pace.gap_ms` passes before the next. A failed press or a stop (Ctrl-C,
// cancel) lets go of what went down; a release whose fate is unknown (it
// failed) is sent once more at once, and the text ends there. The first
// failure is the answer.
Outcome type_strokes(std::span<const std::size_t> keys_per_stroke, TypingPace pace, const StrokeKeySend& send);

}  // namespace ondrel
