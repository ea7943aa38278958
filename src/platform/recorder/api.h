#pragma once

// The test recorder's C API, exported by the extension module so that tests
// (through ctypes) can see every INPUT record the module produced and make a
// SendInput call fail, on every system.

#ifdef __cplusplus
extern "C" {
#endif

#ifdef _WIN32
#define ONDREL_RECORDER_API __declspec(dllexport)
#else
#define ONDREL_RECORDER_API __attribute__((visibility("default")))
#endif

// Clears the journal and starts recording: every record goes to the journal
// instead of the system, and devices created meanwhile get no system at all.
ONDREL_RECORDER_API void ondrel_recorder_start(void);
// Stops recording: records go to each device's system again (a device
// created while recording has none, so its sends fail).
ONDREL_RECORDER_API void ondrel_recorder_stop(void);
// The n-th SendInput call from now on (1 = the next) fails and records
// nothing. A new call replaces a pending failure; 0 cancels it.
ONDREL_RECORDER_API void ondrel_recorder_fail_call(unsigned long n);
// The journal as a JSON array, valid until the next recorder call.
ONDREL_RECORDER_API const char* ondrel_recorder_events(void);
// While on, a gamepad's create installs a back end that records its reports.
ONDREL_RECORDER_API void ondrel_recorder_gamepad(int on);

#ifdef __cplusplus
}
#endif
