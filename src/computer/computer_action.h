#pragma once

#include <string_view>

#include "computer/action_reply.h"
#include "computer/computer_input.h"
#include "computer/coordinates.h"

namespace ondrel::computer {

// Runs one computer-use action given as JSON text, recognised by its shape:
// Anthropic's computer tool input {"action": ...}, OpenAI's computer_call
// action {"type": ...} or Gemini's function call {"name": ..., "args": {...}}.
// A bad action sends nothing and answers with what was wrong; screenshots,
// zoom and browser functions answer that the caller must carry them out.
ActionReply run_computer_action(std::string_view json_text, ComputerInput& input, const Scaling& scaling);

}  // namespace ondrel::computer
