#include <optional>
#include <string>

#include "agent/agent_controller.h"
#include "module/call_boundary.h"
#include "module/classes.h"
#include "module/method_table.h"
#include "platform/platform_backends.h"

namespace ondrel::py {
namespace {

using Object = NativeObject<AgentController>;

constexpr Signature<0> kNew{"AgentHID.__new__()", {}, 0};
constexpr Signature<1> kExecute{"AgentHID.execute()", {"action"}, 1};
constexpr Signature<1> kExecuteJson{"AgentHID.execute_json()", {"json"}, 1};

Ref text_object(const std::string& text) {
  return Ref::steal(PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

// {"success": True} or {"success": False, "error": text}.
PyObject* result_dict(const ActionResult& result) {
  Ref dict = Ref::steal(PyDict_New());
  if (!dict || PyDict_SetItemString(dict.get(), "success", result.success ? Py_True : Py_False) < 0) return nullptr;
  if (result.error) {
    Ref error = text_object(*result.error);
    if (!error || PyDict_SetItemString(dict.get(), "error", error.get()) < 0) return nullptr;
  }
  return dict.release();
}

// The action as text, through the interpreter's own json.dumps with its
// default settings; its exceptions reach the caller unchanged.
Ref dumps(PyObject* action) {
  Ref json_name = Ref::steal(PyUnicode_FromString("json"));
  if (!json_name) return {};
  Ref json_module = Ref::steal(PyImport_Import(json_name.get()));
  if (!json_module) return {};
  Ref dumps_function = Ref::steal(PyObject_GetAttrString(json_module.get(), "dumps"));
  if (!dumps_function) return {};
  Ref arguments = Ref::steal(PyTuple_New(1));
  if (!arguments) return {};
  PyTuple_SetItem(arguments.get(), 0, Ref::borrow(action).release());  // cannot fail: a new tuple's own item
  return Ref::steal(PyObject_Call(dumps_function.get(), arguments.get(), nullptr));
}

PyObject* construct_agent(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return construct<AgentController>(type, kNew, args, kwargs, [](Slots<0>&) {
    return std::optional<AgentController>(
        std::in_place, DeviceFactories{platform_mouse_factory(), platform_keyboard_factory(),
                                       platform_gamepad_factory()});
  });
}

PyObject* execute(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<AgentController>(agent_hid_class(), kExecute, self, args, nargs, kwnames,
                                      [](AgentController& agent, Slots<1>& slots) -> PyObject* {
                                        PyObject* action = nullptr;
                                        if (!convert_argument("action", slots[0], to_dict, action)) return nullptr;
                                        Ref text_holder = dumps(action);
                                        if (!text_holder) return nullptr;
                                        std::string_view text;
                                        if (!to_text(text_holder.get(), text)) return nullptr;
                                        const ActionResult result = agent.run_json(text);
                                        if (PyErr_Occurred() != nullptr) return nullptr;  // stopped by a signal
                                        return result_dict(result);
                                      });
}

PyObject* execute_json(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<AgentController>(agent_hid_class(), kExecuteJson, self, args, nargs, kwnames,
                                      [](AgentController& agent, Slots<1>& slots) -> PyObject* {
                                        std::string_view text;
                                        if (!convert_argument("json", slots[0], to_text, text)) return nullptr;
                                        const ActionResult result = agent.run_json(text);
                                        if (PyErr_Occurred() != nullptr) return nullptr;  // stopped by a signal
                                        return text_object(result_to_json(result)).release();
                                      });
}

void deallocate_agent(PyObject* self) { deallocate<AgentController>(self); }

PyMethodDef kMethods[] = {
    fastcall_method("execute", execute, "execute($self, action)\n--\n\nExecute an action from dict/JSON"),
    fastcall_method("execute_json", execute_json, "execute_json($self, json)\n--\n\nExecute action from JSON string"),
    kMethodTableEnd,
};

}  // namespace

PyClass& agent_hid_class() {
  static PyClass cls{"AgentHID",      "()",         "Agent HID controller for LLM agents",
                     sizeof(Object),  construct_agent, deallocate_agent,
                     kMethods,        nullptr,      {}, {}};
  return cls;
}

}  // namespace ondrel::py
