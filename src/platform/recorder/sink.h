#pragma once

#include <memory>
#include <utility>

#include "platform/input_sink.h"

namespace ondrel::recorder {

// A system's sink with the test recorder in front: while the recorder is
// started it takes every change, as the INPUT record that plays it, and a failure it was told to cause refuses
// one, as a refused SendInput ("SendInput failed") on every system. `system`
// may be empty (a device created while recording), and then every record
// that reaches it is refused the same way.
class Sink final : public InputSink {
 public:
  explicit Sink(std::unique_ptr<InputSink> system) : system_(std::move(system)) {}
  HidResult apply(const InputChange& change) override;

 private:
  std::unique_ptr<InputSink> system_;
};

}  // namespace ondrel::recorder
