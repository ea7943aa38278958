// A stand-in for bcryptprimitives.dll, which Wine 8 lacks: Rust-built
// extensions (rpds-py, under jsonschema) import ProcessPrng from it. It fills
// the buffer from RtlGenRandom, the generator advapi32 exports as
// SystemFunction036. Placed beside python.exe, it is found before any DLL of
// the system's.
#include <windows.h>

#include <algorithm>

extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

extern "C" __declspec(dllexport) BOOL WINAPI ProcessPrng(PBYTE data, SIZE_T size) {
  while (size > 0) {
    const ULONG chunk = static_cast<ULONG>(std::min<SIZE_T>(size, 1UL << 30));
    if (!SystemFunction036(data, chunk)) return FALSE;
    data += chunk;
    size -= chunk;
  }
  return TRUE;
}
