#pragma once

namespace ondrel {

// Blocks the calling thread for at least `milliseconds`.
void pause_ms(unsigned milliseconds);

}  // namespace ondrel
