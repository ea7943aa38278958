// OpenAI's computer tool: the `action` of a computer_call, {"type": "click",
// "x": .., "y": .., "button": ..}, as
// https://platform.openai.com/docs/guides/tools-computer-use and the API
// reference's ComputerAction describe it. Coordinates are pixels of the
// screenshots the model sees; `keys` are held during pointer actions.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "computer/action_context.h"
#include "computer/pointer_steps.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kMaxScrollPixels = 1'000'000;
// The wait action has no duration.
constexpr double kWaitSeconds = 1;

ActionReply fail(const Outcome& outcome) { return ActionReply::from(outcome); }

Expected<Point> xy_point(const ActionContext& c) {
  Expected<std::int64_t> x = c.fields.integer("x", -kLargestCoordinateRead, kLargestCoordinateRead);
  if (!x.ok()) return x.outcome();
  Expected<std::int64_t> y = c.fields.integer("y", -kLargestCoordinateRead, kLargestCoordinateRead);
  if (!y.ok()) return y.outcome();
  const Point given{static_cast<std::int32_t>(x.value()), static_cast<std::int32_t>(y.value())};
  return c.screen_point(given, point_text("`x`, `y`", given));
}

struct ButtonName {
  std::string_view name;
  Button button;
};
constexpr std::array<ButtonName, 5> kButtons{{{"left", Button::left},
                                              {"right", Button::right},
                                              {"wheel", Button::middle},
                                              {"back", Button::back},
                                              {"forward", Button::forward}}};

Expected<Button> button_field(const ActionContext& c) {
  Expected<std::optional<std::string>> name = c.fields.optional_string("button");
  if (!name.ok()) return name.outcome();
  if (!name.value()) return Button::left;
  for (const ButtonName& candidate : kButtons) {
    if (candidate.name == *name.value()) return candidate.button;
  }
  return c.fields.wrong(*c.fields.find("button"), "left, right, wheel, back or forward");
}

ActionReply click(const ActionContext& c, int count) {
  if (Outcome known = c.fields.allow_only({"x", "y", "button", "keys"}); !known.ok()) return fail(known);
  Expected<Button> button = button_field(c);
  if (!button.ok()) return fail(button.outcome());
  Expected<Chord> held = c.chord_in_list("keys");
  if (!held.ok()) return fail(held.outcome());
  Expected<Point> at = xy_point(c);
  if (!at.ok()) return fail(at.outcome());
  return fail(click_at(c.input, at.value(), button.value(), count, held.value()));
}

ActionReply drag(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"path", "keys"}); !known.ok()) return fail(known);
  Expected<Chord> held = c.chord_in_list("keys");
  if (!held.ok()) return fail(held.outcome());
  Expected<std::vector<Point>> path = c.fields.points("path");
  if (!path.ok()) return fail(path.outcome());
  if (path.value().size() < 2) {
    return ActionReply::failed("`path` of `drag` needs at least 2 points, got " +
                               std::to_string(path.value().size()));
  }
  std::vector<Point> pixels;
  for (std::size_t i = 0; i < path.value().size(); ++i) {
    const Point given = path.value()[i];
    Expected<Point> pixel = c.screen_point(given, point_text("`path[" + std::to_string(i) + "]`", given));
    if (!pixel.ok()) return fail(pixel.outcome());
    pixels.push_back(pixel.value());
  }
  return fail(drag_along(c.input, pixels, held.value()));
}

ActionReply keypress(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"keys"}); !known.ok()) return fail(known);
  Expected<std::vector<std::string>> names = c.fields.strings("keys");
  if (!names.ok()) return fail(names.outcome());
  Expected<Chord> chord = parse_chord(names.value());
  if (!chord.ok()) return fail(c.in_field("keys", chord.outcome()));
  return fail(press_chord(c.input, chord.value(), 0));
}

ActionReply move(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "keys"}); !known.ok()) return fail(known);
  Expected<Chord> held = c.chord_in_list("keys");
  if (!held.ok()) return fail(held.outcome());
  Expected<Point> at = xy_point(c);
  if (!at.ok()) return fail(at.outcome());
  return fail(with_chord_held(c.input, held.value(), [&] { return c.input.move_to(at.value()); }));
}

ActionReply scroll(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "scroll_x", "scroll_y", "keys"}); !known.ok()) return fail(known);
  Expected<std::int64_t> scroll_x = c.fields.integer("scroll_x", -kMaxScrollPixels, kMaxScrollPixels);
  if (!scroll_x.ok()) return fail(scroll_x.outcome());
  Expected<std::int64_t> scroll_y = c.fields.integer("scroll_y", -kMaxScrollPixels, kMaxScrollPixels);
  if (!scroll_y.ok()) return fail(scroll_y.outcome());
  Expected<Chord> held = c.chord_in_list("keys");
  if (!held.ok()) return fail(held.outcome());
  Expected<Point> at = xy_point(c);
  if (!at.ok()) return fail(at.outcome());
  return fail(scroll_at(c.input, at.value(), pixels_to_notches(scroll_x.value()), pixels_to_notches(scroll_y.value()),
                        held.value()));
}

ActionReply type(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"text"}); !known.ok()) return fail(known);
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  return fail(c.input.write(text.value()));
}

ActionReply wait(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({}); !known.ok()) return fail(known);
  return fail(wait_seconds(c.input, kWaitSeconds));
}

constexpr auto kHandlers = std::to_array<ActionHandler>({
    {"click", [](const ActionContext& c) { return click(c, 1); }},
    {"double_click", [](const ActionContext& c) { return click(c, 2); }},
    {"drag", &drag},
    {"keypress", &keypress},
    {"move", &move},
    {"scroll", &scroll},
    {"type", &type},
    {"wait", &wait},
    {"screenshot",
     [](const ActionContext& c) { return not_input_action(c, "a screen capture", "the caller takes the screenshot"); }},
});

}  // namespace

ActionReply run_openai_action(const ActionContext& context) { return dispatch(kHandlers, "OpenAI action", context); }

}  // namespace ondrel::computer
