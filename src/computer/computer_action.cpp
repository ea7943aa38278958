#include "computer/computer_action.h"

#include <optional>
#include <string>
#include <vector>

#include "json/json_string.h"
#include "computer/action_context.h"

namespace ondrel::computer {
namespace {

constexpr std::string_view kShapes =
    "an action is an Anthropic tool_use block (`name` and `input`) or its `input` (`action`), an OpenAI "
    "computer_call (`actions`) or one of its actions (`type`), or a Gemini function call (`name` and `args`)";

using Vocabulary = ActionReply (*)(const ActionContext&);

// The member named `tag` is the action's name: it leaves the fields.
Expected<std::string> take_tag(std::vector<JsonMember>& members, std::string_view tag) {
  for (auto it = members.begin(); it != members.end(); ++it) {
    if (it->name != tag) continue;
    const auto* name = std::get_if<JsonString>(&it->value);
    if (!name) return Outcome::failure(quoted(tag) + " must be a string, got " + quoted(it->text));
    std::string text = decode_string(*name);
    members.erase(it);
    return text;
  }
  return Outcome::failure(std::string(kShapes));
}

bool has(const std::vector<JsonMember>& members, std::string_view name) {
  for (const JsonMember& member : members) {
    if (member.name == name) return true;
  }
  return false;
}

ActionReply run_tagged(std::vector<JsonMember> members, std::string_view tag, Vocabulary vocabulary,
                       ComputerInput& input, const Scaling& scaling) {
  Expected<std::string> name = take_tag(members, tag);
  if (!name.ok()) return ActionReply::from(name.outcome());
  const ActionFields fields(std::move(members), name.value());
  return vocabulary(ActionContext{fields, input, scaling});
}

// {"name": ..., "args": {...}}: the fields are the members of `args`.
ActionReply run_function_call(std::vector<JsonMember> members, ComputerInput& input, const Scaling& scaling) {
  Expected<std::string> name = take_tag(members, "name");
  if (!name.ok()) return ActionReply::from(name.outcome());
  std::vector<JsonMember> args;
  for (const JsonMember& member : members) {
    if (member.name == "id") continue;  // the call's id, for the caller's answer
    if (member.name != "args") {
      return ActionReply::failed(quoted(member.name) + " is not a member of a Gemini function call");
    }
    Expected<std::vector<JsonMember>> read = read_object(member.text, "`args`");
    if (!read.ok()) return ActionReply::from(read.outcome());
    args = read.value();
  }
  const ActionFields fields(std::move(args), name.value());
  return run_gemini_call(ActionContext{fields, input, scaling});
}

// The text of string member `name`, when there is one.
std::optional<std::string> string_member(const std::vector<JsonMember>& members, std::string_view name) {
  for (const JsonMember& member : members) {
    if (member.name != name) continue;
    const auto* text = std::get_if<JsonString>(&member.value);
    return text ? std::optional<std::string>(decode_string(*text)) : std::nullopt;
  }
  return std::nullopt;
}

// Anthropic's toolset member call, the tool_use block itself: {"type":
// "tool_use", "id", "name": "left_click", "input": {...}, "toolset_name":
// "computer"}. The member's name is the action, `input` its fields.
ActionReply run_tool_use(const std::vector<JsonMember>& members, ComputerInput& input, const Scaling& scaling) {
  std::optional<std::string> name;
  std::vector<JsonMember> fields;
  for (const JsonMember& member : members) {
    if (member.name == "id" || member.name == "type" || member.name == "caller") continue;
    if (member.name == "toolset_name" || member.name == "name") {
      const auto* text = std::get_if<JsonString>(&member.value);
      if (!text) return ActionReply::failed(quoted(member.name) + " must be a string, got " + quoted(member.text));
      if (member.name == "name") {
        name = decode_string(*text);
      } else if (decode_string(*text) != "computer") {
        return ActionReply::failed("`toolset_name` " + quoted(member.text) + " is not the computer toolset");
      }
    } else if (member.name == "input") {
      Expected<std::vector<JsonMember>> read = read_object(member.text, "`input`");
      if (!read.ok()) return ActionReply::from(read.outcome());
      fields = read.value();
    } else {
      return ActionReply::failed(quoted(member.name) + " is not a member of an Anthropic tool_use block");
    }
  }
  if (!name) return ActionReply::failed("an Anthropic tool_use block has `name`, the toolset member");
  const ActionFields action_fields(std::move(fields), *name);
  return run_anthropic_action(ActionContext{action_fields, input, scaling});
}

// One action of a computer_call, {"type": "click", ...}.
ActionReply run_openai_element(std::string_view text, std::string_view label, ComputerInput& input,
                               const Scaling& scaling) {
  Expected<std::vector<JsonMember>> members = read_object(text, label);
  if (!members.ok()) return ActionReply::from(members.outcome());
  // The call is answered with a screenshot after its last action: one in between has nothing to do.
  if (string_member(members.value(), "type") == "screenshot") return {};
  return run_tagged(members.value(), "type", &run_openai_action, input, scaling);
}

// OpenAI's computer_call: {"type": "computer_call", "call_id", "actions":
// [...]} (or one `action`), run in order up to the first failure, whose
// message names its index. Pending safety checks stop the whole call: the
// person acknowledges them first, and the caller leaves them out then.
ActionReply run_computer_call(const std::vector<JsonMember>& members, ComputerInput& input, const Scaling& scaling) {
  std::vector<std::string_view> actions;
  bool batch = false;
  for (const JsonMember& member : members) {
    if (member.name == "type" || member.name == "id" || member.name == "call_id" || member.name == "status") continue;
    if (member.name == "pending_safety_checks") {
      std::vector<JsonMember> checks;
      if (!std::holds_alternative<JsonArray>(member.value) || !read_array(member.text, checks)) {
        return ActionReply::failed("`pending_safety_checks` must be a list, got " + quoted(member.text));
      }
      if (!checks.empty()) {
        return ActionReply::failed("the computer_call has " + std::to_string(checks.size()) +
                                   " pending safety check(s): nothing ran; they need the person's acknowledgement");
      }
    } else if (member.name == "action" || member.name == "actions") {
      if (!actions.empty() || batch) return ActionReply::failed("a computer_call has `actions` or `action`, not both");
      batch = member.name == "actions";
      if (!batch) {
        actions.push_back(member.text);
        continue;
      }
      std::vector<JsonMember> elements;
      if (!std::holds_alternative<JsonArray>(member.value) || !read_array(member.text, elements)) {
        return ActionReply::failed("`actions` must be a list of actions, got " + quoted(member.text));
      }
      for (const JsonMember& element : elements) actions.push_back(element.text);
    } else {
      return ActionReply::failed(quoted(member.name) + " is not a member of an OpenAI computer_call");
    }
  }
  if (actions.empty() && !batch) return ActionReply::failed("a computer_call has `actions` or `action`");
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::string label = batch ? "`actions[" + std::to_string(i) + "]`" : std::string("`action`");
    ActionReply reply = run_openai_element(actions[i], label, input, scaling);
    if (!reply.success) {
      reply.error = "action " + std::to_string(i) + " of the computer_call failed (" + label + "): " + reply.error;
      return reply;
    }
  }
  return {};
}

}  // namespace

ActionReply run_computer_action(std::string_view json_text, ComputerInput& input, const Scaling& scaling) {
  Expected<std::vector<JsonMember>> members = read_object(json_text, "an action");
  if (!members.ok()) return ActionReply::from(members.outcome());
  std::vector<JsonMember> found = members.value();
  const std::optional<std::string> type = string_member(found, "type");
  if (type == "computer_call") return run_computer_call(found, input, scaling);
  if (type == "tool_use" || (!type && has(found, "name") && has(found, "input"))) {
    return run_tool_use(found, input, scaling);
  }
  if (has(found, "action")) return run_tagged(std::move(found), "action", &run_anthropic_action, input, scaling);
  if (has(found, "type")) return run_tagged(std::move(found), "type", &run_openai_action, input, scaling);
  if (has(found, "name")) return run_function_call(std::move(found), input, scaling);
  return ActionReply::failed(std::string(kShapes));
}

}  // namespace ondrel::computer
