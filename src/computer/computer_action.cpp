#include "computer/computer_action.h"

#include <vector>

#include "agent/json_string.h"
#include "computer/action_context.h"

namespace ondrel::computer {
namespace {

constexpr std::string_view kShapes =
    "an action has `action` (Anthropic's computer tool), `type` (OpenAI's computer_call) or `name` and `args` "
    "(a Gemini function call)";

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

}  // namespace

ActionReply run_computer_action(std::string_view json_text, ComputerInput& input, const Scaling& scaling) {
  Expected<std::vector<JsonMember>> members = read_object(json_text, "an action");
  if (!members.ok()) return ActionReply::from(members.outcome());
  std::vector<JsonMember> found = members.value();
  if (has(found, "action")) return run_tagged(std::move(found), "action", &run_anthropic_action, input, scaling);
  if (has(found, "type")) return run_tagged(std::move(found), "type", &run_openai_action, input, scaling);
  if (has(found, "name")) return run_function_call(std::move(found), input, scaling);
  return ActionReply::failed(std::string(kShapes));
}

}  // namespace ondrel::computer
