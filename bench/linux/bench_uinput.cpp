// How long uinput input takes to reach a reader, next to the kernel's own
// minimum in the same run; how long create() and a forked child's first
// report (which creates the child's own device) take. Needs a writable
// /dev/uinput; run it in the qemu guest:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DONDREL_BUILD_BENCH=ON -DONDREL_BUILD_MODULE=OFF
//   cmake --build build/bench --target bench_uinput
//   scripts/uinput-guest build/bench/guest build/bench/bench/bench_uinput
#include <dirent.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/gamepad.h"
#include "devices/mouse.h"
#include "platform/platform_backends.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 2000;
constexpr int kCreates = 200;
constexpr int kForks = 50;

double microseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void print(const char* what, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const double median = samples[samples.size() / 2];
  const double p99 = samples[samples.size() * 99 / 100];
  std::printf("  %-44s %9.1f %9.1f\n", what, median, p99);
}

std::string first_line(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

std::string node_named(const std::string& name) {
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(opendir("/sys/class/input"), closedir);
  while (const dirent* entry = readdir(entries.get())) {
    const std::string event = entry->d_name;
    if (event.starts_with("event") && first_line("/sys/class/input/" + event + "/device/name") == name)
      return "/dev/input/" + event;
  }
  return {};
}

int open_reader(const std::string& name) {
  const int fd = open(node_named(name).c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) {
    std::fprintf(stderr, "no evdev node for %s\n", name.c_str());
    std::exit(1);
  }
  return fd;
}

// Sending is synchronous, so the report is queued when the call returns;
// reads until its SYN_REPORT.
void read_report(int reader) {
  input_event event{};
  while (read(reader, &event, sizeof event) == sizeof event)
    if (event.type == EV_SYN && event.code == SYN_REPORT) return;
  std::fprintf(stderr, "a report did not arrive\n");
  std::exit(1);
}

std::vector<double> time_rounds(int reader, const std::function<void(int)>& send) {
  std::vector<double> samples;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    send(round);
    read_report(reader);
    samples.push_back(microseconds_since(start));
  }
  return samples;
}

// A bare uinput device with one relative axis, created without waiting.
int bare_device(const char* name) {
  const int fd = open("/dev/uinput", O_WRONLY);
  ioctl(fd, UI_SET_EVBIT, EV_REL);
  ioctl(fd, UI_SET_RELBIT, REL_X);
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  std::snprintf(setup.name, sizeof setup.name, "%s", name);
  ioctl(fd, UI_DEV_SETUP, &setup);
  ioctl(fd, UI_DEV_CREATE);
  return fd;
}

void close_bare_device(int fd) {
  ioctl(fd, UI_DEV_DESTROY);
  close(fd);
}

void bench_reports() {
  const int bare = bare_device("bench bare");
  const int bare_reader = open_reader("bench bare");
  print("bare write of REL_X + SYN, read back", time_rounds(bare_reader, [&](int) {
          const input_event events[] = {{{}, EV_REL, REL_X, 1}, {{}, EV_SYN, SYN_REPORT, 0}};
          if (write(bare, events, sizeof events) != sizeof events) std::exit(1);
        }));
  close(bare_reader);
  close_bare_device(bare);

  ondrel::MouseDevice mouse(ondrel::platform_mouse_factory(), "bench mouse");
  if (!mouse.create().ok()) std::exit(1);
  const int mouse_reader = open_reader("bench mouse");
  print("mouse move_by(1, 0), read back", time_rounds(mouse_reader, [&](int) {
          if (!mouse.move_by(1, 0).ok()) std::exit(1);
        }));
  close(mouse_reader);

  ondrel::GamepadDevice pad(ondrel::platform_gamepad_factory(), "bench pad");
  if (!pad.create().ok()) std::exit(1);
  const int pad_reader = open_reader("bench pad");
  print("gamepad left_stick(0|255, 128), read back", time_rounds(pad_reader, [&](int round) {
          if (!pad.left_stick(round % 2 == 0 ? 0 : 255, 128).ok()) std::exit(1);
        }));
  close(pad_reader);
}

template <class Device>
void bench_create(const char* what, const ondrel::BackendFactory& factory) {
  Device device(factory, "bench create");
  std::vector<double> samples;
  for (int round = 0; round < kCreates; ++round) {
    const auto start = Clock::now();
    if (!device.create().ok()) std::exit(1);
    samples.push_back(microseconds_since(start));
    if (!device.destroy().ok()) std::exit(1);
  }
  print(what, samples);
}

// A forked child's first report, which first creates the child's own device.
void bench_fork_first_report() {
  ondrel::GamepadDevice pad(ondrel::platform_gamepad_factory(), "bench fork");
  if (!pad.create().ok()) std::exit(1);
  std::vector<double> samples;
  for (int round = 0; round < kForks; ++round) {
    int channel[2];
    if (pipe(channel) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
      const auto start = Clock::now();
      const double sample = pad.left_stick(0, 128).ok() ? microseconds_since(start) : -1;
      _exit(write(channel[1], &sample, sizeof sample) == sizeof sample ? 0 : 1);
    }
    double sample = -1;
    if (child < 0 || read(channel[0], &sample, sizeof sample) != sizeof sample || sample < 0) std::exit(1);
    close(channel[0]);
    close(channel[1]);
    waitpid(child, nullptr, 0);
    samples.push_back(sample);
  }
  print("a forked child's first report (its own device)", samples);
}

// Whether the evdev node of the device on `fd` is listed in /sys and present
// in /dev/input.
bool node_ready(int fd) {
  char sysname[64] = {};
  ioctl(fd, UI_GET_SYSNAME(sizeof sysname - 1), sysname);
  const std::string directory = std::string("/sys/class/input/") + sysname;
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(opendir(directory.c_str()), closedir);
  while (const dirent* entry = entries ? readdir(entries.get()) : nullptr) {
    const std::string name = entry->d_name;
    if (name.starts_with("event")) return access(("/dev/input/" + name).c_str(), F_OK) == 0;
  }
  return false;
}

// How long after UI_DEV_CREATE returns the evdev node is there: the gap in
// which a reader would miss a new device.
void bench_registration() {
  std::vector<double> creates;
  std::vector<double> gaps;
  int ready_at_once = 0;
  for (int round = 0; round < kCreates; ++round) {
    auto start = Clock::now();
    const int fd = bare_device("bench registration");
    creates.push_back(microseconds_since(start));
    start = Clock::now();
    if (node_ready(fd)) ++ready_at_once;
    while (!node_ready(fd)) {
    }
    gaps.push_back(microseconds_since(start));
    close_bare_device(fd);
  }
  print("bare UI_DEV_CREATE with its ioctls, no wait", creates);
  print("then until the node is listed and present", gaps);
  std::printf("  node there on the first look after UI_DEV_CREATE: %d of %d\n", ready_at_once, kCreates);
}

}  // namespace

int main() {
  setenv("ONDREL_INPUT", "uinput", 1);
  std::printf("uinput, microseconds             %22s %9s\n", "median", "p99");
  std::printf(" %d reports each:\n", kRounds);
  bench_reports();
  std::printf(" %d creations each:\n", kCreates);
  bench_create<ondrel::MouseDevice>("mouse create()", ondrel::platform_mouse_factory());
  bench_create<ondrel::GamepadDevice>("gamepad create()", ondrel::platform_gamepad_factory());
  std::printf(" %d forks:\n", kForks);
  bench_fork_first_report();
  std::printf(" %d creations each:\n", kCreates);
  bench_registration();
  return 0;
}
