#include "module/computer/screen_arguments.h"

#include <array>

#include "module/computer/computer_arguments.h"
#include "module/py_ref.h"

namespace ondrel::py::computer_args {

bool to_region(const char* method, const char* name, PyObject* object, computer::ShotRegion& out) {
  constexpr const char* expected = "a tuple (x0, y0, x1, y1) of int";
  if (!PyTuple_Check(object) && !PyList_Check(object)) {
    Ref type = Ref::steal(PyType_GetName(Py_TYPE(object)));
    if (type) PyErr_Format(PyExc_TypeError, "%s argument '%s' must be %s, not %U", method, name, expected, type.get());
    return false;
  }
  const Py_ssize_t count = PySequence_Size(object);
  if (count != 4) {
    if (count >= 0)
      PyErr_Format(PyExc_ValueError, "%s argument '%s' must be %s, not %zd values", method, name, expected, count);
    return false;
  }
  std::array<std::int32_t*, 4> fields{&out.x0, &out.y0, &out.x1, &out.y1};
  for (Py_ssize_t i = 0; i < 4; ++i) {
    Ref item = Ref::steal(PySequence_GetItem(object, i));
    if (!item || !to_int(method, name, item.get(), *fields[static_cast<std::size_t>(i)])) return false;
  }
  return true;
}

}  // namespace ondrel::py::computer_args
