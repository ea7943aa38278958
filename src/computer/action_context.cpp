#include "computer/action_context.h"

namespace ondrel::computer {

Expected<Point> ActionContext::screen_point(Point given, std::string_view what) const {
  Expected<Size> screen = usable_screen_size(input);
  if (!screen.ok()) return screen.outcome();
  return screenshot_to_screen(given, what, screen.value(), scaling);
}

Expected<Point> ActionContext::grid_point(Point given, std::string_view what) const {
  Expected<Size> screen = usable_screen_size(input);
  if (!screen.ok()) return screen.outcome();
  return grid_to_screen(given, what, screen.value());
}

Outcome ActionContext::in_field(std::string_view name, const Outcome& outcome) const {
  if (outcome.ok()) return outcome;
  return Outcome::failure(quoted(name) + " of " + quoted(fields.action()) + ": " + outcome.error());
}

Expected<Chord> ActionContext::chord_in_text(std::string_view name) const {
  Expected<std::optional<std::string>> text = fields.optional_string(name);
  if (!text.ok()) return text.outcome();
  if (!text.value() || text.value()->empty()) return Chord{};
  Expected<Chord> chord = parse_chord(*text.value());
  if (!chord.ok()) return in_field(name, chord.outcome());
  return chord;
}

Expected<Chord> ActionContext::chord_in_list(std::string_view name) const {
  if (!fields.find(name)) return Chord{};
  Expected<std::vector<std::string>> names = fields.strings(name);
  if (!names.ok()) return names.outcome();
  if (names.value().empty()) return Chord{};
  Expected<Chord> chord = parse_chord(names.value());
  if (!chord.ok()) return in_field(name, chord.outcome());
  return chord;
}

Expected<ScrollDirection> direction_field(const ActionFields& fields, std::string_view name) {
  Expected<std::string> text = fields.string(name);
  if (!text.ok()) return text.outcome();
  for (const ScrollDirection& direction : kScrollDirections) {
    if (direction.name == text.value()) return direction;
  }
  return fields.wrong(*fields.find(name), "up, down, left or right");
}

ActionReply dispatch(std::span<const ActionHandler> handlers, std::string_view vocabulary,
                     const ActionContext& context) {
  for (const ActionHandler& handler : handlers) {
    if (handler.name == context.fields.action()) return handler.run(context);
  }
  std::string message = "unknown " + std::string(vocabulary) + " " + quoted(context.fields.action()) +
                        "; expected one of ";
  for (std::size_t i = 0; i < handlers.size(); ++i) {
    if (i > 0) message += ", ";
    message += handlers[i].name;
  }
  return ActionReply::failed(std::move(message));
}

ActionReply not_input_action(const ActionContext& context, std::string_view kind, std::string_view what_to_do) {
  return ActionReply::failed(quoted(context.fields.action()) + " is " + std::string(kind) +
                             ", not an input action: " + std::string(what_to_do));
}

}  // namespace ondrel::computer
