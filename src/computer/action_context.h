#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "computer/action_fields.h"
#include "computer/action_reply.h"
#include "computer/chord.h"
#include "computer/coordinates.h"

namespace ondrel::computer {

// What one action runs with. The helpers read and check a field completely,
// so that a vocabulary's handler sends nothing until every field is good.
struct ActionContext {
  const ActionFields& fields;
  ComputerInput& input;
  const Scaling& scaling;

  // A point of the model's screenshot (or screen) as a screen pixel.
  Expected<Point> screen_point(Point given, std::string_view what) const;
  // A point on Gemini's grid as a screen pixel.
  Expected<Point> grid_point(Point given, std::string_view what) const;

  // The chord in the string field `name`; absent or empty is no key.
  Expected<Chord> chord_in_text(std::string_view name) const;
  // The chord in the list field `name`; absent is no key.
  Expected<Chord> chord_in_list(std::string_view name) const;

  // `outcome` failed in field `name`: the message says where.
  Outcome in_field(std::string_view name, const Outcome& outcome) const;
};

// The largest coordinate a vocabulary reads as a number before it checks the
// point against the screen (or grid), which refuses it with its own message.
inline constexpr std::int64_t kLargestCoordinateRead = 1'000'000;

// A scroll direction by name: dy > 0 is down, dx > 0 right.
struct ScrollDirection {
  std::string_view name;
  std::int32_t dx;
  std::int32_t dy;
};
inline constexpr std::array<ScrollDirection, 4> kScrollDirections{
    {{"up", 0, -1}, {"down", 0, 1}, {"left", -1, 0}, {"right", 1, 0}}};

// The direction in string field `name`, checked.
Expected<ScrollDirection> direction_field(const ActionFields& fields, std::string_view name);

// One action of a vocabulary.
struct ActionHandler {
  std::string_view name;
  ActionReply (*run)(const ActionContext&);
};

// Runs the handler named context.fields.action(), or answers which names
// the vocabulary has.
ActionReply dispatch(std::span<const ActionHandler> handlers, std::string_view vocabulary,
                     const ActionContext& context);

// The answer to an action that the caller must carry out itself.
ActionReply not_input_action(const ActionContext& context, std::string_view kind, std::string_view what_to_do);

// Vocabularies, recognised by run_computer_action.
ActionReply run_anthropic_action(const ActionContext& context);
ActionReply run_openai_action(const ActionContext& context);
ActionReply run_gemini_call(const ActionContext& context);

}  // namespace ondrel::computer
