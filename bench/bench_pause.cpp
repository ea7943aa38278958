// Every timed operation against its floor (measured time / the time of the
// pauses inside it), and the pauses themselves: how late they end and the
// processor time they spend. Each pause waiter runs in the same program,
// repetitions interleaved, so that whatever else the machine does weighs on
// all of them alike.
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DONDREL_BUILD_BENCH=ON -DONDREL_BUILD_MODULE=OFF
//   cmake --build build/bench && build/bench/bench/bench_pause [scale]
// The Windows build under Wine, from the cross build that scripts/test makes
// (with its WINEPREFIX still there):
//   WINEPREFIX=$PWD/build/wineprefix wine build/windows/bench/bench_pause.exe [scale]
// `scale` multiplies every repetition count (default 1, about a minute).
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "devices/pause.h"
#include "support/bench_devices.h"
#include "support/percentile.h"
#include "support/thread_cpu_time.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

using ondrel::HidResult;
using ondrel::PauseWaiter;
using Clock = std::chrono::steady_clock;

struct NamedWaiter {
  const char* name;
  PauseWaiter waiter;
};

constexpr NamedWaiter kWaiters[] = {
    {"sleep then spin (new)", PauseWaiter::sleep_then_spin},
    {"sleep to deadline (old)", PauseWaiter::sleep_to_deadline},
#ifdef _WIN32
    {"Sleep then spin (fallback)", PauseWaiter::sleep_then_spin_without_high_resolution_timer},
#endif
};
constexpr std::size_t kWaiterCount = std::size(kWaiters);

double milliseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void print_header(const char* title, const char* columns) {
  std::printf("\n%-44s", "");
  for (const NamedWaiter& waiter : kWaiters) std::printf("| %-30s", waiter.name);
  std::printf("\n%-44s", title);
  for (std::size_t i = 0; i < kWaiterCount; ++i) std::printf("| %-30s", columns);
  std::printf("\n");
}

struct PauseSamples {
  std::vector<double> overshoot_us;
  double processor_ms = 0;
  double paused_ms = 0;
};

void report_pause(unsigned milliseconds, int repetitions) {
  std::array<PauseSamples, kWaiterCount> samples;
  for (int i = 0; i < repetitions; ++i) {
    for (std::size_t w = 0; w < kWaiterCount; ++w) {
      const std::int64_t processor_start = ondrel::bench::thread_cpu_time_ns();
      const Clock::time_point start = Clock::now();
      ondrel::pause_ms_with(milliseconds, kWaiters[w].waiter);
      const double elapsed_ms = milliseconds_since(start);
      samples[w].processor_ms += static_cast<double>(ondrel::bench::thread_cpu_time_ns() - processor_start) / 1e6;
      samples[w].paused_ms += milliseconds;
      samples[w].overshoot_us.push_back((elapsed_ms - milliseconds) * 1000.0);
    }
  }
  std::printf("%-44s", (std::to_string(milliseconds) + " ms (" + std::to_string(repetitions) + " times)").c_str());
  for (const PauseSamples& waiter : samples) {
    double sum_us = 0;
    for (const double overshoot : waiter.overshoot_us) sum_us += overshoot;
    std::printf("| %6.1f %7.1f %6.1f %6.2f  ", ondrel::bench::percentile(waiter.overshoot_us, 0.5),
                ondrel::bench::percentile(waiter.overshoot_us, 0.99),
                sum_us / static_cast<double>(waiter.overshoot_us.size()),
                100.0 * waiter.processor_ms / waiter.paused_ms);
  }
  std::printf("\n");
}

#ifdef __linux__
// What the spin margin of sleep_then_spin has to cover: how late a sleep to
// an absolute deadline ends once the thread's timer slack is 1 ns.
void report_sleep_lateness(int repetitions) {
  const int slack = prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::vector<double> lateness_us;
  for (int i = 0; i < repetitions; ++i) {
    const Clock::time_point start = Clock::now();
    ondrel::pause_ms_with(5, PauseWaiter::sleep_to_deadline);
    lateness_us.push_back((milliseconds_since(start) - 5) * 1000.0);
  }
  prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(slack), 0UL, 0UL, 0UL);
  std::printf("\nlateness of a 5 ms sleep with 1 ns timer slack (%d times): median %.1f us, p90 %.1f us, p99 %.1f us\n",
              repetitions, ondrel::bench::percentile(lateness_us, 0.5), ondrel::bench::percentile(lateness_us, 0.9),
              ondrel::bench::percentile(lateness_us, 0.99));
}
#endif

