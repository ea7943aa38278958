// decode_action on arbitrary bytes: no crash, leak or undefined behaviour,
// and its answer agrees with the reader's view of the whole text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "agent/action_decoder.h"
#include "json/json_error.h"
#include "json/json_reader.h"

namespace {

bool is_syntax_message(std::string_view message) {
  for (std::size_t code = 0; code < ondrel::kJsonErrorCodeCount; ++code) {
    const std::string_view text = ondrel::json_error_text(static_cast<ondrel::JsonErrorCode>(code));
    if (message.starts_with(text) && message.substr(text.size()).starts_with(" at line ")) return true;
  }
  return false;
}

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ondrel::DecodeResult result = ondrel::decode_action(text);
  const auto syntax_error = ondrel::JsonReader::check_document(text);
  if (result.ok()) {
    // Only a JSON text decodes.
    require(!syntax_error.has_value());
  } else if (is_syntax_message(result.message())) {
    // A syntax error that decoding reports is the first one in the text.
    require(syntax_error.has_value() && result.message() == ondrel::json_error_message(*syntax_error, text));
  } else {
    require(!result.message().empty());
  }
  return 0;
}
