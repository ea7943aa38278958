#include "module/arg_conversion.h"

#include <algorithm>
#include <limits>

#include "module/py_ref.h"

namespace ondrel::py {
namespace {

constexpr const char* kOutOfRange = "out of range integral type conversion attempted";

// The module targets Windows, where a C long has 32 bits; the same bound
// and message apply on every system so that calls behave alike everywhere.
bool to_c_long(PyObject* object, long& out) {
  out = PyLong_AsLong(object);
  if (out == -1 && PyErr_Occurred()) return false;
  if (out < std::numeric_limits<std::int32_t>::min() || out > std::numeric_limits<std::int32_t>::max()) {
    PyErr_SetString(PyExc_OverflowError, "Python int too large to convert to C long");
    return false;
  }
  return true;
}

template <class Narrow>
bool to_narrow(PyObject* object, Narrow& out) {
  long value = 0;
  if (!to_c_long(object, value)) return false;
  if (value < std::numeric_limits<Narrow>::min() || value > std::numeric_limits<Narrow>::max()) {
    PyErr_SetString(PyExc_OverflowError, kOutOfRange);
    return false;
  }
  out = static_cast<Narrow>(value);
  return true;
}

}  // namespace

void raise_downcast_error(PyObject* object, const char* target) {
  Ref type_name = Ref::steal(PyType_GetQualName(Py_TYPE(object)));
  if (!type_name) {
    PyErr_Clear();
    PyErr_Format(PyExc_TypeError, "'<failed to extract type name>' object cannot be converted to '%s'", target);
    return;
  }
  PyErr_Format(PyExc_TypeError, "'%U' object cannot be converted to '%s'", type_name.get(), target);
}

bool to_text(PyObject* object, std::string_view& out) {
  if (!PyUnicode_Check(object)) {
    raise_downcast_error(object, "PyString");
    return false;
  }
  Py_ssize_t size = 0;
  const char* text = PyUnicode_AsUTF8AndSize(object, &size);
  if (text == nullptr) return false;
  out = std::string_view(text, static_cast<std::size_t>(size));
  return true;
}

bool to_text_list(PyObject* object, std::vector<std::string>& out) {
  if (PyUnicode_Check(object)) {
    PyErr_SetString(PyExc_TypeError, "Can't extract `str` to `Vec`");
    return false;
  }
  if (!PySequence_Check(object)) {
    raise_downcast_error(object, "Sequence");
    return false;
  }
  // The size only sizes the result: a sequence that cannot tell is still
  // read, and one whose length claims too much cannot reserve more than a
  // small bound.
  constexpr Py_ssize_t kMostReserved = 64;
  const Py_ssize_t size_hint = PySequence_Size(object);
  if (size_hint < 0) PyErr_Clear();
  std::vector<std::string> items;
  if (size_hint > 0) items.reserve(static_cast<std::size_t>(std::min(size_hint, kMostReserved)));
  Ref iterator = Ref::steal(PyObject_GetIter(object));
  if (!iterator) return false;
  while (Ref item = Ref::steal(PyIter_Next(iterator.get()))) {
    std::string_view text;
    if (!to_text(item.get(), text)) return false;
    items.emplace_back(text);
  }
  if (PyErr_Occurred()) return false;
  out = std::move(items);
  return true;
}

bool to_int32(PyObject* object, std::int32_t& out) {
  long value = 0;
  if (!to_c_long(object, value)) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

bool to_int8(PyObject* object, std::int8_t& out) { return to_narrow(object, out); }

bool to_uint8(PyObject* object, std::uint8_t& out) { return to_narrow(object, out); }

bool to_dict(PyObject* object, PyObject*& out) {
  if (!PyDict_Check(object)) {
    raise_downcast_error(object, "PyDict");
    return false;
  }
  out = object;
  return true;
}

void apply_argument_error_rule(const char* parameter) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyObject* type = nullptr;
  PyObject* value = nullptr;
  PyObject* traceback = nullptr;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  Ref refused_type = Ref::steal(type);
  Ref refused = Ref::steal(value);
  Ref refused_traceback = Ref::steal(traceback);
  if (refused_type.get() != PyExc_TypeError) {  // a subclass: passed on unchanged
    PyErr_Restore(refused_type.release(), refused.release(), refused_traceback.release());
    return;
  }
  Ref text = Ref::steal(PyObject_Str(refused.get()));
  if (!text) return;
  Ref message = Ref::steal(PyUnicode_FromFormat("argument '%s': %U", parameter, text.get()));
  if (!message) return;
  Ref replacement = Ref::steal(PyObject_CallFunctionObjArgs(PyExc_TypeError, message.get(), nullptr));
  if (!replacement) return;
  if (PyObject* cause = PyException_GetCause(refused.get())) PyException_SetCause(replacement.get(), cause);
  PyErr_SetObject(PyExc_TypeError, replacement.get());
}

}  // namespace ondrel::py
