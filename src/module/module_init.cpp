#include <array>
#include <atomic>
#include <cstdint>

#include "module/classes.h"
#include "module/panic.h"
#include "module/py_ref.h"

namespace ondrel::py {
namespace {

// Registered in this order; __all__ follows it.
constexpr std::array kRegisteredClasses = {
    mouse_class,
    keyboard_class,
    gamepad_class,
    agent_hid_class,
};

constexpr int kModuleApiVersion = 1013;

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT, "ondrel", "Python module", 0, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// The interpreter that first imported the module; -1 until then.
std::atomic<std::int64_t> owning_interpreter{-1};
PyObject* module_cache = nullptr;

bool claim_interpreter() {
  const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
  if (id == -1) {
    if (!PyErr_Occurred())
      PyErr_SetString(PyExc_SystemError, "attempted to fetch exception but none was set");
    return false;
  }
  std::int64_t previous = -1;
  if (owning_interpreter.compare_exchange_strong(previous, id) || previous == id) return true;
  PyErr_SetString(PyExc_ImportError,
                  "ondrel does not support sub-interpreters: it is already loaded in another interpreter");
  return false;
}

PyObject* build_module() {
  Ref module = Ref::steal(PyModule_Create2(&module_definition, kModuleApiVersion));
  if (!module) return nullptr;
  for (PyClass& (*cls)() : kRegisteredClasses)
    if (!register_class(module.get(), cls())) return nullptr;
  module_cache = Ref::borrow(module.get()).release();
  return module.release();
}

PyObject* initialise() {
  if (!claim_interpreter()) return nullptr;
  if (module_cache != nullptr) return Ref::borrow(module_cache).release();
  return build_module();
}

}  // namespace
}  // namespace ondrel::py

PyMODINIT_FUNC PyInit_ondrel() {
  return ondrel::py::guarded(ondrel::py::initialise, static_cast<PyObject*>(nullptr));
}
