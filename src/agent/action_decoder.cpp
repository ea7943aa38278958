#include "agent/action_decoder.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "agent/action_schema.h"
#include "agent/field_conversion.h"
#include "json/json_reader.h"
#include "json/json_string.h"
#include "agent/value_description.h"

namespace ondrel {
namespace {

constexpr std::string_view kTagName = "action";

struct BufferedMember {
  JsonString name;
  JsonValue value;
};

// ---- Messages --------------------------------------------------------------

std::string unknown_variant(std::string_view tag) {
  std::string message = "unknown variant `";
  message += tag;
  message += "`, expected one of ";
  for (std::size_t i = 0; i < kActionTags.size(); ++i) {
    if (i > 0) message += ", ";
    message += '`';
    message += kActionTags[i];
    message += '`';
  }
  return message;
}

std::string field_message(std::string_view what, std::string_view field) {
  std::string message(what);
  message += " `";
  message += field;
  message += '`';
  return message;
}

std::string elements(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " element" : " elements");
}

std::string too_few_elements(std::size_t given, std::string_view variant, std::size_t fields) {
  std::string message = "invalid length " + std::to_string(given) + ", expected struct variant AgentAction::";
  message += variant;
  message += " with ";
  message += elements(fields);
  return message;
}

std::string too_many_elements(std::size_t given, std::size_t fields) {
  return "invalid length " + std::to_string(given) + ", expected " + elements(fields) + " in sequence";
}

// ---- Field assignment -------------------------------------------------------

template <class T>
inline constexpr bool kIsOptional = false;
template <class T>
inline constexpr bool kIsOptional<std::optional<T>> = true;

template <std::size_t I>
constexpr std::size_t kFieldCount = std::tuple_size_v<decltype(kActionSchema<I>.fields)>;

// Calls visit(std::integral_constant<std::size_t, F>) for the fields of
// action I in table order until one returns true.
template <std::size_t I, class Visit>
bool visit_fields_until(Visit&& visit) {
  return [&]<std::size_t... F>(std::index_sequence<F...>) {
    return (visit(std::integral_constant<std::size_t, F>{}) || ...);
  }(std::make_index_sequence<kFieldCount<I>>{});
}

// Object shape: members in text order; names that are no field are ignored.
template <std::size_t I>
FieldError assign_members(std::span<const BufferedMember> members, AgentAction& out) {
  auto& action = out.emplace<I>();
  std::array<bool, kFieldCount<I>> assigned{};
  for (const BufferedMember& member : members) {
    FieldError error;
    visit_fields_until<I>([&](auto index) {
      constexpr std::size_t f = decltype(index)::value;
      const auto& field = std::get<f>(kActionSchema<I>.fields);
      if (!string_equals(member.name, field.name)) return false;
      if (assigned[f]) {
        error = field_message("duplicate field", field.name);
      } else {
        error = convert_field(member.value, action.*field.member);
        assigned[f] = true;
      }
      return true;
    });
    if (error) return error;
  }
  FieldError missing;
  visit_fields_until<I>([&](auto index) {
    constexpr std::size_t f = decltype(index)::value;
    const auto& field = std::get<f>(kActionSchema<I>.fields);
    using Type = typename std::remove_cvref_t<decltype(field)>::Type;
    if (assigned[f] || kIsOptional<Type>) return false;
    missing = field_message("missing field", field.name);
    return true;
  });
  return missing;
}

// Array shape: elements by position; an optional field needs its element too.
template <std::size_t I>
FieldError assign_elements(std::span<const JsonValue> elements, AgentAction& out) {
  auto& action = out.emplace<I>();
  constexpr std::size_t count = kFieldCount<I>;
  FieldError error;
  visit_fields_until<I>([&](auto index) {
    constexpr std::size_t f = decltype(index)::value;
    if (f >= elements.size()) {
      error = too_few_elements(elements.size(), kActionSchema<I>.variant, count);
    } else {
      error = convert_field(elements[f], action.*std::get<f>(kActionSchema<I>.fields).member);
    }
    return error.has_value();
  });
  if (error) return error;
  if (elements.size() > count) return too_many_elements(elements.size(), count);
  return std::nullopt;
}

using MemberAssigner = FieldError (*)(std::span<const BufferedMember>, AgentAction&);
using ElementAssigner = FieldError (*)(std::span<const JsonValue>, AgentAction&);

template <std::size_t... I>
constexpr std::array<MemberAssigner, kActionCount> member_assigners(std::index_sequence<I...>) {
  return {&assign_members<I>...};
}

template <std::size_t... I>
constexpr std::array<ElementAssigner, kActionCount> element_assigners(std::index_sequence<I...>) {
  return {&assign_elements<I>...};
}

constexpr auto kMemberAssigners = member_assigners(std::make_index_sequence<kActionCount>{});
constexpr auto kElementAssigners = element_assigners(std::make_index_sequence<kActionCount>{});

std::optional<std::size_t> find_tag(std::string_view tag) {
  for (std::size_t i = 0; i < kActionTags.size(); ++i) {
    if (kActionTags[i] == tag) return i;
  }
  return std::nullopt;
}

// ---- Reading the text ---------------------------------------------------------

// Reads the text once: the tag and the other members or elements are found in
// a first pass, then assigned to the tag's fields. Every step returns false
// after recording the failure message.
class ActionDecoder {
 public:
  explicit ActionDecoder(std::string_view text) : text_(text), reader_(text) {}

