#pragma once

// The test recorder's C API, exported by the extension module on systems
// without user32 so that tests (through ctypes) can see every INPUT record
// the module produced and make a SendInput call fail.

#ifdef __cplusplus
extern "C" {
#endif

#define ONDREL_RECORDER_API __attribute__((visibility("default")))

// Clears the journal and starts recording: SendInput records and succeeds.
ONDREL_RECORDER_API void ondrel_recorder_start(void);
// Stops recording: SendInput fails again.
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
