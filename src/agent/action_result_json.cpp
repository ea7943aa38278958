#include "agent/action_result.h"
#include "json/json_quoting.h"

namespace ondrel {

std::string result_to_json(const ActionResult& result) {
  std::string out = result.success ? "{\"success\":true,\"error\":" : "{\"success\":false,\"error\":";
  if (result.error) {
    append_json_string(out, *result.error);
  } else {
    out += "null";
  }
  out += '}';
  return out;
}

}  // namespace ondrel
