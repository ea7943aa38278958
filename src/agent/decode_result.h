#pragma once

#include <string>
#include <utility>
#include <variant>

#include "agent/agent_action.h"

namespace ondrel {

// The outcome of decoding one action text: the action, or one message.
class [[nodiscard]] DecodeResult {
 public:
  static DecodeResult success(AgentAction action) {
    return DecodeResult(std::in_place_index<0>, std::move(action));
  }
  static DecodeResult failure(std::string message) {
    return DecodeResult(std::in_place_index<1>, std::move(message));
  }

  [[nodiscard]] bool ok() const { return outcome_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  [[nodiscard]] const AgentAction& action() const { return std::get<0>(outcome_); }
  [[nodiscard]] AgentAction take_action() { return std::move(std::get<0>(outcome_)); }
  // Only when !ok().
  [[nodiscard]] const std::string& message() const { return std::get<1>(outcome_); }

 private:
  template <std::size_t I, class T>
  DecodeResult(std::in_place_index_t<I> index, T&& value) : outcome_(index, std::forward<T>(value)) {}

  std::variant<AgentAction, std::string> outcome_;
};

}  // namespace ondrel
