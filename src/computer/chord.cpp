#include "computer/chord.h"

#include <algorithm>

namespace ondrel::computer {
namespace {

constexpr std::size_t kQuotedLimit = 60;

std::string_view trimmed(std::string_view text) {
  const auto is_space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

// Adds the key named `name` to `chord`; `whole` is the caller's text, shown
// in the message.
Outcome add_key(Chord& chord, std::string_view name, std::string_view whole) {
  if (name.empty()) return Outcome::failure("empty key name in " + quoted(whole));
  const KeyRow* row = find_key(name);
  if (!row) {
    row = find_shifted_key(name);
    if (!row) return Outcome::failure("unknown key " + quoted(name) + " in " + quoted(whole));
    const KeyRow* shift = find_key("Shift_L");
    if (std::find(chord.keys.begin(), chord.keys.end(), shift) == chord.keys.end()) chord.keys.push_back(shift);
  }
  if (std::find(chord.keys.begin(), chord.keys.end(), row) != chord.keys.end()) {
    return Outcome::failure("key " + quoted(name) + " appears twice in " + quoted(whole));
  }
  chord.keys.push_back(row);
  return Outcome::success();
}

// Lets go of keys[0..count) in reverse; the first failure is kept.
Outcome release(ComputerInput& input, const Chord& chord, std::size_t count) {
  Outcome first = Outcome::success();
  for (std::size_t i = count; i-- > 0;) {
    Outcome up = input.key(*chord.keys[i], false);
    if (first.ok() && !up.ok()) first = std::move(up);
  }
  return first;
}

}  // namespace

std::string quoted(std::string_view text) {
  std::string out = "`";
  if (text.size() <= kQuotedLimit) {
    out += text;
  } else {
    std::size_t cut = kQuotedLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    out += text.substr(0, cut);
    out += "...";
  }
  out += '`';
  return out;
}

Expected<Chord> parse_chord(std::string_view text) {
  Chord chord;
  if (trimmed(text).empty()) return Outcome::failure("empty key combination " + quoted(text));
  for (std::size_t start = 0;;) {
    const std::size_t plus = text.find('+', start);
    const std::string_view part = text.substr(start, plus == std::string_view::npos ? plus : plus - start);
    if (Outcome added = add_key(chord, trimmed(part), text); !added.ok()) return added;
    if (plus == std::string_view::npos) return chord;
    start = plus + 1;
  }
}

Expected<Chord> parse_chord(std::span<const std::string> names) {
  Chord chord;
  if (names.empty()) return Outcome::failure("empty list of keys");
  for (const std::string& name : names) {
    if (Outcome added = add_key(chord, trimmed(name), name); !added.ok()) return added;
  }
  return chord;
}

Outcome with_chord_held(ComputerInput& input, const Chord& chord, const std::function<Outcome()>& body) {
  for (std::size_t i = 0; i < chord.keys.size(); ++i) {
    Outcome down = input.key(*chord.keys[i], true);
    if (!down.ok()) {
      (void)release(input, chord, i);  // the failure to report is the press's
      return down;
    }
  }
  Outcome done = body();
  Outcome released = release(input, chord, chord.keys.size());
  return done.ok() ? released : done;
}

Outcome press_chord(ComputerInput& input, const Chord& chord, std::uint32_t hold_ms) {
  const std::uint32_t held_ms = std::max(hold_ms, kDefaultTypingPace.held_ms);
  return with_chord_held(input, chord, [&] { return input.wait_ms(held_ms); });
}

}  // namespace ondrel::computer
