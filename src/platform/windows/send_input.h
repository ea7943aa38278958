#pragma once

#include "devices/hid_result.h"
#include "platform/input_sink.h"
#include "platform/windows/input_record.h"

namespace ondrel::win32 {

// One record through `sink`; its failure, with the sink's own text, is the
// back end's.
inline HidResult inject(InputSink& sink, const Input& input) { return sink.send_input(input); }

}  // namespace ondrel::win32
