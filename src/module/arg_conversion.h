#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "module/python.h"

namespace ondrel::py {

// Conversions of one bound argument. Each returns false with a Python error
// set when it refuses the value; convert_argument() then applies the
// argument-error rule.

// A str (or subclass), read in place as UTF-8; valid while `object` lives.
bool to_text(PyObject* object, std::string_view& out);
// A sequence of str, other than a str itself.
bool to_text_list(PyObject* object, std::vector<std::string>& out);
bool to_int32(PyObject* object, std::int32_t& out);
bool to_int8(PyObject* object, std::int8_t& out);
bool to_uint8(PyObject* object, std::uint8_t& out);
// A dict (or subclass); the object itself, borrowed.
bool to_dict(PyObject* object, PyObject*& out);

// "'int' object cannot be converted to 'PyString'", as a TypeError.
void raise_downcast_error(PyObject* object, const char* target);

// A TypeError refusal gains the parameter's name; any other passes as is.
void apply_argument_error_rule(const char* parameter);

template <class Value, class Converter>
bool convert_argument(const char* parameter, PyObject* object, Converter convert, Value& out) {
  if (convert(object, out)) return true;
  apply_argument_error_rule(parameter);
  return false;
}

}  // namespace ondrel::py
