#pragma once

#include <string>

#include "module/python.h"

namespace ondrel::py {

// One Python class of the module and its process-wide caches.
struct PyClass {
  const char* name;            // "Mouse"
  const char* text_signature;  // "(name=None)"
  const char* doc;             // "Virtual Mouse"
  int basic_size;
  newfunc construct;
  destructor deallocate;
  PyMethodDef* methods;

  PyTypeObject* type = nullptr;  // created on first demand, then kept
  std::string composed_doc;      // built once
  // "builtins.Mouse", kept for the type's life: CPython 3.11 keeps the
  // spec's pointer as the type's tp_name.
  std::string qualified_name;
};

// The class's type object (borrowed), created on first demand; null with
// RuntimeError "An error occurred while initializing class X" on failure.
PyTypeObject* class_type(PyClass& cls);

// Adds the class to `module` and to its __all__. Returns false with an
// error set on failure.
bool register_class(PyObject* module, PyClass& cls);

}  // namespace ondrel::py
