// Anthropic's computer tool: the tool_use block's `input`, {"action": ...,
// "coordinate": [x, y], "text", ...}, as
// https://platform.claude.com/docs/en/agents-and-tools/tool-use/computer-use-tool
// and the SDK's input types describe it. Coordinates are pixels of the
// screenshots the model sees.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "computer/action_context.h"
#include "computer/keysym_characters.h"
#include "computer/pointer_steps.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kMaxRepeat = 100;
constexpr std::int64_t kMaxScrollAmount = 100;

ActionReply fail(const Outcome& outcome) { return ActionReply::from(outcome); }

// The point in [x, y] field `name`, as a screen pixel; absent stays absent.
Expected<std::optional<Point>> point_field(const ActionContext& c, std::string_view name) {
  Expected<std::optional<Point>> given = c.fields.optional_pair(name);
  if (!given.ok() || !given.value()) return given;
  const Point p = *given.value();
  Expected<Point> pixel =
      c.screen_point(p, quoted(name) + " [" + std::to_string(p.x) + ", " + std::to_string(p.y) + "]");
  if (!pixel.ok()) return pixel.outcome();
  return std::optional<Point>(pixel.value());
}

Expected<Point> required_point(const ActionContext& c, std::string_view name) {
  Expected<std::optional<Point>> point = point_field(c, name);
  if (!point.ok()) return point.outcome();
  if (!point.value()) return c.fields.missing(name);
  return *point.value();
}

// One step of xdotool's key syntax: a chord, or a keysym that no key
// carries, which is written as its character.
struct KeyStep {
  Chord chord;
  std::string text;
};

// xdotool's key syntax: chords joined by "+", several in turn when
// separated by spaces ("ctrl+a BackSpace").
Expected<std::vector<KeyStep>> key_sequence(const ActionContext& c, const std::string& text) {
  std::vector<KeyStep> steps;
  std::size_t start = 0;
  while (true) {
    start = text.find_first_not_of(" \t\n\r", start);
    if (start == std::string::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t\n\r", start), text.size());
    const std::string_view token = std::string_view(text).substr(start, end - start);
    Expected<Chord> chord = parse_chord(token);
    if (chord.ok()) {
      steps.push_back({chord.value(), {}});
    } else if (std::optional<std::string> character = keysym_character(token)) {
      steps.push_back({Chord{}, *character});
    } else {
      return c.in_field("text", chord.outcome());
    }
    start = end;
  }
  if (steps.empty()) return c.in_field("text", Outcome::failure("no key in " + quoted(text)));
  return steps;
}

ActionReply key(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"text", "repeat"}); !known.ok()) return fail(known);
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  Expected<std::int64_t> repeat = c.fields.integer("repeat", 1, kMaxRepeat, 1);
  if (!repeat.ok()) return fail(repeat.outcome());
  Expected<std::vector<KeyStep>> steps = key_sequence(c, text.value());
  if (!steps.ok()) return fail(steps.outcome());
  for (std::int64_t i = 0; i < repeat.value(); ++i) {
    for (const KeyStep& step : steps.value()) {
      const Outcome done = step.text.empty() ? press_chord(c.input, step.chord, 0) : c.input.write(step.text);
      if (!done.ok()) return fail(done);
    }
  }
  return {};
}

ActionReply hold_key(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"text", "duration"}); !known.ok()) return fail(known);
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  Expected<double> duration = c.fields.number("duration", 0, kMaxWaitSeconds, std::nullopt);
  if (!duration.ok()) return fail(duration.outcome());
  Expected<Chord> chord = parse_chord(text.value());
  if (!chord.ok()) return fail(c.in_field("text", chord.outcome()));
  const auto hold_ms = static_cast<std::uint32_t>(duration.value() * 1000 + 0.5);
  return fail(press_chord(c.input, chord.value(), hold_ms));
}

ActionReply type(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"text"}); !known.ok()) return fail(known);
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  return fail(c.input.write(text.value()));
}

ActionReply cursor_position(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({}); !known.ok()) return fail(known);
  Expected<Size> screen = usable_screen_size(c.input);
  if (!screen.ok()) return fail(screen.outcome());
  Expected<Point> position = c.input.position();
  if (!position.ok()) return fail(position.outcome());
  ActionReply reply;
  reply.cursor = screen_to_screenshot(position.value(), screen.value(), c.scaling);
  return reply;
}

