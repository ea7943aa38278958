#include "module/computer/computer_arguments.h"

#include <array>
#include <cmath>
#include <string>

#include "computer/pointer_steps.h"
#include "module/py_ref.h"

namespace ondrel::py::computer_args {
namespace {

constexpr std::array<std::pair<std::string_view, Button>, 5> kButtons = {{
    {"left", Button::left},
    {"right", Button::right},
    {"middle", Button::middle},
    {"back", Button::back},
    {"forward", Button::forward},
}};


// "Computer.write() argument 'text' must be str, not int".
bool wrong_type(const char* method, const char* name, const char* expected, PyObject* object) {
  Ref type = Ref::steal(PyType_GetName(Py_TYPE(object)));
  if (!type) return false;
  PyErr_Format(PyExc_TypeError, "%s argument '%s' must be %s, not %U", method, name, expected, type.get());
  return false;
}

bool int_item(const char* method, const char* name, PyObject* item, std::int32_t& out) {
  if (!PyLong_Check(item)) return wrong_type(method, name, "a pair of int", item);
  return to_int(method, name, item, out);
}

// A tuple or list of exactly two ints.
bool to_pair(const char* method, const char* name, PyObject* object, std::int32_t& first, std::int32_t& second) {
  if (!PyTuple_Check(object) && !PyList_Check(object)) return wrong_type(method, name, "a pair of int", object);
  if (PySequence_Size(object) != 2) {
    PyErr_Format(PyExc_ValueError, "%s argument '%s' must be a pair of int, not %zd values", method, name,
                 PySequence_Size(object));
    return false;
  }
  Ref a = Ref::steal(PySequence_GetItem(object, 0));
  Ref b = Ref::steal(PySequence_GetItem(object, 1));
  if (!a || !b) return false;
  return int_item(method, name, a.get(), first) && int_item(method, name, b.get(), second);
}

}  // namespace

bool to_int(const char* method, const char* name, PyObject* object, std::int32_t& out) {
  if (!PyLong_Check(object)) return wrong_type(method, name, "int", object);
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(object, &overflow);
  if (value == -1 && PyErr_Occurred()) return false;
  if (overflow != 0 || value < INT32_MIN || value > INT32_MAX) {
    PyErr_Format(PyExc_OverflowError, "%s argument '%s' does not fit in 32 bits", method, name);
    return false;
  }
  out = static_cast<std::int32_t>(value);
  return true;
}

bool to_optional_point(const char* method, PyObject* x, PyObject* y, std::optional<Point>& out) {
  const bool has_x = x != nullptr && x != Py_None;
  const bool has_y = y != nullptr && y != Py_None;
  if (has_x != has_y) {
    PyErr_Format(PyExc_ValueError, "%s takes x and y together, or neither", method);
    return false;
  }
  if (!has_x) return true;
  Point point;
  if (!to_int(method, "x", x, point.x) || !to_int(method, "y", y, point.y)) return false;
  out = point;
  return true;
}

bool to_optional_size(const char* method, const char* name, PyObject* object, std::optional<Size>& out) {
  if (object == nullptr || object == Py_None) return true;
  Size size;
  if (!to_pair(method, name, object, size.width, size.height)) return false;
  if (size.width <= 0 || size.height <= 0) {
    PyErr_Format(PyExc_ValueError, "%s argument '%s' must be positive, not (%d, %d)", method, name, size.width,
                 size.height);
    return false;
  }
  out = size;
  return true;
}

bool to_button(const char* method, PyObject* object, Button& out) {
  if (object == nullptr) return true;
  std::string_view name;
  if (!to_str(method, "button", object, name)) return false;
  for (const auto& [known, button] : kButtons) {
    if (name == known) {
      out = button;
      return true;
    }
  }
  PyErr_Format(PyExc_ValueError,
               "%s argument 'button' must be 'left', 'right', 'middle', 'back' or 'forward', not %R", method, object);
  return false;
}

bool to_click_count(const char* method, PyObject* object, int& out) {
  if (object == nullptr) return true;
  std::int32_t count = 0;
  if (!to_int(method, "count", object, count)) return false;
  if (count < 1 || count > 3) {
    PyErr_Format(PyExc_ValueError, "%s argument 'count' must be 1, 2 or 3, not %d", method, count);
    return false;
  }
  out = count;
  return true;
}

bool to_path(const char* method, PyObject* object, std::vector<Point>& out) {
  if (PyUnicode_Check(object) || PyBytes_Check(object) || !PySequence_Check(object))
    return wrong_type(method, "path", "a sequence of (x, y) pairs", object);
  const Py_ssize_t size = PySequence_Size(object);
  if (size < 0) return false;
  if (size == 0) {
    PyErr_Format(PyExc_ValueError, "%s argument 'path' is empty: a drag needs at least one point", method);
    return false;
  }
  std::vector<Point> path(static_cast<std::size_t>(size));
  for (Py_ssize_t i = 0; i < size; ++i) {
    Ref item = Ref::steal(PySequence_GetItem(object, i));
    if (!item || !to_pair(method, "path", item.get(), path[i].x, path[i].y)) return false;
  }
  out = std::move(path);
  return true;
}

bool to_str(const char* method, const char* name, PyObject* object, std::string_view& out) {
  if (!PyUnicode_Check(object)) return wrong_type(method, name, "str", object);
  Py_ssize_t size = 0;
  const char* text = PyUnicode_AsUTF8AndSize(object, &size);
  if (text == nullptr) return false;
  out = std::string_view(text, static_cast<std::size_t>(size));
  return true;
}

bool to_chord(const char* method, PyObject* object, computer::Chord& out) {
  Expected<computer::Chord> chord = Outcome::failure("");
  if (PyUnicode_Check(object)) {
    std::string_view text;
    if (!to_str(method, "chord", object, text)) return false;
    chord = computer::parse_chord(text);
  } else if (PyList_Check(object) || PyTuple_Check(object)) {
    std::vector<std::string> names;
    for (Py_ssize_t i = 0; i < PySequence_Size(object); ++i) {
      Ref item = Ref::steal(PySequence_GetItem(object, i));
      std::string_view name;
      if (!item || !to_str(method, "chord", item.get(), name)) return false;
      names.emplace_back(name);
    }
    chord = computer::parse_chord(names);
  } else {
    return wrong_type(method, "chord", "str or a list of str", object);
  }
  if (!chord.ok()) {
    const Outcome refused = chord.outcome();
    PyErr_Format(PyExc_ValueError, "%s argument 'chord': %s", method, refused.error().c_str());
    return false;
  }
  out = chord.value();
  return true;
}

bool to_hold_seconds(const char* method, PyObject* object, double& out) {
  if (!PyLong_Check(object) && !PyFloat_Check(object)) return wrong_type(method, "seconds", "int or float", object);
  const double seconds = PyFloat_AsDouble(object);
  if (seconds == -1.0 && PyErr_Occurred()) return false;
  if (!(seconds >= 0 && seconds <= computer::kMaxWaitSeconds)) {
    Ref shown = Ref::steal(PyObject_Repr(object));
    if (!shown) return false;
    PyErr_Format(PyExc_ValueError, "%s argument 'seconds' must be from 0 to %d, not %U", method,
                 static_cast<int>(computer::kMaxWaitSeconds), shown.get());
    return false;
  }
  out = seconds;
  return true;
}

bool to_typing_pace(const char* method, PyObject* object, TypingPace& out) {
  if (object == nullptr || object == Py_None) {
    out = kDefaultTypingPace;
    return true;
  }
  if (!PyLong_Check(object) && !PyFloat_Check(object)) return wrong_type(method, "pace", "int, float or None", object);
  const double seconds = PyFloat_AsDouble(object);
  if (seconds == -1.0 && PyErr_Occurred()) return false;
  if (!(seconds >= kFastestPaceSeconds && seconds <= kSlowestPaceSeconds)) {
    Ref shown = Ref::steal(PyObject_Repr(object));
    if (!shown) return false;
    PyErr_Format(PyExc_ValueError, "%s argument 'pace' must be from 0.002 to 1 (seconds a character), not %U", method,
                 shown.get());
    return false;
  }
  const auto total_ms = static_cast<std::uint32_t>(std::lround(seconds * 1000));
  out.held_ms = (total_ms + 1) / 2;
  out.gap_ms = total_ms - out.held_ms;
  return true;
}

bool to_dict(const char* method, const char* name, PyObject* object) {
  return PyDict_Check(object) || wrong_type(method, name, "dict", object);
}

}  // namespace ondrel::py::computer_args
