#include <string>
#include <vector>

#include "devices/key_names.h"
#include "devices/keyboard.h"
#include "devices/modifier_names.h"
#include "module/call_boundary.h"
#include "module/classes.h"
#include "module/method_table.h"
#include "platform/platform_backends.h"

namespace ondrel::py {
namespace {

using Object = NativeObject<KeyboardDevice>;

constexpr Signature<1> kNew{"Keyboard.__new__()", {"name"}, 0};
constexpr Signature<1> kTypeText{"Keyboard.type_text()", {"text"}, 1};
constexpr Signature<1> kPress{"Keyboard.press()", {"key"}, 1};
constexpr Signature<2> kCombo{"Keyboard.combo()", {"modifiers", "key"}, 2};

PyObject* construct_keyboard(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return construct<KeyboardDevice>(type, kNew, args, kwargs, [](Slots<1>& slots) {
    return build_created_device<KeyboardDevice>(slots[0], kDefaultKeyboardName, platform_keyboard_factory);
  });
}

PyObject* type_text(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<KeyboardDevice>(keyboard_class(), kTypeText, self, args, nargs, kwnames,
                                     [](KeyboardDevice& keyboard, Slots<1>& slots) -> PyObject* {
                                       std::string_view text;
                                       if (!convert_argument("text", slots[0], to_text, text)) return nullptr;
                                       return none_or_raise(keyboard.type_text(text));
                                     });
}

PyObject* press(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<KeyboardDevice>(keyboard_class(), kPress, self, args, nargs, kwnames,
                                     [](KeyboardDevice& keyboard, Slots<1>& slots) -> PyObject* {
                                       std::string_view key;
                                       if (!convert_argument("key", slots[0], to_text, key)) return nullptr;
                                       return none_or_raise(with_key_usage(
                                           key, [&](std::uint8_t usage) { return keyboard.press(usage); }));
                                     });
}

// Unknown modifier names are dropped; an unknown key refuses the whole call
// before anything is sent.
PyObject* combo(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<KeyboardDevice>(keyboard_class(), kCombo, self, args, nargs, kwnames,
                                     [](KeyboardDevice& keyboard, Slots<2>& slots) -> PyObject* {
                                       std::vector<std::string> modifiers;
                                       std::string_view key;
                                       if (!convert_argument("modifiers", slots[0], to_text_list, modifiers) ||
                                           !convert_argument("key", slots[1], to_text, key))
                                         return nullptr;
                                       const std::uint8_t bits = modifier_bits(modifiers);
                                       return none_or_raise(with_key_usage(
                                           key, [&](std::uint8_t usage) { return keyboard.combo(bits, usage); }));
                                     });
}

PyObject* release_all(PyObject* self, PyObject* /*unused*/) {
  return call_method_noargs<KeyboardDevice>(
      keyboard_class(), self, [](KeyboardDevice& keyboard) { return none_or_raise(keyboard.release_all()); });
}

void deallocate_keyboard(PyObject* self) { deallocate<KeyboardDevice>(self); }

PyMethodDef kMethods[] = {
    fastcall_method("type_text", type_text, "type_text($self, text)\n--\n\nType a string"),
    fastcall_method("press", press, "press($self, key)\n--\n\nPress a key"),
    fastcall_method("combo", combo,
                    "combo($self, modifiers, key)\n--\n\nPress key combination (e.g., combo([\"ctrl\"], \"c\"))"),
    noargs_method("release_all", release_all, "release_all($self)\n--\n\nRelease all keys"),
    kMethodTableEnd,
};

}  // namespace

PyClass& keyboard_class() {
  static PyClass cls{"Keyboard", "(name=None)", "Virtual Keyboard", sizeof(Object), construct_keyboard,
                     deallocate_keyboard, kMethods, nullptr, {}, {}};
  return cls;
}

}  // namespace ondrel::py
