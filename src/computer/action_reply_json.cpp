#include "computer/action_reply_json.h"

#include <array>

namespace ondrel::computer {
namespace {

// Quotes, backslashes and control characters escaped; everything else, the
// UTF-8 of any character included, as it is.
void append_json_string(std::string& out, const std::string& text) {
  constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  out += '"';
}

}  // namespace

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
