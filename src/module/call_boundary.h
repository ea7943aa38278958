#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devices/hid_result.h"
#include "devices/stop_request.h"
#include "module/arg_binding.h"
#include "module/arg_conversion.h"
#include "module/borrow_guard.h"
#include "module/native_object.h"
#include "module/panic.h"
#include "module/py_class.h"

namespace ondrel::py {

// RuntimeError with the error's display text; for an operation stopped by
// a signal, the exception its handler raised (KeyboardInterrupt for Ctrl-C).
void raise_hid_error(const HidError& error);

// The stop check of every call: runs the interpreter's signal handlers (the
// lock is held), and asks to stop once one of them raised.
bool python_signal_raised();

// None on success; RuntimeError with the error's display text otherwise.
PyObject* none_or_raise(const HidResult& result);

// Checks that `self` is an instance of the class; TypeError otherwise, or
// PanicException when the class's type object cannot be had.
bool check_self(PyClass& cls, PyObject* self);

// The whole path of a method with parameters: bind, take exclusive use,
// then run `body(record, slots)`, which converts and operates.
template <class Record, std::size_t N, class Body>
PyObject* call_method(PyClass& cls, const Signature<N>& signature, PyObject* self, PyObject* const* args,
                      Py_ssize_t nargs, PyObject* keyword_names, Body&& body) noexcept {
  return guarded(
      [&]() -> PyObject* {
        Slots<N> slots{};
        // A METH_FASTCALL entry is given a plain count, never the vectorcall offset flag.
        if (!bind(signature, args, nargs, keyword_names, slots)) return nullptr;
        if (!check_self(cls, self)) return nullptr;
        BorrowGuard borrow;
        if (!borrow.acquire(self, as_native<Record>(self)->borrow)) return nullptr;
        const StopCheckScope stop_on_signal(python_signal_raised);
        return body(as_native<Record>(self)->record(), slots);
      },
      static_cast<PyObject*>(nullptr));
}

// A method without parameters (the interpreter refuses any argument).
template <class Record, class Body>
PyObject* call_method_noargs(PyClass& cls, PyObject* self, Body&& body) noexcept {
  return guarded(
      [&]() -> PyObject* {
        if (!check_self(cls, self)) return nullptr;
        BorrowGuard borrow;
        if (!borrow.acquire(self, as_native<Record>(self)->borrow)) return nullptr;
        const StopCheckScope stop_on_signal(python_signal_raised);
        return body(as_native<Record>(self)->record());
      },
      static_cast<PyObject*>(nullptr));
}

// A constructor: bind the tuple and dict, then `build(slots)` returns the
// record or nothing (with an error set); the record moves into a new instance.
template <class Record, std::size_t N, class Build>
PyObject* construct(PyTypeObject* type, const Signature<N>& signature, PyObject* args, PyObject* kwargs,
                    Build&& build) noexcept {
  return guarded(
      [&]() -> PyObject* {
        Slots<N> slots{};
        if (!bind(signature, args, kwargs, slots)) return nullptr;
        std::optional<Record> record = build(slots);
        if (!record) return nullptr;
        return adopt_record(type, std::move(*record));
      },
      static_cast<PyObject*>(nullptr));
}

template <class Record>
void deallocate(PyObject* self) noexcept {
  guarded_dealloc([&] { free_native<Record>(self); });
}

// The optional `name` of the device constructors: absent or None gives the
// default name.
bool convert_device_name(PyObject* object, std::string_view default_name, std::string& out);

// Builds a device named by the constructor's argument and creates it at once.
template <class Device, class Factory>
std::optional<Device> build_created_device(PyObject* name_argument, std::string_view default_name,
                                           Factory factory) {
  std::string name;
  if (!convert_device_name(name_argument, default_name, name)) return std::nullopt;
  Device device(factory(), std::move(name));
  const HidResult created = device.create();
  if (!created.ok()) {
    raise_hid_error(created.error());
    return std::nullopt;
  }
  return device;
}

}  // namespace ondrel::py
