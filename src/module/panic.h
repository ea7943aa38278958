#pragma once

#include <exception>
#include <new>
#include <type_traits>
#include <utility>

#include "module/python.h"

namespace ondrel::py {

// Raises PanicException (derived from BaseException) with `message`, or with
// a default text when there is none.
void raise_panic(const char* message) noexcept;
[[noreturn]] void abort_uncaught_panic() noexcept;

// Runs the body of an entry from the interpreter. A C++ failure becomes a
// Python error (MemoryError for an exhausted allocator, PanicException for
// anything else) and the entry returns `failure`.
template <class Body, class Result = std::invoke_result_t<Body>>
Result guarded(Body&& body, Result failure) noexcept {
  try {
    try {
      return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
      PyErr_NoMemory();
    } catch (const std::exception& error) {
      raise_panic(error.what());
    } catch (...) {
      raise_panic(nullptr);
    }
  } catch (...) {
    abort_uncaught_panic();
  }
  return failure;
}

// For deallocators, which cannot fail: a failure is reported as unraisable.
// A deallocator may run while an exception is pending; only a failure of
// its own is reported.
template <class Body>
void guarded_dealloc(Body&& body) noexcept {
  PyObject* type = nullptr;
  PyObject* value = nullptr;
  PyObject* traceback = nullptr;
  PyErr_Fetch(&type, &value, &traceback);
  const int outcome = guarded(
      [&] {
        std::forward<Body>(body)();
        return 0;
      },
      -1);
  if (outcome != 0) PyErr_WriteUnraisable(nullptr);
  PyErr_Restore(type, value, traceback);
}

}  // namespace ondrel::py