  DecodeResult decode();

 private:
  bool read_action(AgentAction& action);
  bool read_object_shape(AgentAction& action);
  bool read_array_shape(AgentAction& action);
  bool read_tag(std::size_t& index);
  bool reject_top_level_value();
  bool expect_end();
  bool assigned(FieldError error);

  bool fail_syntax();
  bool fail_at(std::string message, std::size_t offset);

  std::string_view text_;
  JsonReader reader_;
  std::string message_;
};

DecodeResult ActionDecoder::decode() {
  AgentAction action;
  // The trailing-characters check comes last: a failure inside the action
  // outranks it.
  if (!read_action(action) || !expect_end()) return DecodeResult::failure(std::move(message_));
  return DecodeResult::success(std::move(action));
}

bool ActionDecoder::expect_end() { return reader_.expect_end() || fail_syntax(); }

bool ActionDecoder::read_action(AgentAction& action) {
  const std::optional<char> first = reader_.peek();
  if (first == '{') return read_object_shape(action);
  if (first == '[') return read_array_shape(action);
  return reject_top_level_value();
}

bool ActionDecoder::reject_top_level_value() {
  JsonValue value;
  if (!reader_.read_value(value)) return fail_syntax();
  return fail_at(invalid_type(value, "internally tagged enum AgentAction"), reader_.offset());
}

bool ActionDecoder::read_object_shape(AgentAction& action) {
  (void)reader_.enter_container();  // the first level always fits
  std::optional<std::size_t> tag;
  std::vector<BufferedMember> members;
  JsonString name;
  for (bool first = true;;) {
    const JsonReader::Next next = reader_.next_member(first, name);
    if (next == JsonReader::Next::Failed) return fail_syntax();
    if (next == JsonReader::Next::End) break;
    if (string_equals(name, kTagName)) {
      if (tag) {
        // Reported just after the repeated name, before its value is read.
        return fail_at(field_message("duplicate field", kTagName), reader_.offset());
      }
      std::size_t index = 0;
      if (!reader_.read_colon()) return fail_syntax();
      if (!read_tag(index)) return false;
      tag = index;
    } else {
      BufferedMember& member = members.emplace_back(BufferedMember{name, JsonNull{}});
      if (!reader_.read_colon() || !reader_.read_value(member.value)) return fail_syntax();
    }
  }
  reader_.leave_container();
  if (!tag) return fail_at(field_message("missing field", kTagName), reader_.offset());
  return assigned(kMemberAssigners[*tag](members, action));
}

bool ActionDecoder::read_array_shape(AgentAction& action) {
  (void)reader_.enter_container();  // the first level always fits
  bool first = true;
  const JsonReader::Next next = reader_.next_element(first);
  if (next == JsonReader::Next::Failed) return fail_syntax();
  if (next == JsonReader::Next::End) {
    reader_.leave_container();
    return fail_at(field_message("missing field", kTagName), reader_.offset());
  }
  std::size_t tag = 0;
  if (!read_tag(tag)) return false;
  std::vector<JsonValue> elements;
  while (true) {
    const JsonReader::Next after = reader_.next_element(first);
    if (after == JsonReader::Next::Failed) return fail_syntax();
    if (after == JsonReader::Next::End) break;
    if (!reader_.read_value(elements.emplace_back())) return fail_syntax();
  }
  reader_.leave_container();
  return assigned(kElementAssigners[tag](elements, action));
}

// The tag must be a string naming a variant. Either failure stops reading at
// once; an array or object tag is reported before it is read.
bool ActionDecoder::read_tag(std::size_t& index) {
  constexpr std::string_view kExpected = "variant identifier";
  const std::optional<char> next = reader_.peek();
  if (next == '[') return fail_at(invalid_type(JsonArray{}, kExpected), reader_.offset());
  if (next == '{') return fail_at(invalid_type(JsonObject{}, kExpected), reader_.offset());
  JsonValue value;
  if (!reader_.read_value(value)) return fail_syntax();
  const auto* tag = std::get_if<JsonString>(&value);
  if (!tag) return fail_at(invalid_type(value, kExpected), reader_.offset());
  const std::string decoded = tag->has_escapes ? decode_string(*tag) : std::string();
  const std::string_view text = tag->has_escapes ? std::string_view(decoded) : tag->contents();
  const std::optional<std::size_t> found = find_tag(text);
  if (!found) return fail_at(unknown_variant(text), reader_.offset());
  index = *found;
  return true;
}

bool ActionDecoder::assigned(FieldError error) {
  if (!error) return true;
  message_ = std::move(*error);
  return false;
}

bool ActionDecoder::fail_syntax() {
  message_ = json_error_message(reader_.error(), text_);
  return false;
}

bool ActionDecoder::fail_at(std::string message, std::size_t offset) {
  message_ = with_position(std::move(message), text_, offset);
  return false;
}

}  // namespace

DecodeResult decode_action(std::string_view text) { return ActionDecoder(text).decode(); }

}  // namespace ondrel
