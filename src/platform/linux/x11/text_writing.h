#pragma once

#include <string_view>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/keymap.h"
#include "platform/linux/x11/text_plan.h"
#include "platform/linux/x11/xtest_connection.h"
#include "platform/typing_pace.h"

namespace ondrel::linux::x11 {

// How long, after the server has processed the last key (a round trip) and
// the pause after it, the spare keycodes stay bound: a client looks a key up
// in the mapping of the moment it reads the key (refetched after each
// MappingNotify), so a mapping restored before then turns the last
// characters into nothing. A Tk window looked a key press up 0.23 ms after
// the server had processed it (median; p99 2.8 ms, but once in 1000 presses
// 120 ms, with 2 cores at a load of 7: bench/bench_x11_lookup_latency.py),
// and lost the last character of a text to a 10 ms wait with a compiler
// running beside it. The wait is once a text (or a bound key), so it is
// long enough for all but such rare stalls.
inline constexpr unsigned kLookupSettleMs = 30;

// How long, after the server has made a binding (a round trip), the first
// key on it waits: a client that reads the mapping change and the press in
// one batch looks the press up in the mapping it cached before (Tk does so
// as it reads a press, and refreshes its mapping only when it handles the
// change after it), which lost the first character of a text to the
// previous writer's restored mapping in 4 % of writes with two writers at
// once on 2 busy cores; 5 ms lost none in 300 such writes.
inline constexpr unsigned kBindingNoticeMs = 10;

// The presses of a keystroke: its modifiers, then its key.
std::vector<FakeEvent> presses_of(const Keystroke& keystroke);

// Writes `text` (UTF-8) on the keyboard layout the server is using, one
// character at a time as typed: the character's key with Shift and AltGr
// as its level needs them; a character the layout lacks on a spare keycode
// bound for this call (all at once, at the start) and given back its own
// mapping at the end, whatever happens. The text is planned first (text_plan.h)
// on the server's current keymap (fetch_keymap), so that a text that cannot
// be written sends nothing. Fails when the server refuses, does not answer or
// is gone, or the caller asks to stop (Ctrl-C), after releasing what it
// pressed where it still can: a release whose fate is unknown is sent again
// at once, and the presses that may still be down come back with the
// failure.
struct PlannedText {
  Keymap keymap;  // the one planned on, given back to the bound keycodes
  TextPlan plan;
};
struct TextWritten {
  Outcome outcome;
  std::vector<FakeEvent> unreleased;  // presses that may still be down after a failure
};
TextWritten write_text(XtestConnection& connection, const PlannedText& text, TypingPace pace);

}  // namespace ondrel::linux::x11
