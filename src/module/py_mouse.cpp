#include "devices/mouse.h"
#include "module/call_boundary.h"
#include "module/classes.h"
#include "module/method_table.h"
#include "platform/platform_backends.h"

namespace ondrel::py {
namespace {

using Object = NativeObject<MouseDevice>;

constexpr Signature<1> kNew{"Mouse.__new__()", {"name"}, 0};
constexpr Signature<2> kMoveBy{"Mouse.move_by()", {"dx", "dy"}, 2};
constexpr Signature<1> kClick{"Mouse.click()", {"button"}, 0};
constexpr Signature<1> kDoubleClick{"Mouse.double_click()", {"button"}, 0};
constexpr Signature<1> kPress{"Mouse.press()", {"button"}, 0};
constexpr Signature<1> kRelease{"Mouse.release()", {"button"}, 0};
constexpr Signature<1> kScroll{"Mouse.scroll()", {"delta"}, 1};

// `button` defaults to "left"; an explicit None is refused like any non-str.
bool convert_button(PyObject* object, MouseButton& out) {
  if (object == nullptr) {
    out = MouseButton::Left;
    return true;
  }
  std::string_view name;
  if (!convert_argument("button", object, to_text, name)) return false;
  out = mouse_button_from_name(name);
  return true;
}

PyObject* construct_mouse(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return construct<MouseDevice>(type, kNew, args, kwargs, [](Slots<1>& slots) {
    return build_created_device<MouseDevice>(slots[0], kDefaultMouseName, platform_mouse_factory);
  });
}

PyObject* move_by(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<MouseDevice>(mouse_class(), kMoveBy, self, args, nargs, kwnames,
                                  [](MouseDevice& mouse, Slots<2>& slots) -> PyObject* {
                                    std::int32_t dx = 0;
                                    std::int32_t dy = 0;
                                    if (!convert_argument("dx", slots[0], to_int32, dx) ||
                                        !convert_argument("dy", slots[1], to_int32, dy))
                                      return nullptr;
                                    return none_or_raise(mouse.move_by(dx, dy));
                                  });
}

// click, double_click, press and release differ only in the operation.
template <HidResult (MouseDevice::*Operation)(MouseButton), const Signature<1>& Sig>
PyObject* button_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<MouseDevice>(mouse_class(), Sig, self, args, nargs, kwnames,
                                  [](MouseDevice& mouse, Slots<1>& slots) -> PyObject* {
                                    MouseButton button = MouseButton::Left;
                                    if (!convert_button(slots[0], button)) return nullptr;
                                    return none_or_raise((mouse.*Operation)(button));
                                  });
}

PyObject* scroll(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_method<MouseDevice>(mouse_class(), kScroll, self, args, nargs, kwnames,
                                  [](MouseDevice& mouse, Slots<1>& slots) -> PyObject* {
                                    std::int8_t delta = 0;
                                    if (!convert_argument("delta", slots[0], to_int8, delta)) return nullptr;
                                    return none_or_raise(mouse.scroll(delta));
                                  });
}

void deallocate_mouse(PyObject* self) { deallocate<MouseDevice>(self); }

PyMethodDef kMethods[] = {
    fastcall_method("move_by", move_by, "move_by($self, dx, dy)\n--\n\nMove mouse by relative offset"),
    fastcall_method("click", button_method<&MouseDevice::click, kClick>,
                    "click($self, button=\"left\")\n--\n\nClick mouse button"),
    fastcall_method("double_click", button_method<&MouseDevice::double_click, kDoubleClick>,
                    "double_click($self, button=\"left\")\n--\n\nDouble click mouse button"),
    fastcall_method("press", button_method<&MouseDevice::press, kPress>,
                    "press($self, button=\"left\")\n--\n\nPress mouse button"),
    fastcall_method("release", button_method<&MouseDevice::release, kRelease>,
                    "release($self, button=\"left\")\n--\n\nRelease mouse button"),
    fastcall_method("scroll", scroll, "scroll($self, delta)\n--\n\nScroll wheel"),
    kMethodTableEnd,
};

}  // namespace

PyClass& mouse_class() {
  static PyClass cls{"Mouse", "(name=None)", "Virtual Mouse", sizeof(Object), construct_mouse, deallocate_mouse,
                     kMethods, nullptr, {}, {}};
  return cls;
}

}  // namespace ondrel::py
