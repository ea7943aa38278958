// Gemini's computer-use function calls, {"name": "click_at", "args": {"x":
// .., "y": ..}}, as https://ai.google.dev/gemini-api/docs/computer-use lists
// them. Coordinates and scroll magnitudes are on a 1000x1000 grid over the
// whole screen, whatever the screenshots' size. `intent`, the model's reason
// for the step, is accepted and left unread.
#include <array>
#include <cstdint>
#include <string>

#include "computer/action_context.h"
#include "computer/pointer_steps.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kGridMax = kGridSize - 1;
constexpr std::int64_t kDefaultMagnitude = 800;
constexpr double kWaitSeconds = 5;
constexpr std::int64_t kMaxCoordinate = 1'000'000;

ActionReply fail(const Outcome& outcome) { return ActionReply::from(outcome); }

Expected<Point> grid_point(const ActionContext& c, std::string_view x_name, std::string_view y_name) {
  Expected<std::int64_t> x = c.fields.integer(x_name, -kMaxCoordinate, kMaxCoordinate);
  if (!x.ok()) return x.outcome();
  Expected<std::int64_t> y = c.fields.integer(y_name, -kMaxCoordinate, kMaxCoordinate);
  if (!y.ok()) return y.outcome();
  const Point given{static_cast<std::int32_t>(x.value()), static_cast<std::int32_t>(y.value())};
  return c.grid_point(given, point_text(quoted(x_name) + ", " + quoted(y_name), given));
}

// The chord of `keys`, "control+c", pressed and let go.
Expected<Chord> named_chord(const ActionContext& c, std::string_view text) {
  Expected<Chord> chord = parse_chord(text);
  if (!chord.ok()) return c.in_field("keys", chord.outcome());
  return chord;
}

ActionReply click(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "intent"}); !known.ok()) return fail(known);
  Expected<Point> at = grid_point(c, "x", "y");
  if (!at.ok()) return fail(at.outcome());
  return fail(click_at(c.input, at.value(), Button::left, 1, Chord{}));
}

ActionReply hover(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "intent"}); !known.ok()) return fail(known);
  Expected<Point> at = grid_point(c, "x", "y");
  if (!at.ok()) return fail(at.outcome());
  return fail(c.input.move_to(at.value()));
}

// Clicks the field, selects all and deletes it (unless told not to), types,
// and presses Enter (unless told not to), as the documentation's own client does.
ActionReply type_text(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "text", "press_enter", "clear_before_typing", "intent"});
      !known.ok()) {
    return fail(known);
  }
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  Expected<bool> press_enter = c.fields.boolean("press_enter", true);
  if (!press_enter.ok()) return fail(press_enter.outcome());
  Expected<bool> clear = c.fields.boolean("clear_before_typing", true);
  if (!clear.ok()) return fail(clear.outcome());
  Expected<Point> at = grid_point(c, "x", "y");
  if (!at.ok()) return fail(at.outcome());
  const Chord select_all{{find_key("Control_L"), find_key("a")}};
  const Chord erase{{find_key("BackSpace")}};
  const Chord enter{{find_key("Return")}};
  if (Outcome clicked = click_at(c.input, at.value(), Button::left, 1, Chord{}); !clicked.ok()) return fail(clicked);
  if (clear.value()) {
    if (Outcome selected = press_chord(c.input, select_all, 0); !selected.ok()) return fail(selected);
    if (Outcome erased = press_chord(c.input, erase, 0); !erased.ok()) return fail(erased);
  }
  if (Outcome typed = c.input.write(text.value()); !typed.ok()) return fail(typed);
  return press_enter.value() ? fail(press_chord(c.input, enter, 0)) : ActionReply{};
}

ActionReply key_combination(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"keys", "intent"}); !known.ok()) return fail(known);
  Expected<std::string> keys = c.fields.string("keys");
  if (!keys.ok()) return fail(keys.outcome());
  Expected<Chord> chord = named_chord(c, keys.value());
  if (!chord.ok()) return fail(chord.outcome());
  return fail(press_chord(c.input, chord.value(), 0));
}

struct Direction {
  std::string_view name;
  std::int32_t dx;
  std::int32_t dy;
};
constexpr std::array<Direction, 4> kDirections{{{"up", 0, -1}, {"down", 0, 1}, {"left", -1, 0}, {"right", 1, 0}}};

// Scrolls `magnitude` grid steps in `direction` where the pointer is, or at
// the grid point `at`.
ActionReply scroll(const ActionContext& c, bool at_point) {
  const auto known = at_point ? c.fields.allow_only({"x", "y", "direction", "magnitude", "intent"})
                              : c.fields.allow_only({"direction", "intent"});
  if (!known.ok()) return fail(known);
  Expected<std::string> name = c.fields.string("direction");
  if (!name.ok()) return fail(name.outcome());
  const Direction* direction = nullptr;
  for (const Direction& candidate : kDirections) direction = candidate.name == name.value() ? &candidate : direction;
  if (!direction) return fail(c.fields.wrong(*c.fields.find("direction"), "up, down, left or right"));
  Expected<std::int64_t> magnitude = c.fields.integer("magnitude", 0, kGridMax, kDefaultMagnitude);
  if (!magnitude.ok()) return fail(magnitude.outcome());
  Expected<Size> screen = usable_screen_size(c.input);
  if (!screen.ok()) return fail(screen.outcome());
  std::optional<Point> at;
  if (at_point) {
    Expected<Point> point = grid_point(c, "x", "y");
    if (!point.ok()) return fail(point.outcome());
    at = point.value();
  }
  const std::int32_t extent = direction->dx != 0 ? screen.value().width : screen.value().height;
  const std::int32_t notches = pixels_to_notches(grid_length_to_screen(magnitude.value(), extent));
  return fail(scroll_at(c.input, at, direction->dx * notches, direction->dy * notches, Chord{}));
}

ActionReply drag_and_drop(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "destination_x", "destination_y", "intent"}); !known.ok()) {
    return fail(known);
  }
  Expected<Point> from = grid_point(c, "x", "y");
  if (!from.ok()) return fail(from.outcome());
  Expected<Point> to = grid_point(c, "destination_x", "destination_y");
  if (!to.ok()) return fail(to.outcome());
  const std::array<Point, 2> path{from.value(), to.value()};
  return fail(drag_along(c.input, path, Chord{}));
}

ActionReply wait_5_seconds(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"intent"}); !known.ok()) return fail(known);
  return fail(wait_seconds(c.input, kWaitSeconds));
}

ActionReply browser_function(const ActionContext& c) {
  return not_input_action(c, "a browser function", "the caller runs it in its browser");
}

constexpr auto kHandlers = std::to_array<ActionHandler>({
    {"click_at", &click},
    {"hover_at", &hover},
    {"type_text_at", &type_text},
    {"key_combination", &key_combination},
    {"scroll_document", [](const ActionContext& c) { return scroll(c, false); }},
    {"scroll_at", [](const ActionContext& c) { return scroll(c, true); }},
    {"drag_and_drop", &drag_and_drop},
    {"wait_5_seconds", &wait_5_seconds},
    {"open_web_browser", &browser_function},
    {"navigate", &browser_function},
    {"go_back", &browser_function},
    {"go_forward", &browser_function},
    {"search", &browser_function},
});

}  // namespace

ActionReply run_gemini_call(const ActionContext& context) { return dispatch(kHandlers, "Gemini function", context); }

}  // namespace ondrel::computer
