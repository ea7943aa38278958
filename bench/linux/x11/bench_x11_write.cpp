// How long writing 200 mixed characters (ASCII, Shift, characters outside
// the layout on spare keycodes) takes on an X display, next to its floor of
// 15 ms a character (10 ms held, 5 ms after):
//   Xvfb :99 -screen 0 1920x1080x24 &
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DONDREL_BUILD_BENCH=ON -DONDREL_BUILD_MODULE=OFF
//   cmake --build build/bench --target bench_x11_write && DISPLAY=:99 build/bench/bench/bench_x11_write [runs]
// The keys go to whatever has the focus: run it on a display of its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/x11/text_writing.h"
#include "platform/utf8_text.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/xtest_connection.h"

namespace {

constexpr std::size_t kCharacters = 200;
constexpr double kFloorMsPerCharacter = ondrel::linux::x11::kWrittenKeyHoldMs + ondrel::linux::x11::kAfterWrittenCharacterMs;

// kCharacters characters of a repeated phrase, cut at a character boundary.
std::string mixed_text() {
  const std::string phrase = "Grüße, 世界! 😀 @€ Hello ";
  std::string text;
  while (ondrel::decode_utf8(text).value().size() < kCharacters) {
    for (std::size_t at = 0; at < phrase.size();) {
      std::size_t next = at + 1;
      while (next < phrase.size() && (static_cast<unsigned char>(phrase[next]) & 0xc0) == 0x80) ++next;
      text.append(phrase, at, next - at);
      at = next;
      if (ondrel::decode_utf8(text).value().size() == kCharacters) break;
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  const char* display = std::getenv("DISPLAY");
  namespace x11 = ondrel::linux::x11;
  const auto xcb = x11::xcb_library();
  if (display == nullptr || !xcb.ok()) {
    std::fprintf(stderr, "needs DISPLAY and libxcb%s\n", xcb.ok() ? "" : (": " + xcb.error()).c_str());
    return 1;
  }
  auto opened = x11::XtestConnection::open(*xcb.value(), display, x11::patience_from_now());
  if (!opened.ok()) {
    std::fprintf(stderr, "%s\n", opened.error().c_str());
    return 1;
  }
  x11::XtestConnection connection = opened.take();
  const std::string text = mixed_text();
  std::vector<double> durations_ms;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const ondrel::HidResult written = ondrel::linux::x11::write_text(connection, text);
    durations_ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (!written) {
      std::fprintf(stderr, "%s\n", written.error().display().c_str());
      return 1;
    }
  }
  std::sort(durations_ms.begin(), durations_ms.end());
  const double floor_ms = kCharacters * kFloorMsPerCharacter;
  std::printf("write %zu mixed characters: median %.1f ms, min %.1f ms, max %.1f ms; floor %.0f ms: %.4fx (%d runs)\n",
              kCharacters, durations_ms[durations_ms.size() / 2], durations_ms.front(), durations_ms.back(), floor_ms,
              durations_ms[durations_ms.size() / 2] / floor_ms, runs);
  return 0;
}