ActionReply mouse_move(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"coordinate"}); !known.ok()) return fail(known);
  Expected<Point> at = required_point(c, "coordinate");
  if (!at.ok()) return fail(at.outcome());
  return fail(c.input.move_to(at.value()));
}

ActionReply left_button(const ActionContext& c, bool down) {
  if (Outcome known = c.fields.allow_only({"coordinate"}); !known.ok()) return fail(known);
  Expected<std::optional<Point>> at = point_field(c, "coordinate");
  if (!at.ok()) return fail(at.outcome());
  if (at.value()) {
    if (Outcome moved = c.input.move_to(*at.value()); !moved.ok()) return fail(moved);
  }
  return fail(c.input.button(Button::left, down));
}

// Clicks where `coordinate` says or where the pointer is, holding the keys
// in `text` ("shift", "ctrl+shift").
ActionReply click(const ActionContext& c, Button button, int count) {
  if (Outcome known = c.fields.allow_only({"coordinate", "text"}); !known.ok()) return fail(known);
  Expected<Chord> held = c.chord_in_text("text");
  if (!held.ok()) return fail(held.outcome());
  Expected<std::optional<Point>> at = point_field(c, "coordinate");
  if (!at.ok()) return fail(at.outcome());
  return fail(click_at(c.input, at.value(), button, count, held.value()));
}

ActionReply left_click_drag(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"start_coordinate", "coordinate", "text"}); !known.ok()) return fail(known);
  Expected<Chord> held = c.chord_in_text("text");
  if (!held.ok()) return fail(held.outcome());
  Expected<Point> from = required_point(c, "start_coordinate");
  if (!from.ok()) return fail(from.outcome());
  Expected<Point> to = required_point(c, "coordinate");
  if (!to.ok()) return fail(to.outcome());
  const std::array<Point, 2> path{from.value(), to.value()};
  return fail(drag_along(c.input, path, held.value()));
}

ActionReply scroll(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"coordinate", "scroll_direction", "scroll_amount", "text"}); !known.ok()) {
    return fail(known);
  }
  Expected<ScrollDirection> direction = direction_field(c.fields, "scroll_direction");
  if (!direction.ok()) return fail(direction.outcome());
  Expected<std::int64_t> amount = c.fields.integer("scroll_amount", 0, kMaxScrollAmount);
  if (!amount.ok()) return fail(amount.outcome());
  Expected<Chord> held = c.chord_in_text("text");
  if (!held.ok()) return fail(held.outcome());
  Expected<std::optional<Point>> at = point_field(c, "coordinate");
  if (!at.ok()) return fail(at.outcome());
  const auto notches = static_cast<std::int32_t>(amount.value());
  return fail(scroll_at(c.input, at.value(), direction.value().dx * notches, direction.value().dy * notches,
                        held.value()));
}

ActionReply wait(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"duration"}); !known.ok()) return fail(known);
  // A wait is never cut short: one longer than the longest is refused.
  Expected<double> seconds = c.fields.number("duration", 0, kMaxWaitSeconds, 1.0);
  if (!seconds.ok()) return fail(seconds.outcome());
  return fail(wait_seconds(c.input, seconds.value()));
}

constexpr auto kHandlers = std::to_array<ActionHandler>({
    {"key", &key},
    {"hold_key", &hold_key},
    {"type", &type},
    {"cursor_position", &cursor_position},
    {"mouse_move", &mouse_move},
    {"left_mouse_down", [](const ActionContext& c) { return left_button(c, true); }},
    {"left_mouse_up", [](const ActionContext& c) { return left_button(c, false); }},
    {"left_click", [](const ActionContext& c) { return click(c, Button::left, 1); }},
    {"right_click", [](const ActionContext& c) { return click(c, Button::right, 1); }},
    {"middle_click", [](const ActionContext& c) { return click(c, Button::middle, 1); }},
    {"double_click", [](const ActionContext& c) { return click(c, Button::left, 2); }},
    {"triple_click", [](const ActionContext& c) { return click(c, Button::left, 3); }},
    {"left_click_drag", &left_click_drag},
    {"scroll", &scroll},
    {"wait", &wait},
    {"screenshot",
     [](const ActionContext& c) { return not_input_action(c, "a screen capture", "the caller takes the screenshot"); }},
    {"zoom",
     [](const ActionContext& c) {
       return not_input_action(c, "a screen capture", "the caller crops and scales the screenshot");
     }},
});

}  // namespace

ActionReply run_anthropic_action(const ActionContext& context) {
  return dispatch(kHandlers, "Anthropic action", context);
}

}  // namespace ondrel::computer
