#include "platform/linux/x11/host_lookup.h"

#include <signal.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace ondrel::linux::x11 {
namespace {

addrinfo stream_hints(int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG | flags;
  return hints;
}

// One lookup, shared by the caller and the thread that runs it. Whoever lets
// go last frees it, and with it a list that came after the caller had gone.
struct Lookup {
  Lookup(std::string host_, std::string service_, Resolver resolver_)
      : host(std::move(host_)), service(std::move(service_)), resolver(resolver_) {}
  ~Lookup() {
    if (found != nullptr) freeaddrinfo(found);
  }

  const std::string host;
  const std::string service;
  const Resolver resolver;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;  // the fields below are the thread's until then
  int status = 0;
  addrinfo* found = nullptr;
};

void run(const std::shared_ptr<Lookup>& lookup) {
  const addrinfo hints = stream_hints(0);
  addrinfo* found = nullptr;
  const int status = lookup->resolver(lookup->host.c_str(), lookup->service.c_str(), &hints, &found);
  const std::lock_guard<std::mutex> lock(lookup->mutex);
  lookup->status = status;
  lookup->found = status == 0 ? found : nullptr;
  lookup->done = true;
  lookup->finished.notify_one();
}

// The system's resolver has no deadline of its own that we could set (its
// timeouts and attempts come from resolv.conf and add up to many seconds),
// so a name is looked up on a thread that this call leaves to itself at the
// deadline: the thread owns its share of the lookup and ends on its own once
// the resolver gives up.
bool start_thread(const std::shared_ptr<Lookup>& lookup) {
  // Signals stay with the calling thread, as in the connection's setup.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  bool started = true;
  try {
    std::thread([lookup] { run(lookup); }).detach();
  } catch (const std::system_error&) {
    started = false;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return started;
}

}  // namespace

HostAddresses look_up_host(const std::string& host, const std::string& service, Deadline deadline,
                           Resolver resolver) {
  // A numeric address needs no resolver and no thread.
  const addrinfo numeric = stream_hints(AI_NUMERICHOST);
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), service.c_str(), &numeric, &found) == 0)
    return {LookupOutcome::found, AddressList(found)};
  const auto lookup = std::make_shared<Lookup>(host, service, resolver);
  if (!start_thread(lookup)) return {};
  std::unique_lock<std::mutex> lock(lookup->mutex);
  if (!lookup->finished.wait_until(lock, deadline, [&] { return lookup->done; })) return {LookupOutcome::timed_out, {}};
  if (lookup->status != 0) return {};
  return {LookupOutcome::found, AddressList(std::exchange(lookup->found, nullptr))};
}

}  // namespace ondrel::linux::x11
