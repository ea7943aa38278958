#include <optional>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "module/call_boundary.h"
#include "module/classes.h"
#include "module/method_table.h"
#include "platform/platform_backends.h"

namespace ondrel::py {
namespace {

using Object = NativeObject<GamepadDevice>;

constexpr Signature<1> kNew{"Gamepad.__new__()", {"name"}, 0};
constexpr Signature<1> kPress{"Gamepad.press()", {"button"}, 1};
constexpr Signature<1> kRelease{"Gamepad.release()", {"button"}, 1};
constexpr Signature<1> kTap{"Gamepad.tap()", {"button"}, 1};
constexpr Signature<2> kLeftStick{"Gamepad.left_stick()", {"x", "y"}, 2};
constexpr Signature<2> kRightStick{"Gamepad.right_stick()", {"x", "y"}, 2};
constexpr Signature<2> kTriggers{"Gamepad.triggers()", {"left", "right"}, 2};

// The class's own button names; an unknown one is a RuntimeError naming the
// button as given, not a HidError.
bool convert_button(PyObject* object, std::uint16_t& out) {
  std::string_view name;
  if (!convert_argument("button", object, to_text, name)) return false;
  const std::optional<std::uint16_t> bit = parse_button(name);
  if (!bit) {
    PyErr_Format(PyExc_RuntimeError, "Unknown button: %U", object);
    return false;
  }
  out = *bit;
  return true;
}

bool convert_pair(const Signature<2>& signature, Slots<2>& slots, std::uint8_t& first, std::uint8_t& second) {
  return convert_argument(signature.names[0], slots[0], to_uint8, first) &&
         convert_argument(signature.names[1], slots[1], to_uint8, second);
}

PyObject* construct_gamepad(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return construct<GamepadDevice>(type, kNew, args, kwargs, [](Slots<1>& slots) {
    return build_created_device<GamepadDevice>(slots[0], kDefaultGamepadName, platform_gamepad_factory);
  });
}

// press, release and tap differ only in the operation.
template <HidResult (GamepadDevice::*Operation)(std::uint16_t), const Signature<1>& Sig>
PyObject* button_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<GamepadDevice>(gamepad_class(), Sig, self, args, nargs, kwnames,
                                    [](GamepadDevice& pad, Slots<1>& slots) -> PyObject* {
                                      std::uint16_t button = 0;
                                      if (!convert_button(slots[0], button)) return nullptr;
                                      return none_or_raise((pad.*Operation)(button));
                                    });
}

// left_stick and right_stick differ only in the operation.
template <HidResult (GamepadDevice::*Operation)(std::uint8_t, std::uint8_t), const Signature<2>& Sig>
PyObject* stick_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<GamepadDevice>(gamepad_class(), Sig, self, args, nargs, kwnames,
                                    [](GamepadDevice& pad, Slots<2>& slots) -> PyObject* {
                                      std::uint8_t x = 0;
                                      std::uint8_t y = 0;
                                      if (!convert_pair(Sig, slots, x, y)) return nullptr;
                                      return none_or_raise((pad.*Operation)(x, y));
                                    });
}

// Two reports: the left trigger alone first, the right one only if that went.
PyObject* triggers(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<GamepadDevice>(gamepad_class(), kTriggers, self, args, nargs, kwnames,
                                    [](GamepadDevice& pad, Slots<2>& slots) -> PyObject* {
                                      std::uint8_t left = 0;
                                      std::uint8_t right = 0;
                                      if (!convert_pair(kTriggers, slots, left, right)) return nullptr;
                                      const HidResult sent = pad.left_trigger(left);
                                      if (!sent.ok()) return none_or_raise(sent);
                                      return none_or_raise(pad.right_trigger(right));
                                    });
}

PyObject* reset(PyObject* self, PyObject* /*unused*/) {
  return call_method_noargs<GamepadDevice>(gamepad_class(), self,
                                           [](GamepadDevice& pad) { return none_or_raise(pad.reset()); });
}

void deallocate_gamepad(PyObject* self) { deallocate<GamepadDevice>(self); }

PyMethodDef kMethods[] = {
    fastcall_method("press", button_method<&GamepadDevice::press, kPress>, "press($self, button)\n--\n\nPress button"),
    fastcall_method("release", button_method<&GamepadDevice::release, kRelease>,
                    "release($self, button)\n--\n\nRelease button"),
    fastcall_method("tap", button_method<&GamepadDevice::tap, kTap>,
                    "tap($self, button)\n--\n\nTap button (press and release)"),
    fastcall_method("left_stick", stick_method<&GamepadDevice::left_stick, kLeftStick>,
                    "left_stick($self, x, y)\n--\n\nSet left stick position (0-255, 128 = center)"),
    fastcall_method("right_stick", stick_method<&GamepadDevice::right_stick, kRightStick>,
                    "right_stick($self, x, y)\n--\n\nSet right stick position (0-255, 128 = center)"),
    fastcall_method("triggers", triggers, "triggers($self, left, right)\n--\n\nSet triggers (0-255)"),
    noargs_method("reset", reset, "reset($self)\n--\n\nReset all to default"),
    kMethodTableEnd,
};

}  // namespace

PyClass& gamepad_class() {
  static PyClass cls{"Gamepad", "(name=None)", "Virtual Gamepad", sizeof(Object), construct_gamepad,
                     deallocate_gamepad, kMethods, nullptr, {}, {}};
  return cls;
}

}  // namespace ondrel::py
