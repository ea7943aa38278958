// Loads the cross-built .pyd the way Windows does (here under Wine): every
// import must resolve and the module's C++ runtime must start and stop. The
// python3.dll beside this program is a stand-in whose functions abort, so
// nothing here may reach the interpreter; the test recorder needs none, and is
// driven through its exported C API as the Python tests drive it with ctypes.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  }
}

template <typename Function>
Function exported(HMODULE module, const char* name) {
  const FARPROC address = GetProcAddress(module, name);
  expect(address != nullptr, name);
  // void (*)() converts to any function pointer type without a cast warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: load_pyd PATH.pyd\n");
    return 2;
  }
  const HMODULE pyd = LoadLibraryExA(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (pyd == nullptr) {
    std::printf("FAILED: LoadLibrary(%s): error %lu\n", argv[1], GetLastError());
    return 1;
  }
  exported<void (*)()>(pyd, "PyInit_ondrel");
  const auto start = exported<void (*)()>(pyd, "ondrel_recorder_start");
  const auto stop = exported<void (*)()>(pyd, "ondrel_recorder_stop");
  const auto fail_call = exported<void (*)(unsigned long)>(pyd, "ondrel_recorder_fail_call");
  const auto gamepad = exported<void (*)(int)>(pyd, "ondrel_recorder_gamepad");
  const auto events = exported<const char* (*)()>(pyd, "ondrel_recorder_events");
  if (failures == 0) {
    start();
    fail_call(1);
    gamepad(1);
    expect(std::strcmp(events(), "[]") == 0, "an empty journal after start");
    gamepad(0);
    fail_call(0);
    stop();
    expect(std::strcmp(events(), "[]") == 0, "an empty journal after stop");
  }
  expect(FreeLibrary(pyd) != 0, "FreeLibrary");
  std::printf("%s\n", failures == 0 ? "loaded, recorder answered, unloaded" : "failed");
  return failures == 0 ? 0 : 1;
}
