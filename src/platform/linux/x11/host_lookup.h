#pragma once

#include <netdb.h>

#include <memory>
#include <string>

#include "platform/linux/x11/readiness.h"

namespace ondrel::linux::x11 {

struct FreeAddresses {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, FreeAddresses>;

enum class LookupOutcome { found, not_found, timed_out };

struct HostAddresses {
  LookupOutcome outcome = LookupOutcome::not_found;
  AddressList list;  // set when found
};

// getaddrinfo, or a stand-in with its contract (the list it gives is freed
// with freeaddrinfo).
using Resolver = int (*)(const char* host, const char* service, const addrinfo* hints, addrinfo** found);

// The stream addresses of `host` (a numeric address or a name) for
// `service`, by `deadline`. A name goes to `resolver`, which may wait on a
// silent DNS server far longer than any deadline of ours.
HostAddresses look_up_host(const std::string& host, const std::string& service, Deadline deadline,
                           Resolver resolver = getaddrinfo);

}  // namespace ondrel::linux::x11
