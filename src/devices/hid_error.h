#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace ondrel {

// The one failure type of devices, back ends and actions. Its display text
// is the only form in which it ever leaves the library.
class HidError {
 public:
  enum class Kind : std::uint8_t {
    DeviceNotCreated,
    DeviceAlreadyExists,
    CreateFailed,
    SendFailed,
    PlatformNotSupported,
    InvalidKey,
    InvalidAction,
    Io,
    Json,
    // The caller asked the operation to stop; where the caller is Python,
    // the exception its signal handler raised is what leaves the library.
    Interrupted,
  };

  static HidError device_not_created() { return HidError(Kind::DeviceNotCreated, {}); }
  static HidError device_already_exists() { return HidError(Kind::DeviceAlreadyExists, {}); }
  static HidError create_failed(std::string text) { return HidError(Kind::CreateFailed, std::move(text)); }
  static HidError send_failed(std::string text) { return HidError(Kind::SendFailed, std::move(text)); }
  static HidError platform_not_supported(std::string text) {
    return HidError(Kind::PlatformNotSupported, std::move(text));
  }
  static HidError invalid_key(std::string name) { return HidError(Kind::InvalidKey, std::move(name)); }
  static HidError invalid_action(std::string text) { return HidError(Kind::InvalidAction, std::move(text)); }
  // Io and Json wrap another facility's error; only its description is kept.
  static HidError io(std::string description) { return HidError(Kind::Io, std::move(description)); }
  static HidError json(std::string description) { return HidError(Kind::Json, std::move(description)); }
  static HidError interrupted() { return HidError(Kind::Interrupted, {}); }

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] const std::string& payload() const { return payload_; }
  [[nodiscard]] std::string display() const;

  friend bool operator==(const HidError&, const HidError&) = default;

 private:
  HidError(Kind kind, std::string payload) : kind_(kind), payload_(std::move(payload)) {}

  Kind kind_;
  std::string payload_;
};

}  // namespace ondrel
