#include "module/computer/interrupt_watch.h"

#include <atomic>
#include <csignal>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ondrel::py {
namespace {

// Lock-free so that a signal handler may bump it.
std::atomic<std::uint64_t> interrupts{0};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

std::mutex watchers_mutex;
int watchers = 0;  // under watchers_mutex

}  // namespace

std::uint64_t interrupts_seen() { return interrupts.load(std::memory_order_acquire); }

#ifdef _WIN32

namespace {

using Handler = void (*)(int);
using SignalFunction = Handler (*)(int, Handler);

// Set under watchers_mutex; read by the handler, which may run on the console's own thread.
std::atomic<Handler> previous{nullptr};

// The signal() of the C runtime whose handlers Python's sit among: CPython
// for Windows is built against the universal CRT, and MinGW's own signal()
// edits msvcrt's table, through which Python never raises.
SignalFunction crt_signal() {
  static const SignalFunction found = [] {
    if (const HMODULE ucrt = ::GetModuleHandleW(L"ucrtbase.dll"))
      if (const FARPROC function = ::GetProcAddress(ucrt, "signal"))
        return reinterpret_cast<SignalFunction>(reinterpret_cast<void (*)()>(function));
    return static_cast<SignalFunction>(::signal);
  }();
  return found;
}

// The C runtime resets SIGINT to its default before it calls a handler;
// Python's handler then puts itself back, so ours goes back in after it.
void count_interrupt(int signal_number) {
  interrupts.fetch_add(1, std::memory_order_acq_rel);
  if (const Handler chained = previous.load()) {
    chained(signal_number);
    crt_signal()(SIGINT, count_interrupt);
  }
}

void install() {
  const SignalFunction set = crt_signal();
  const Handler current = set(SIGINT, count_interrupt);
  if (current == SIG_DFL || current == SIG_IGN || current == SIG_ERR || current == count_interrupt) {
    if (current != SIG_ERR && current != count_interrupt) set(SIGINT, current);
    return;
  }
  previous.store(current);
}

void restore() {
  const Handler chained = previous.exchange(nullptr);
  if (chained == nullptr) return;
  // Whatever was installed meanwhile by another hand stays.
  const SignalFunction set = crt_signal();
  const Handler current = set(SIGINT, chained);
  if (current != count_interrupt && current != SIG_ERR) set(SIGINT, current);
}

}  // namespace

#else

namespace {

struct sigaction previous {};  // under watchers_mutex; read by the handler while installed
bool installed = false;

bool is_handler(const struct sigaction& action) {
  if ((action.sa_flags & SA_SIGINFO) != 0) return action.sa_sigaction != nullptr;
  return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

void count_interrupt(int signal_number, siginfo_t* info, void* context) {
  interrupts.fetch_add(1, std::memory_order_acq_rel);
  if ((previous.sa_flags & SA_SIGINFO) != 0)
    previous.sa_sigaction(signal_number, info, context);
  else
    previous.sa_handler(signal_number);
}

void install() {
  struct sigaction current {};
  if (sigaction(SIGINT, nullptr, &current) != 0 || !is_handler(current)) return;
  previous = current;
  struct sigaction ours = current;  // the same mask and flags as the handler it calls
  ours.sa_flags |= SA_SIGINFO;
  ours.sa_flags &= ~SA_RESETHAND;
  ours.sa_sigaction = count_interrupt;
  installed = sigaction(SIGINT, &ours, nullptr) == 0;
}

void restore() {
  if (!installed) return;
  installed = false;
  struct sigaction current {};
  // Whatever was installed meanwhile by another hand stays.
  if (sigaction(SIGINT, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) == 0 ||
      current.sa_sigaction != count_interrupt)
    return;
  (void)sigaction(SIGINT, &previous, nullptr);
}

}  // namespace

#endif

InterruptWatch::InterruptWatch() {
  const std::lock_guard lock(watchers_mutex);
  if (watchers++ == 0) install();
}

InterruptWatch::~InterruptWatch() {
  const std::lock_guard lock(watchers_mutex);
  if (--watchers == 0) restore();
}

}  // namespace ondrel::py
