#include "devices/stop_request.h"

namespace ondrel {
namespace {

thread_local StopCheck thread_check = nullptr;

}  // namespace

bool stop_requested() { return thread_check != nullptr && thread_check(); }

StopCheckScope::StopCheckScope(StopCheck check) : previous_(thread_check) { thread_check = check; }

StopCheckScope::~StopCheckScope() { thread_check = previous_; }

}  // namespace ondrel
