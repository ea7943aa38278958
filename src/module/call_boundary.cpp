#include "module/call_boundary.h"

#include <cstdio>

namespace ondrel::py {

bool python_signal_raised() { return PyErr_CheckSignals() != 0; }

void raise_hid_error(const HidError& error) {
  if (error.kind() == HidError::Kind::Interrupted) {
    if (PyErr_Occurred() == nullptr) PyErr_SetNone(PyExc_KeyboardInterrupt);
    return;
  }
  const std::string text = error.display();
  // Names inside the text may hold any character, NUL included.
  Ref message = Ref::steal(PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
  if (message) PyErr_SetObject(PyExc_RuntimeError, message.get());
}

PyObject* none_or_raise(const HidResult& result) {
  if (result.ok()) Py_RETURN_NONE;
  raise_hid_error(result.error());
  return nullptr;
}

bool check_self(PyClass& cls, PyObject* self) {
  PyTypeObject* type = class_type(cls);
  if (type == nullptr) {
    PyErr_Print();
    const std::string message = std::string("failed to create type object for ") + cls.name;
    raise_panic(message.c_str());
    return false;
  }
  if (PyObject_TypeCheck(self, type)) return true;
  raise_downcast_error(self, cls.name);
  return false;
}

bool convert_device_name(PyObject* object, std::string_view default_name, std::string& out) {
  if (object == nullptr || object == Py_None) {
    out = default_name;
    return true;
  }
  std::string_view text;
  if (!convert_argument("name", object, to_text, text)) return false;
  out = text;
  return true;
}

}  // namespace ondrel::py
