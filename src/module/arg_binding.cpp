#include "module/arg_binding.h"

#include <string>
#include <vector>

#include "module/py_ref.h"

namespace ondrel::py {
namespace {

// Messages are built only once a check has failed.

void raise_too_many(const SignatureView& signature, Py_ssize_t given) {
  const char* verb = given == 1 ? "was" : "were";
  if (signature.required == signature.names.size()) {
    PyErr_Format(PyExc_TypeError, "%s takes %zu positional arguments but %zd %s given", signature.full_name,
                 signature.names.size(), given, verb);
  } else {
    PyErr_Format(PyExc_TypeError, "%s takes from %zu to %zu positional arguments but %zd %s given",
                 signature.full_name, signature.required, signature.names.size(), given, verb);
  }
}

void raise_unexpected_keyword(const SignatureView& signature, PyObject* name) {
  if (PyUnicode_Check(name)) {
    PyErr_Format(PyExc_TypeError, "%s got an unexpected keyword argument '%U'", signature.full_name, name);
  } else {
    PyErr_Format(PyExc_TypeError, "%s got an unexpected keyword argument '%S'", signature.full_name, name);
  }
}

void raise_multiple_values(const SignatureView& signature, std::size_t slot) {
  PyErr_Format(PyExc_TypeError, "%s got multiple values for argument '%s'", signature.full_name,
               signature.names[slot]);
}

std::string quoted_list(const std::vector<const char*>& names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += names.size() == 2 ? " and " : (i + 1 == names.size() ? ", and " : ", ");
    list += '\'';
    list += names[i];
    list += '\'';
  }
  return list;
}

void raise_missing(const SignatureView& signature, std::span<PyObject*> slots) {
  std::vector<const char*> missing;
  for (std::size_t i = 0; i < signature.required; ++i)
    if (slots[i] == nullptr) missing.push_back(signature.names[i]);
  PyErr_Format(PyExc_TypeError, "%s missing %zu required positional argument%s: %s", signature.full_name,
               missing.size(), missing.size() == 1 ? "" : "s", quoted_list(missing).c_str());
}

// Index of the parameter named `name`, or -1. A name without a UTF-8 form
// cannot equal any (ASCII) parameter name.
Py_ssize_t parameter_index(const SignatureView& signature, PyObject* name) {
  if (!PyUnicode_Check(name)) return -1;
  for (std::size_t i = 0; i < signature.names.size(); ++i)
    if (PyUnicode_CompareWithASCIIString(name, signature.names[i]) == 0) return static_cast<Py_ssize_t>(i);
  return -1;
}

bool place_keyword(const SignatureView& signature, PyObject* name, PyObject* value, std::span<PyObject*> slots) {
  const Py_ssize_t index = parameter_index(signature, name);
  if (index < 0) {
    raise_unexpected_keyword(signature, name);
    return false;
  }
  if (slots[static_cast<std::size_t>(index)] != nullptr) {
    raise_multiple_values(signature, static_cast<std::size_t>(index));
    return false;
  }
  slots[static_cast<std::size_t>(index)] = value;
  return true;
}

bool positional_count_fits(const SignatureView& signature, Py_ssize_t count) {
  if (static_cast<std::size_t>(count) > signature.names.size()) {
    raise_too_many(signature, count);
    return false;
  }
  return true;
}

bool check_required(const SignatureView& signature, Py_ssize_t positional, std::span<PyObject*> slots) {
  for (std::size_t i = static_cast<std::size_t>(positional); i < signature.required; ++i) {
    if (slots[i] == nullptr) {
      raise_missing(signature, slots);
      return false;
    }
  }
  return true;
}

}  // namespace

bool bind_vector(const SignatureView& signature, PyObject* const* args, Py_ssize_t positional,
                 PyObject* keyword_names, std::span<PyObject*> slots) {
  if (!positional_count_fits(signature, positional)) return false;
  for (Py_ssize_t i = 0; i < positional; ++i) slots[static_cast<std::size_t>(i)] = args[i];
  const Py_ssize_t keywords = keyword_names == nullptr ? 0 : PyTuple_Size(keyword_names);
  for (Py_ssize_t i = 0; i < keywords; ++i) {
    if (!place_keyword(signature, PyTuple_GetItem(keyword_names, i), args[positional + i], slots)) return false;
  }
  return check_required(signature, positional, slots);
}

bool bind_tuple(const SignatureView& signature, PyObject* args, PyObject* kwargs, std::span<PyObject*> slots) {
  const Py_ssize_t positional = PyTuple_Size(args);
  if (!positional_count_fits(signature, positional)) return false;
  for (Py_ssize_t i = 0; i < positional; ++i) slots[static_cast<std::size_t>(i)] = PyTuple_GetItem(args, i);
  if (kwargs != nullptr) {
    Py_ssize_t position = 0;
    PyObject* name = nullptr;
    PyObject* value = nullptr;
    while (PyDict_Next(kwargs, &position, &name, &value))
      if (!place_keyword(signature, name, value, slots)) return false;
  }
  return check_required(signature, positional, slots);
}

}  // namespace ondrel::py
