#include "module/py_class.h"

#include "module/panic.h"
#include "module/py_ref.h"

namespace ondrel::py {
namespace {

// The interpreter reads the text signature off the front of the docstring.
const std::string& composed_doc(PyClass& cls) {
  if (cls.composed_doc.empty())
    cls.composed_doc = std::string(cls.name) + cls.text_signature + "\n--\n\n" + cls.doc;
  return cls.composed_doc;
}

PyObject* create_type(PyClass& cls) {
  cls.qualified_name = std::string("builtins.") + cls.name;
  PyType_Slot slots[] = {
      {Py_tp_base, &PyBaseObject_Type},
      {Py_tp_new, reinterpret_cast<void*>(cls.construct)},
      {Py_tp_dealloc, reinterpret_cast<void*>(cls.deallocate)},
      {Py_tp_doc, const_cast<char*>(composed_doc(cls).c_str())},
      {Py_tp_methods, cls.methods},
      {0, nullptr},
  };
  PyType_Spec spec = {cls.qualified_name.c_str(), cls.basic_size, 0, Py_TPFLAGS_DEFAULT, slots};
  return PyType_FromSpec(&spec);
}

void raise_with_cause(PyObject* type, PyObject* message) {
  PyObject* cause_type = nullptr;
  PyObject* cause = nullptr;
  PyObject* traceback = nullptr;
  PyErr_Fetch(&cause_type, &cause, &traceback);
  PyErr_NormalizeException(&cause_type, &cause, &traceback);
  if (traceback != nullptr && cause != nullptr) PyException_SetTraceback(cause, traceback);
  Py_XDECREF(cause_type);
  Py_XDECREF(traceback);
  Ref error = Ref::steal(PyObject_CallFunctionObjArgs(type, message, nullptr));
  if (!error) {
    Py_XDECREF(cause);
    return;
  }
  if (cause != nullptr) PyException_SetCause(error.get(), cause);
  PyErr_SetObject(type, error.get());
}

Ref module_all(PyObject* module) {
  Ref all = Ref::steal(PyObject_GetAttrString(module, "__all__"));
  if (all || !PyErr_ExceptionMatches(PyExc_AttributeError)) return all;
  PyErr_Clear();
  all = Ref::steal(PyList_New(0));
  if (all && PyObject_SetAttrString(module, "__all__", all.get()) < 0) return Ref();
  return all;
}

}  // namespace

PyTypeObject* class_type(PyClass& cls) {
  if (cls.type != nullptr) return cls.type;
  PyObject* type = create_type(cls);
  if (type == nullptr) {
    Ref message = Ref::steal(PyUnicode_FromFormat("An error occurred while initializing class %s", cls.name));
    if (message) raise_with_cause(PyExc_RuntimeError, message.get());
    return nullptr;
  }
  // Should creating the type have let another thread in, the first one stays.
  if (cls.type == nullptr) {
    cls.type = reinterpret_cast<PyTypeObject*>(type);
  } else {
    Py_DECREF(type);
  }
  return cls.type;
}

bool register_class(PyObject* module, PyClass& cls) {
  PyTypeObject* type = class_type(cls);
  if (type == nullptr) return false;
  Ref all = module_all(module);
  if (!all) return false;
  Ref name = Ref::steal(PyUnicode_FromString(cls.name));
  if (!name || !PyList_Check(all.get()) || PyList_Append(all.get(), name.get()) < 0) {
    PyErr_Clear();
    raise_panic("could not append __name__ to __all__");
    return false;
  }
  return PyModule_AddObjectRef(module, cls.name, reinterpret_cast<PyObject*>(type)) == 0;
}

}  // namespace ondrel::py
