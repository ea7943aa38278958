#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>

#include "devices/device_backend.h"
#include "devices/gamepad_buttons.h"
#include "devices/gamepad_report.h"

namespace ondrel {

enum class GamepadAxis : std::uint8_t { left_x, left_y, right_x, right_y, left_trigger, right_trigger };

struct GamepadButtonChange {
  GamepadButton button;
  bool down;
  bool operator==(const GamepadButtonChange&) const = default;
};

// An axis takes its report byte unchanged, 0 to 255.
struct GamepadAxisChange {
  GamepadAxis axis;
  std::uint8_t value;
  bool operator==(const GamepadAxisChange&) const = default;
};

using GamepadChange = std::variant<GamepadButtonChange, GamepadAxisChange>;

// Where a gamepad's changes go (a uinput gamepad on Linux).
class GamepadSink {
 public:
  virtual ~GamepadSink() = default;
  // One report's changes, taken whole or not at all.
  virtual HidResult apply(std::span<const GamepadChange> changes) = 0;
  // Whether the device behind the sink has taken none of this process's
  // changes: a new one, such as a forked child's own.
  [[nodiscard]] virtual bool has_taken_nothing() const = 0;
};

// Turns each gamepad report into the changes since the last report that
// went out. A device that has taken nothing gets every axis, since it cannot
// know what a report kept across destroy and create holds.
class GamepadTransitions final : public DeviceBackend {
 public:
  explicit GamepadTransitions(std::unique_ptr<GamepadSink> sink) : sink_(std::move(sink)) {}

  // A refused report keeps the last report that went out, so the next report
  // carries the lost changes too.
  HidResult send_report(std::span<const std::uint8_t> report) override;
  // Removes the device from the system now.
  HidResult destroy() override;

 private:
  std::unique_ptr<GamepadSink> sink_;
  std::optional<GamepadReport> last_sent_;
};

}  // namespace ondrel
