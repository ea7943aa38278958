// Compiled (never linked) with the module's settings in the Windows cross
// build: the headers must describe CPython for 64-bit Windows as its own MSVC
// build sees them (LLP64, a release build's object header), or the .pyd would
// disagree with the interpreter about every object it touches.
#include "module/python.h"

static_assert(sizeof(void*) == 8 && SIZEOF_VOID_P == 8, "64-bit interpreter (MS_WIN64)");
static_assert(sizeof(Py_ssize_t) == 8 && SIZEOF_SIZE_T == 8);
static_assert(sizeof(long) == 4 && SIZEOF_LONG == 4, "Windows is LLP64");
static_assert(sizeof(PyObject) == 16, "no debug-build fields in the object header");
static_assert(sizeof(PyVarObject) == 24);

#if !defined(MS_WINDOWS) || !defined(Py_ENABLE_SHARED) || defined(Py_DEBUG)
#error "not the interface of a release python3.dll"
#endif
#if !defined(Py_LIMITED_API) || Py_LIMITED_API != 0x030B0000
#error "not the Stable ABI of CPython 3.11"
#endif
