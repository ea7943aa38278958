#pragma once

#include "module/python.h"

namespace ondrel::py {

// Method-table rows. The table stores every calling convention as
// PyCFunction; the flags tell the interpreter the real one.

using FastcallEntry = PyObject* (*)(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

inline PyMethodDef fastcall_method(const char* name, FastcallEntry entry, const char* doc) {
  return {name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(entry)), METH_FASTCALL | METH_KEYWORDS,
          doc};
}

inline PyMethodDef noargs_method(const char* name, PyCFunction entry, const char* doc) {
  return {name, entry, METH_NOARGS, doc};
}

inline constexpr PyMethodDef kMethodTableEnd = {nullptr, nullptr, 0, nullptr};

}  // namespace ondrel::py
