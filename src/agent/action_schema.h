#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "agent/agent_action.h"

namespace ondrel {

// One field of an action: its JSON name and where it goes.
template <class Action, class Member>
struct FieldSchema {
  using Type = Member;
  std::string_view name;
  Member Action::*member;
};

// One row of the tag table: the tag, the variant's name for messages, and the
// fields in the order that the array shape lists them.
template <class Action, class... Fields>
struct ActionSchema {
  using Type = Action;
  std::string_view tag;
  std::string_view variant;
  std::tuple<Fields...> fields;
};

template <class Action, class Member>
constexpr FieldSchema<Action, Member> field(std::string_view name, Member Action::*member) {
  return {name, member};
}

template <class Action, class... Members>
constexpr auto action(std::string_view tag, std::string_view variant, FieldSchema<Action, Members>... fields) {
  return ActionSchema<Action, FieldSchema<Action, Members>...>{tag, variant, {fields...}};
}

// clang-format off
inline constexpr auto kActionSchemas = std::make_tuple(
  //     tag                    variant               fields, in order
  action("mouse_move",          "MouseMove",          field("x", &MouseMove::x), field("y", &MouseMove::y)),
  action("mouse_click",         "MouseClick",         field("button", &MouseClick::button)),
  action("mouse_double_click",  "MouseDoubleClick",   field("button", &MouseDoubleClick::button)),
  action("mouse_down",          "MouseDown",          field("button", &MouseDown::button)),
  action("mouse_up",            "MouseUp",            field("button", &MouseUp::button)),
  action("mouse_scroll",        "MouseScroll",        field("delta", &MouseScroll::delta)),
  action("type",                "Type",               field("text", &Type::text)),
  action("key_press",           "KeyPress",           field("key", &KeyPress::key)),
  action("key_down",            "KeyDown",            field("key", &KeyDown::key)),
  action("key_up",              "KeyUp",              field("key", &KeyUp::key)),
  action("key_combo",           "KeyCombo",           field("modifiers", &KeyCombo::modifiers), field("key", &KeyCombo::key)),
  action("gamepad_press",       "GamepadPress",       field("button", &GamepadPress::button)),
  action("gamepad_release",     "GamepadRelease",     field("button", &GamepadRelease::button)),
  action("gamepad_left_stick",  "GamepadLeftStick",   field("x", &GamepadLeftStick::x), field("y", &GamepadLeftStick::y)),
  action("gamepad_right_stick", "GamepadRightStick",  field("x", &GamepadRightStick::x), field("y", &GamepadRightStick::y)),
  action("gamepad_triggers",    "GamepadTriggers",    field("left", &GamepadTriggers::left), field("right", &GamepadTriggers::right))
);
// clang-format on

inline constexpr std::size_t kActionCount = std::tuple_size_v<decltype(kActionSchemas)>;
static_assert(kActionCount == std::variant_size_v<AgentAction>);

template <std::size_t I>
inline constexpr const auto& kActionSchema = std::get<I>(kActionSchemas);

namespace schema_detail {
template <std::size_t... I>
constexpr bool rows_match_variant(std::index_sequence<I...>) {
  return (std::is_same_v<typename std::remove_cvref_t<decltype(kActionSchema<I>)>::Type,
                         std::variant_alternative_t<I, AgentAction>> &&
          ...);
}

template <std::size_t... I>
constexpr std::array<std::string_view, kActionCount> tags(std::index_sequence<I...>) {
  return {kActionSchema<I>.tag...};
}
}  // namespace schema_detail

static_assert(schema_detail::rows_match_variant(std::make_index_sequence<kActionCount>{}),
              "the tag table and AgentAction list the variants in the same order");

// The tags in table order, as the "unknown variant" message lists them.
inline constexpr std::array<std::string_view, kActionCount> kActionTags =
    schema_detail::tags(std::make_index_sequence<kActionCount>{});

}  // namespace ondrel
