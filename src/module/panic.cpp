#include "module/panic.h"

#include <cstdio>
#include <cstdlib>

namespace ondrel::py {
namespace {

constexpr const char* kDefaultPanicText = "panic from native code";

constexpr const char* kPanicDoc =
    "Raised when native code called from Python panics.\n\n"
    "Like SystemExit, it derives from BaseException rather than Exception, so that it normally "
    "propagates all the way up and ends the interpreter.";

// Created on first use and kept for the life of the process.
PyObject* panic_exception_type() {
  static PyObject* type = nullptr;
  if (type == nullptr)
    type = PyErr_NewExceptionWithDoc("ondrel.PanicException", kPanicDoc, PyExc_BaseException, nullptr);
  return type;
}

}  // namespace

void raise_panic(const char* message) noexcept {
  PyObject* type = panic_exception_type();
  if (type == nullptr) return;  // the interpreter's error is pending instead
  PyErr_SetString(type, message != nullptr && *message != '\0' ? message : kDefaultPanicText);
}

void abort_uncaught_panic() noexcept {
  std::fputs("uncaught panic at ffi boundary\n", stderr);
  std::abort();
}

}  // namespace ondrel::py
