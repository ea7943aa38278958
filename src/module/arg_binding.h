#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "module/python.h"

namespace ondrel::py {

// The parameters of one callable: all positional-or-keyword, the first
// `required` of them required.
struct SignatureView {
  const char* full_name;  // "Mouse.click()", used in messages
  std::span<const char* const> names;
  std::size_t required;
};

template <std::size_t N>
struct Signature {
  const char* full_name;
  std::array<const char*, N> names;
  std::size_t required;

  [[nodiscard]] SignatureView view() const { return {full_name, names, required}; }
};

// Bound arguments: borrowed references, null where a parameter was not given.
template <std::size_t N>
using Slots = std::array<PyObject*, N>;

// A method call: vector of positional then keyword values, keyword names in
// a tuple. Returns false with TypeError set when the call does not bind.
bool bind_vector(const SignatureView& signature, PyObject* const* args, Py_ssize_t positional,
                 PyObject* keyword_names, std::span<PyObject*> slots);

// A constructor call: positional tuple and keyword dict (or null).
bool bind_tuple(const SignatureView& signature, PyObject* args, PyObject* kwargs, std::span<PyObject*> slots);

template <std::size_t N>
bool bind(const Signature<N>& signature, PyObject* const* args, Py_ssize_t positional, PyObject* keyword_names,
          Slots<N>& slots) {
  return bind_vector(signature.view(), args, positional, keyword_names, slots);
}

template <std::size_t N>
bool bind(const Signature<N>& signature, PyObject* args, PyObject* kwargs, Slots<N>& slots) {
  return bind_tuple(signature.view(), args, kwargs, slots);
}

}  // namespace ondrel::py