struct Operation {
  std::string name;
  double floor_ms;
  int repetitions;
  std::function<HidResult()> run;
};

void report_operation(const Operation& operation) {
  std::array<std::vector<double>, kWaiterCount> ratios;
  for (int i = 0; i < operation.repetitions; ++i) {
    for (std::size_t w = 0; w < kWaiterCount; ++w) {
      const ondrel::PauseWaiterScope waiter(kWaiters[w].waiter);
      const Clock::time_point start = Clock::now();
      const HidResult result = operation.run();
      ratios[w].push_back(milliseconds_since(start) / operation.floor_ms);
      if (!result.ok()) {
        std::fprintf(stderr, "%s failed\n", operation.name.c_str());
        std::exit(1);
      }
    }
  }
  std::printf("%-44s", (operation.name + " (" + std::to_string(operation.repetitions) + " times)").c_str());
  for (const std::vector<double>& waiter : ratios) {
    std::printf("| %8.5f %8.5f             ", ondrel::bench::percentile(waiter, 0.5),
                ondrel::bench::percentile(waiter, 0.99));
  }
  std::printf("\n");
}

template <class Device>
Device created_device(ondrel::BackendFactory factory) {
  Device device(std::move(factory));
  if (!device.create().ok()) {
    std::fputs("cannot create a device\n", stderr);
    std::exit(1);
  }
  return device;
}

// Lower-case letters and blanks only: every character is one unshifted key.
std::string typing_text(std::size_t length) {
  const std::string sentence = "the quick brown fox jumps over the lazy dog ";
  std::string text;
  while (text.size() < length) text += sentence;
  text.resize(length);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
  if (scale < 1) {
    std::fputs("usage: bench_pause [scale >= 1]\n", stderr);
    return 2;
  }

  print_header("pause: overshoot (us), cpu (%)", "median     p99   mean    cpu");
  for (const unsigned ms : {5u, 10u, 50u}) report_pause(ms, (ms == 50 ? 60 : 300) * scale);
#ifdef __linux__
  report_sleep_lateness(300 * scale);
#endif

  auto mouse = created_device<ondrel::MouseDevice>(ondrel::bench::discarding_factory());
  auto keyboard = created_device<ondrel::KeyboardDevice>(ondrel::bench::transitions_keyboard_factory());
  auto replaying_keyboard = created_device<ondrel::KeyboardDevice>(ondrel::bench::replaying_keyboard_factory());
  auto gamepad = created_device<ondrel::GamepadDevice>(ondrel::bench::discarding_factory());
  constexpr std::uint8_t key_a = 0x04;
  const std::string text = typing_text(200);
  // Floors: the pauses each operation makes; the keyboard's back end makes
  // none, typing rests 5 ms after each character. The replaying back end of
  // before ("old") held each key it played 5 ms longer; it is measured
  // against the same floors, next to the current one ("new").
  std::vector<Operation> operations = {
      {"click 10 ms", 10, 200 * scale, [&] { return mouse.click(ondrel::MouseButton::Left); }},
      {"double click 70 ms", 70, 40 * scale, [&] { return mouse.double_click(ondrel::MouseButton::Left); }},
  };
  struct KeyboardUnderTest {
    const char* back_end;
    ondrel::KeyboardDevice* device;
  };
  const KeyboardUnderTest keyboards[] = {{"new", &keyboard}, {"old", &replaying_keyboard}};
  for (const KeyboardUnderTest& k : keyboards)
    operations.push_back({std::string("key press 10 ms, ") + k.back_end, 10, 100 * scale,
                          [k] { return k.device->press(key_a); }});
  for (const KeyboardUnderTest& k : keyboards)
    operations.push_back({std::string("combination 10 ms, ") + k.back_end, 10, 100 * scale,
                          [k] { return k.device->combo(ondrel::modifier_bit::left_control, key_a); }});
  for (const KeyboardUnderTest& k : keyboards)
    operations.push_back({std::string("typing 200 chars 3000 ms, ") + k.back_end, 3000, 3 * scale,
                          [k, &text] { return k.device->type_text(text); }});
  operations.push_back({"gamepad tap 50 ms", 50, 40 * scale,
                        [&] { return gamepad.tap(ondrel::bit(ondrel::GamepadButton::A)); }});
  print_header("operation: time / floor", "  median      p99");
  for (const Operation& operation : operations) report_operation(operation);
  return 0;
}
