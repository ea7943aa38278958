#include "computer/action_reply_json.h"

#include "json/json_quoting.h"

namespace ondrel::computer {

std::string reply_to_json(const ActionReply& reply) {
  std::string out = reply.success ? "{\"success\":true" : "{\"success\":false";
  if (reply.cursor) out += ",\"x\":" + std::to_string(reply.cursor->x) + ",\"y\":" + std::to_string(reply.cursor->y);
  if (!reply.success) {
    out += ",\"error\":";
    append_json_string(out, reply.error);
  }
  out += '}';
  return out;
}

}  // namespace ondrel::computer
