// Gemini's computer-use function calls, {"name": "click", "args": {"x": ..,
// "y": ..}}, as https://ai.google.dev/gemini-api/docs/computer-use lists
// them: the names of Gemini 3.5 (click, type, press_key, hotkey, scroll, ...)
// and the older ones (click_at, type_text_at, ...), each with the defaults
// of the documentation's reference client. Coordinates and scroll
// magnitudes are on a 1000x1000 grid over the whole screen, whatever the
// screenshots' size. `intent`, the model's reason for the step, is accepted
// and left unread.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "computer/action_context.h"
#include "computer/pointer_steps.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kGridMax = kGridSize - 1;
constexpr std::int64_t kDefaultMagnitude = 800;
constexpr double kLegacyWaitSeconds = 5;
constexpr double kWaitSeconds = 1;

ActionReply fail(const Outcome& outcome) { return ActionReply::from(outcome); }

Expected<Point> grid_point(const ActionContext& c, std::string_view x_name, std::string_view y_name) {
  Expected<std::int64_t> x = c.fields.integer(x_name, -kLargestCoordinateRead, kLargestCoordinateRead);
  if (!x.ok()) return x.outcome();
  Expected<std::int64_t> y = c.fields.integer(y_name, -kLargestCoordinateRead, kLargestCoordinateRead);
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

// The grid point (x, y), or none when both are absent and none is required.
Expected<std::optional<Point>> optional_grid_point(const ActionContext& c, bool required) {
  if (!required && !c.fields.find("x") && !c.fields.find("y")) return std::optional<Point>();
  Expected<Point> at = grid_point(c, "x", "y");
  if (!at.ok()) return at.outcome();
  return std::optional<Point>(at.value());
}

// A click of `button`, `count` times, at (x, y) or, when `point_required` is
// false and no point is given, where the pointer is.
ActionReply click(const ActionContext& c, Button button, int count, bool point_required) {
  if (Outcome known = c.fields.allow_only({"x", "y", "intent"}); !known.ok()) return fail(known);
  Expected<std::optional<Point>> at = optional_grid_point(c, point_required);
  if (!at.ok()) return fail(at.outcome());
  return fail(click_at(c.input, at.value(), button, count, Chord{}));
}

ActionReply hover(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "intent"}); !known.ok()) return fail(known);
  Expected<Point> at = grid_point(c, "x", "y");
  if (!at.ok()) return fail(at.outcome());
  return fail(c.input.move_to(at.value()));
}

struct ButtonName {
  std::string_view name;
  Button button;
};
constexpr std::array<ButtonName, 3> kButtons{
    {{"left", Button::left}, {"right", Button::right}, {"middle", Button::middle}}};

// A button down or up, after moving to (x, y) when given.
ActionReply mouse_button(const ActionContext& c, bool down) {
  if (Outcome known = c.fields.allow_only({"x", "y", "button", "intent"}); !known.ok()) return fail(known);
  Button button = Button::left;
  Expected<std::optional<std::string>> name = c.fields.optional_string("button");
  if (!name.ok()) return fail(name.outcome());
  if (name.value()) {
    const ButtonName* found = nullptr;
    for (const ButtonName& candidate : kButtons) found = candidate.name == *name.value() ? &candidate : found;
    if (!found) return fail(c.fields.wrong(*c.fields.find("button"), "left, right or middle"));
    button = found->button;
  }
  Expected<std::optional<Point>> at = optional_grid_point(c, false);
  if (!at.ok()) return fail(at.outcome());
  if (at.value()) {
    if (Outcome moved = c.input.move_to(*at.value()); !moved.ok()) return fail(moved);
  }
  return fail(c.input.button(button, down));
}

// Types where the focus is: no click, no clearing, no Enter.
ActionReply type(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"text", "intent"}); !known.ok()) return fail(known);
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  return fail(c.input.write(text.value()));
}

// The chord in field `key` or `keys`: "control+c", or a list of names.
Expected<Chord> chord_field(const ActionContext& c) {
  const std::string_view name = c.fields.find("keys") ? "keys" : "key";
  const JsonMember* member = c.fields.find(name);
  if (!member) return c.fields.missing("key");
  if (std::holds_alternative<JsonArray>(member->value)) return c.chord_in_list(name);
  Expected<std::string> text = c.fields.string(name);
  if (!text.ok()) return text.outcome();
  Expected<Chord> chord = parse_chord(text.value());
  if (!chord.ok()) return c.in_field(name, chord.outcome());
  return chord;
}

ActionReply press_key(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"key", "keys", "intent"}); !known.ok()) return fail(known);
  Expected<Chord> chord = chord_field(c);
  if (!chord.ok()) return fail(chord.outcome());
  return fail(press_chord(c.input, chord.value(), 0));
}

// Keys down in order (they stay down), or up in reverse.
ActionReply key_transition(const ActionContext& c, bool down) {
  if (Outcome known = c.fields.allow_only({"key", "keys", "intent"}); !known.ok()) return fail(known);
  Expected<Chord> chord = chord_field(c);
  if (!chord.ok()) return fail(chord.outcome());
  const std::vector<const KeyRow*>& keys = chord.value().keys;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const KeyRow& key = *keys[down ? i : keys.size() - 1 - i];
    if (Outcome sent = c.input.key(key, down); !sent.ok()) return fail(sent);
  }
  return {};
}

