#include "module/computer/py_computer.h"
#include "module/panic.h"
#include "module/py_ref.h"

namespace ondrel::py {
namespace {

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT,
    "ondrel_computer._native",
    "The pointer at a point, text in any language, and the computer-use actions of model APIs.",
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

PyObject* build_module() {
  Ref module = Ref::steal(PyModule_Create(&module_definition));
  if (!module) return nullptr;
  PyTypeObject* type = create_computer_type();
  if (type == nullptr) return nullptr;
  if (PyModule_AddObjectRef(module.get(), "Computer", reinterpret_cast<PyObject*>(type)) < 0) return nullptr;
  Ref all = Ref::steal(Py_BuildValue("[s]", "Computer"));
  if (!all || PyModule_AddObjectRef(module.get(), "__all__", all.get()) < 0) return nullptr;
  return module.release();
}

}  // namespace
}  // namespace ondrel::py

PyMODINIT_FUNC PyInit__native() {
  return ondrel::py::guarded(ondrel::py::build_module, static_cast<PyObject*>(nullptr));
}
