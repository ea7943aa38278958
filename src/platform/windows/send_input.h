#pragma once

#include "devices/hid_result.h"
#include "platform/input_sink.h"
#include "platform/windows/input_record.h"

namespace ondrel::win32 {

// One record through `sink`; a refused injection is a SendFailed.
inline HidResult inject(InputSink& sink, const Input& input) {
  if (sink.send_input(input) == 0) return HidError::send_failed("SendInput failed");
  return HidResult::success();
}

}  // namespace ondrel::win32