ActionReply wait(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"seconds", "duration", "intent"}); !known.ok()) return fail(known);
  const std::string_view name = c.fields.find("duration") ? "duration" : "seconds";
  Expected<double> seconds = c.fields.number(name, 0, kMaxWaitSeconds, kWaitSeconds);
  if (!seconds.ok()) return fail(seconds.outcome());
  return fail(wait_seconds(c.input, seconds.value()));
}

// Clicks the field, selects all and deletes it (unless told not to), types,
// and presses Enter only when asked, as the documentation's own client does.
ActionReply type_text(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"x", "y", "text", "press_enter", "clear_before_typing", "intent"});
      !known.ok()) {
    return fail(known);
  }
  Expected<std::string> text = c.fields.string("text");
  if (!text.ok()) return fail(text.outcome());
  Expected<bool> press_enter = c.fields.boolean("press_enter", false);
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

// Scrolls `magnitude` grid steps (800 unless given) of the screen's height
// or width in `direction`, at the grid point (x, y) when given.
ActionReply scroll(const ActionContext& c, bool point_required) {
  if (Outcome known = c.fields.allow_only({"x", "y", "direction", "magnitude", "intent"}); !known.ok()) {
    return fail(known);
  }
  Expected<ScrollDirection> direction = direction_field(c.fields, "direction");
  if (!direction.ok()) return fail(direction.outcome());
  Expected<std::int64_t> magnitude = c.fields.integer("magnitude", 0, kGridMax, kDefaultMagnitude);
  if (!magnitude.ok()) return fail(magnitude.outcome());
  Expected<Size> screen = usable_screen_size(c.input);
  if (!screen.ok()) return fail(screen.outcome());
  Expected<std::optional<Point>> at = optional_grid_point(c, point_required);
  if (!at.ok()) return fail(at.outcome());
  const ScrollDirection& d = direction.value();
  const std::int32_t extent = d.dx != 0 ? screen.value().width : screen.value().height;
  const std::int32_t notches = pixels_to_notches(grid_length_to_screen(magnitude.value(), extent));
  return fail(scroll_at(c.input, at.value(), d.dx * notches, d.dy * notches, Chord{}));
}

// The whole document a page up or down, with the keys the reference client
// presses; sideways, the wheel turns half the screen's width, as far as its
// horizontal scroll goes.
ActionReply scroll_document(const ActionContext& c) {
  if (Outcome known = c.fields.allow_only({"direction", "intent"}); !known.ok()) return fail(known);
  Expected<ScrollDirection> direction = direction_field(c.fields, "direction");
  if (!direction.ok()) return fail(direction.outcome());
  const ScrollDirection& d = direction.value();
  if (d.dy != 0) {
    const Chord page{{find_key(d.dy > 0 ? "Page_Down" : "Page_Up")}};
    return fail(press_chord(c.input, page, 0));
  }
  Expected<Size> screen = usable_screen_size(c.input);
  if (!screen.ok()) return fail(screen.outcome());
  return fail(scroll_at(c.input, std::nullopt, d.dx * pixels_to_notches(screen.value().width / 2), 0, Chord{}));
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
  return fail(wait_seconds(c.input, kLegacyWaitSeconds));
}

ActionReply browser_function(const ActionContext& c) {
  return ActionReply::failed(quoted(c.fields.action()) + " is a browser function, not available on a desktop");
}

ActionReply screenshot(const ActionContext& c) {
  return not_input_action(c, "a screen capture", "the caller takes the screenshot");
}

constexpr auto kHandlers = std::to_array<ActionHandler>({
    // Gemini 3.5
    {"click", [](const ActionContext& c) { return click(c, Button::left, 1, false); }},
    {"double_click", [](const ActionContext& c) { return click(c, Button::left, 2, false); }},
    {"triple_click", [](const ActionContext& c) { return click(c, Button::left, 3, false); }},
    {"middle_click", [](const ActionContext& c) { return click(c, Button::middle, 1, false); }},
    {"right_click", [](const ActionContext& c) { return click(c, Button::right, 1, false); }},
    {"mouse_down", [](const ActionContext& c) { return mouse_button(c, true); }},
    {"mouse_up", [](const ActionContext& c) { return mouse_button(c, false); }},
    {"move", &hover},
    {"type", &type},
    {"wait", &wait},
    {"press_key", &press_key},
    {"key_down", [](const ActionContext& c) { return key_transition(c, true); }},
    {"key_up", [](const ActionContext& c) { return key_transition(c, false); }},
    {"hotkey", &press_key},
    {"take_screenshot", &screenshot},
    {"scroll", [](const ActionContext& c) { return scroll(c, false); }},
    // the earlier names (drag_and_drop is both)
    {"click_at", [](const ActionContext& c) { return click(c, Button::left, 1, true); }},
    {"hover_at", &hover},
    {"type_text_at", &type_text},
    {"key_combination", &key_combination},
    {"scroll_document", &scroll_document},
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
