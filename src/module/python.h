#pragma once

// The one way the module includes the interpreter's API: the Stable ABI as
// of CPython 3.11, so that one binary serves 3.11 and every later version.
#define PY_SSIZE_T_CLEAN
#ifndef Py_LIMITED_API
#define Py_LIMITED_API 0x030B0000
#endif
#include <Python.h>
