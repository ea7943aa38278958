#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/system_sink.h"

namespace ondrel::wine_testing {

// The system's own sink, for back ends that the tests build directly.
inline std::unique_ptr<InputSink> user32_sink() {
  std::unique_ptr<InputSink> sink;
  EXPECT_TRUE(open_system_sink(InputDeviceKind::mouse, "test", sink).ok());
  return sink;
}

}  // namespace ondrel::wine_testing
