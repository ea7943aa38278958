#pragma once

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#elif defined(__aarch64__) || defined(_M_ARM64)
#include <arm_acle.h>
#endif

namespace ondrel {

// Tells the processor, inside a loop that waits on the clock, that the loop
// is a spin: it saves power and leaves a hyper-threaded sibling more of the
// core. Nothing where the processor has no such hint.
inline void relax_processor() {
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
  _mm_pause();
#elif defined(__aarch64__) || defined(_M_ARM64)
  __yield();
#endif
}

}  // namespace ondrel
