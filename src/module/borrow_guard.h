#pragma once

#include <atomic>
#include <cstdint>

#include "module/py_ref.h"
#include "module/python.h"

namespace ondrel::py {

// Exclusive use of an object for one call: taken by compare-and-swap,
// released (and the reference to self dropped) on every way out.
class BorrowGuard {
 public:
  BorrowGuard() = default;
  BorrowGuard(const BorrowGuard&) = delete;
  BorrowGuard& operator=(const BorrowGuard&) = delete;
  ~BorrowGuard() {
    if (flag_ != nullptr) flag_->store(0);
  }

  // Returns false with RuntimeError "Already borrowed" set when the object
  // is in use.
  bool acquire(PyObject* self, std::atomic<std::uintptr_t>& flag) {
    std::uintptr_t expected = 0;
    if (!flag.compare_exchange_strong(expected, ~std::uintptr_t{0})) {
      PyErr_SetString(PyExc_RuntimeError, "Already borrowed");
      return false;
    }
    self_ = Ref::borrow(self);
    flag_ = &flag;
    return true;
  }

 private:
  Ref self_;  // declared first: released after the flag
  std::atomic<std::uintptr_t>* flag_ = nullptr;
};

}  // namespace ondrel::py
