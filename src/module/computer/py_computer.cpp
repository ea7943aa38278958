#include <optional>
#include <string>
#include <vector>

#include "computer/action_reply_json.h"
#include "computer/computer_action.h"
#include "computer/pointer_steps.h"
#include "computer/screenshots.h"
#include "module/arg_binding.h"
#include "module/computer/computer_arguments.h"
#include "module/computer/computer_record.h"
#include "module/computer/png_bytes.h"
#include "module/computer/py_computer.h"
#include "module/computer/screen_arguments.h"
#include "module/method_table.h"
#include "module/native_object.h"
#include "module/panic.h"
#include "module/py_ref.h"

namespace ondrel::py {
namespace {

namespace args = computer_args;
using computer::ActionReply;
using computer::Computer;
using Object = NativeObject<ComputerRecord>;

PyTypeObject* computer_type = nullptr;

constexpr Signature<2> kNew{"Computer()", {"screen_size", "scale_from"}, 0};
constexpr Signature<2> kMoveTo{"Computer.move_to()", {"x", "y"}, 2};
constexpr Signature<4> kClick{"Computer.click()", {"x", "y", "button", "count"}, 0};
constexpr Signature<1> kMouseDown{"Computer.mouse_down()", {"button"}, 0};
constexpr Signature<1> kMouseUp{"Computer.mouse_up()", {"button"}, 0};
constexpr Signature<1> kDrag{"Computer.drag()", {"path"}, 1};
constexpr Signature<4> kScroll{"Computer.scroll()", {"dx", "dy", "x", "y"}, 0};
constexpr Signature<2> kWrite{"Computer.write()", {"text", "pace"}, 1};
constexpr Signature<1> kKey{"Computer.key()", {"chord"}, 1};
constexpr Signature<2> kHold{"Computer.hold()", {"chord", "seconds"}, 2};
constexpr Signature<1> kExecute{"Computer.execute()", {"action"}, 1};
constexpr Signature<2> kZoom{"Computer.zoom()", {"region", "size"}, 1};
constexpr Signature<1> kExecuteJson{"Computer.execute_json()", {"text"}, 1};

Ref text_object(const std::string& text) {
  return Ref::steal(PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

// A stopped call answers with the exception its signal handler raised.
bool stopped_by_signal() { return PyErr_Occurred() != nullptr; }

PyObject* none_or_raise(const Outcome& outcome) {
  if (stopped_by_signal()) return nullptr;
  if (outcome.ok()) Py_RETURN_NONE;
  if (Ref message = text_object(outcome.error())) PyErr_SetObject(PyExc_RuntimeError, message.get());
  return nullptr;
}

template <class Pair, class Members>
PyObject* pair_or_raise(const Expected<Pair>& value, Members members) {
  if (!value.ok()) return none_or_raise(value.outcome());
  const auto [first, second] = members(value.value());
  return Py_BuildValue("(ii)", first, second);
}

ComputerRecord* record_of(PyObject* self) {
  if (computer_type == nullptr || !PyObject_TypeCheck(self, computer_type)) {
    PyErr_SetString(PyExc_TypeError, "a method of Computer was called on another object");
    return nullptr;
  }
  return &as_native<ComputerRecord>(self)->record();
}

// Binds the arguments, then `body(record, slots)` converts them and runs.
template <std::size_t N, class Body>
PyObject* method(const Signature<N>& signature, PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                 PyObject* kwnames, Body&& body) noexcept {
  return guarded(
      [&]() -> PyObject* {
        Slots<N> slots{};
        if (!bind(signature, args, nargs, kwnames, slots)) return nullptr;
        ComputerRecord* record = record_of(self);
        return record == nullptr ? nullptr : body(*record, slots);
      },
      static_cast<PyObject*>(nullptr));
}

PyObject* construct(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return guarded(
      [&]() -> PyObject* {
        Slots<2> slots{};
        if (!bind(kNew, args, kwargs, slots)) return nullptr;
        std::optional<Size> screen_size;
        std::optional<Size> scale_from;
        if (!args::to_optional_size(kNew.full_name, "screen_size", slots[0], screen_size) ||
            !args::to_optional_size(kNew.full_name, "scale_from", slots[1], scale_from))
          return nullptr;
        Expected<std::unique_ptr<ComputerSystem>> system = open_computer_system(screen_size);
        if (!system.ok()) return none_or_raise(system.outcome());
        return adopt_record(type, ComputerRecord{std::make_unique<Computer>(system.take()), {scale_from}});
      },
      static_cast<PyObject*>(nullptr));
}

// A forked child lets go of nothing its parent holds, and leaves the gate's
// mutex as the fork left it (perhaps held by a thread the child lacks).
void deallocate(PyObject* self) {
  guarded_dealloc([&] {
    ComputerRecord& record = as_native<ComputerRecord>(self)->record();
    if (!record.gate->owned_here()) {
      if (record.computer) record.computer->forget_held();
      (void)record.gate.release();  // destroying a mutex that may be held is undefined
    }
    free_native<ComputerRecord>(self);
  });
}

PyObject* cancel(PyObject* self, PyObject*) {
  return guarded(
      [&]() -> PyObject* {
        ComputerRecord* record = record_of(self);
        if (record == nullptr) return nullptr;
        record->gate->cancel();
        Py_RETURN_NONE;
      },
      static_cast<PyObject*>(nullptr));
}

PyObject* screen_size(PyObject* self, PyObject*) {
  return guarded(
      [&]() -> PyObject* {
        ComputerRecord* record = record_of(self);
        if (record == nullptr) return nullptr;
        const Expected<Size> size = run_unlocked(*record, [](Computer& c) { return c.screen_size(); });
        return pair_or_raise(size, [](Size s) { return std::pair{s.width, s.height}; });
      },
      static_cast<PyObject*>(nullptr));
}

PyObject* position(PyObject* self, PyObject*) {
  return guarded(
      [&]() -> PyObject* {
        ComputerRecord* record = record_of(self);
        if (record == nullptr) return nullptr;
        const computer::Scaling scaling = record->scaling;
        const Expected<Point> at = run_unlocked(*record, [&](Computer& c) -> Expected<Point> {
          const Expected<Point> pixel = c.position();
          if (!pixel.ok() || !scaling.scale_from) return pixel;
          const Expected<Size> screen = computer::usable_screen_size(c);
          if (!screen.ok()) return screen.outcome();
          return computer::screen_to_screenshot(pixel.value(), screen.value(), scaling);
        });
        return pair_or_raise(at, [](Point p) { return std::pair{p.x, p.y}; });
      },
      static_cast<PyObject*>(nullptr));
}

// Maps a point given to a method onto the screen (see method_point_to_screen).
Outcome to_screen(Computer& c, std::optional<Point>& point, const computer::Scaling& scaling) {
  if (!point) return Outcome::success();
  const Expected<Point> on_screen = computer::method_point_to_screen(c, *point, scaling);
  if (!on_screen.ok()) return on_screen.outcome();
  point = on_screen.value();
  return Outcome::success();
}

PyObject* move_to(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kMoveTo, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<2>& slots) -> PyObject* {
    Point point;
    if (!args::to_int(kMoveTo.full_name, "x", slots[0], point.x) ||
        !args::to_int(kMoveTo.full_name, "y", slots[1], point.y))
      return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) {
      const Expected<Point> on_screen = computer::method_point_to_screen(c, point, record.scaling);
      return on_screen.ok() ? c.move_to(on_screen.value()) : on_screen.outcome();
    }));
  });
}

PyObject* click(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kClick, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<4>& slots) -> PyObject* {
    std::optional<Point> at;
    Button button = Button::left;
    int count = 1;
    if (!args::to_optional_point(kClick.full_name, slots[0], slots[1], at) ||
        !args::to_button(kClick.full_name, slots[2], button) || !args::to_click_count(kClick.full_name, slots[3], count))
      return nullptr;
    return none_or_raise(
        run_unlocked(record, [&](Computer& c) {
          ONDREL_CHECK(to_screen(c, at, record.scaling));
          return computer::click_at(c, at, button, count, {});
        }));
  });
}

template <bool Down, const Signature<1>& Sig>
PyObject* mouse_button(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(Sig, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<1>& slots) -> PyObject* {
    Button button = Button::left;
    if (!args::to_button(Sig.full_name, slots[0], button)) return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) { return c.button(button, Down); }));
  });
}

PyObject* drag(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kDrag, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<1>& slots) -> PyObject* {
    std::vector<Point> path;
    if (!args::to_path(kDrag.full_name, slots[0], path)) return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) {
      for (Point& point : path) {
        std::optional<Point> on_screen = point;
        ONDREL_CHECK(to_screen(c, on_screen, record.scaling));
        point = *on_screen;
      }
      return c.drag(path);
    }));
  });
}

PyObject* scroll(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kScroll, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<4>& slots) -> PyObject* {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::optional<Point> at;
    if ((slots[0] != nullptr && !args::to_int(kScroll.full_name, "dx", slots[0], dx)) ||
        (slots[1] != nullptr && !args::to_int(kScroll.full_name, "dy", slots[1], dy)) ||
        !args::to_optional_point(kScroll.full_name, slots[2], slots[3], at))
      return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) {
      ONDREL_CHECK(to_screen(c, at, record.scaling));
      return computer::scroll_at(c, at, dx, dy, {});
    }));
  });
}

PyObject* write(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  if (nargs > 1) {
    PyErr_SetString(PyExc_TypeError, "Computer.write() takes the pace by keyword only");
    return nullptr;
  }
  return method(kWrite, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<2>& slots) -> PyObject* {
    std::string_view text;
    TypingPace pace;
    if (!args::to_str(kWrite.full_name, "text", slots[0], text) ||
        !args::to_typing_pace(kWrite.full_name, slots[1], pace))
      return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) { return c.write(text, pace); }));
  });
}

PyObject* key(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kKey, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<1>& slots) -> PyObject* {
    computer::Chord chord;
    if (!args::to_chord(kKey.full_name, slots[0], chord)) return nullptr;
    return none_or_raise(run_unlocked(record, [&](Computer& c) { return computer::press_chord(c, chord, 0); }));
  });
}

PyObject* hold(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kHold, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<2>& slots) -> PyObject* {
    computer::Chord chord;
    double seconds = 0;
    if (!args::to_chord(kHold.full_name, slots[0], chord) || !args::to_hold_seconds(kHold.full_name, slots[1], seconds))
      return nullptr;
    const auto held_ms = static_cast<std::uint32_t>(seconds * 1000 + 0.5);
    return none_or_raise(run_unlocked(record, [&](Computer& c) { return computer::press_chord(c, chord, held_ms); }));
  });
}

// Captured, scaled and filtered without the interpreter's lock; deflated by
// CPython's zlib once the Computer is free for the next call.
PyObject* png_or_raise(const Expected<computer::FilteredPicture>& picture) {
  if (!picture.ok()) return none_or_raise(picture.outcome());
  if (stopped_by_signal()) return nullptr;
  return png_bytes(picture.value());
}

PyObject* screenshot(PyObject* self, PyObject*) {
  return guarded(
      [&]() -> PyObject* {
        ComputerRecord* record = record_of(self);
        if (record == nullptr) return nullptr;
        const computer::Scaling scaling = record->scaling;
        return png_or_raise(
            run_unlocked(*record, [&](Computer& c) { return computer::take_screenshot(c, scaling); }));
      },
      static_cast<PyObject*>(nullptr));
}

PyObject* zoom(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kZoom, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<2>& slots) -> PyObject* {
    computer::ShotRegion region;
    std::optional<Size> size;
    if (!args::to_region(kZoom.full_name, "region", slots[0], region) ||
        !args::to_optional_size(kZoom.full_name, "size", slots[1], size))
      return nullptr;
    const computer::Scaling scaling = record.scaling;
    return png_or_raise(
        run_unlocked(record, [&](Computer& c) { return computer::take_zoom(c, scaling, region, size); }));
  });
}

// {"success": bool}, with "x" and "y" for cursor_position and "error" for a failure.
PyObject* reply_dict(const ActionReply& reply) {
  Ref dict = Ref::steal(PyDict_New());
  if (!dict || PyDict_SetItemString(dict.get(), "success", reply.success ? Py_True : Py_False) < 0) return nullptr;
  if (reply.cursor) {
    Ref x = Ref::steal(PyLong_FromLong(reply.cursor->x));
    Ref y = Ref::steal(PyLong_FromLong(reply.cursor->y));
    if (!x || !y || PyDict_SetItemString(dict.get(), "x", x.get()) < 0 ||
        PyDict_SetItemString(dict.get(), "y", y.get()) < 0)
      return nullptr;
  }
  if (!reply.success) {
    Ref error = text_object(reply.error);
    if (!error || PyDict_SetItemString(dict.get(), "error", error.get()) < 0) return nullptr;
  }
  return dict.release();
}

ActionReply run_action(ComputerRecord& record, std::string_view text) {
  return run_unlocked(record, [&](Computer& c) { return computer::run_computer_action(text, c, record.scaling); });
}

// The action as JSON text, through the interpreter's json.dumps; a dict it
// cannot encode raises as json.dumps does.
Ref dumps(PyObject* action) {
  Ref json_module = Ref::steal(PyImport_ImportModule("json"));
  if (!json_module) return {};
  return Ref::steal(PyObject_CallMethod(json_module.get(), "dumps", "O", action));
}

// A call as JSON text: a dict as given, and the SDKs' own pydantic objects
// as what model_dump(mode="json", exclude_none=True) gives, which is the
// shape of their wire form. Anything else raises TypeError.
Ref action_text(PyObject* action) {
  Ref plain = Ref::borrow(action);
  if (!PyDict_Check(action) && PyObject_HasAttrString(action, "model_dump")) {
    Ref model_dump = Ref::steal(PyObject_GetAttrString(action, "model_dump"));
    Ref no_args = Ref::steal(PyTuple_New(0));
    Ref options = Ref::steal(Py_BuildValue("{s:s,s:O}", "mode", "json", "exclude_none", Py_True));
    if (!model_dump || !no_args || !options) return {};
    plain = Ref::steal(PyObject_Call(model_dump.get(), no_args.get(), options.get()));
    if (!plain) return {};
  }
  if (!args::to_dict(kExecute.full_name, "action", plain.get())) return {};
  return dumps(plain.get());
}

// The answer to a call of a turn that was not run, as an earlier one failed.
PyObject* not_executed(Py_ssize_t failed_index) {
  return reply_dict(ActionReply::failed("not executed: call " + std::to_string(failed_index) +
                                        " of the turn failed, and the later calls were not run"));
}

// A whole turn, a list of calls: run in order up to the first failure; the
// later calls are answered "not executed" and send nothing. Every call is
// converted before the first runs, so a bad one raises with nothing sent.
PyObject* execute_turn(ComputerRecord& record, PyObject* calls) {
  const Py_ssize_t count = PyList_Size(calls);
  if (count < 0) return nullptr;
  std::vector<Ref> texts;
  for (Py_ssize_t i = 0; i < count; ++i) {
    Ref text = action_text(PyList_GetItem(calls, i));
    if (!text) return nullptr;
    texts.push_back(std::move(text));
  }
  Ref results = Ref::steal(PyList_New(0));
  if (!results) return nullptr;
  std::optional<Py_ssize_t> failed;
  for (Py_ssize_t i = 0; i < count; ++i) {
    Ref reply;
    if (failed) {
      reply = Ref::steal(not_executed(*failed));
    } else {
      std::string_view text;
      if (!args::to_str(kExecute.full_name, "action", texts[static_cast<std::size_t>(i)].get(), text)) return nullptr;
      const ActionReply answer = run_action(record, text);
      if (stopped_by_signal()) return nullptr;
      if (!answer.success) failed = i;
      reply = Ref::steal(reply_dict(answer));
    }
    if (!reply || PyList_Append(results.get(), reply.get()) < 0) return nullptr;
  }
  return results.release();
}

PyObject* execute(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kExecute, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<1>& slots) -> PyObject* {
    if (PyList_Check(slots[0])) return execute_turn(record, slots[0]);
    Ref text_holder = action_text(slots[0]);
    std::string_view text;
    if (!text_holder || !args::to_str(kExecute.full_name, "action", text_holder.get(), text)) return nullptr;
    const ActionReply reply = run_action(record, text);
    return stopped_by_signal() ? nullptr : reply_dict(reply);
  });
}

PyObject* execute_json(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return method(kExecuteJson, self, args, nargs, kwnames, [](ComputerRecord& record, Slots<1>& slots) -> PyObject* {
    std::string_view text;
    if (!args::to_str(kExecuteJson.full_name, "text", slots[0], text)) return nullptr;
    const ActionReply reply = run_action(record, text);
    return stopped_by_signal() ? nullptr : text_object(computer::reply_to_json(reply)).release();
  });
}

PyMethodDef kMethods[] = {
    noargs_method("screen_size", screen_size,
                  "screen_size($self, /)\n--\n\nThe (width, height) in pixels of the screen the pointer moves on."),
    noargs_method("position", position, "position($self, /)\n--\n\nThe (x, y) where the pointer is now."),
    fastcall_method("move_to", move_to, "move_to($self, x, y)\n--\n\nMove the pointer to the pixel (x, y), exactly."),
    fastcall_method("click", click,
                    "click($self, x=None, y=None, button='left', count=1)\n--\n\n"
                    "Click `count` times (1 to 3) at (x, y), or where the pointer is."),
    fastcall_method("mouse_down", mouse_button<true, kMouseDown>,
                    "mouse_down($self, button='left')\n--\n\nPress a mouse button and keep it down."),
    fastcall_method("mouse_up", mouse_button<false, kMouseUp>,
                    "mouse_up($self, button='left')\n--\n\nLet go of a mouse button."),
    fastcall_method("drag", drag,
                    "drag($self, path)\n--\n\nPress the left button at path[0], move through each point, let go "
                    "at the last."),
    fastcall_method("scroll", scroll,
                    "scroll($self, dx=0, dy=0, x=None, y=None)\n--\n\n"
                    "Turn the wheels by notches (dy > 0 down, dx > 0 right), at (x, y) if given."),
    fastcall_method("write", write,
                    "write($self, text, *, pace=None)\n--\n\nType any text, on the layout in use; `pace` is the "
                    "seconds a character takes (0.002 to 1; None: about 0.006), for an application that needs a "
                    "slower one."),
    fastcall_method("key", key,
                    "key($self, chord)\n--\n\nPress and let go of keys together: \"ctrl+shift+t\" or [\"CTRL\", \"A\"]."),
    fastcall_method("hold", hold, "hold($self, chord, seconds)\n--\n\nHold keys down for `seconds` (at most 60)."),
    noargs_method("screenshot", screenshot,
                  "screenshot($self, /)\n--\n\n"
                  "A PNG (bytes) of the whole screen: scale_from's size when given, else the screen's own. Its "
                  "pixels are the points move_to(), click() and execute() take."),
    fastcall_method("zoom", zoom,
                    "zoom($self, region, size=None)\n--\n\n"
                    "A PNG (bytes) of region (x0, y0, x1, y1) of the screenshot (x1, y1 exclusive), taken at the "
                    "screen's resolution and scaled to fit size (default: the screenshot's size), aspect kept."),
    fastcall_method("execute", execute,
                    "execute($self, action)\n--\n\nRun a model's computer-use call (Anthropic, OpenAI or Gemini) "
                    "given as a dict or as the SDK's own object, or a whole turn as a list of them; never raises "
                    "for a bad action."),
    fastcall_method("execute_json", execute_json,
                    "execute_json($self, text)\n--\n\nexecute() with the action and the result as JSON text."),
    noargs_method("cancel", cancel,
                  "cancel($self, /)\n--\n\nStop the call running on this Computer from another thread (and any "
                  "waiting for it): it lets go of what it pressed and raises RuntimeError('stopped'). Never blocks; "
                  "does nothing when no call runs."),
    kMethodTableEnd,
};

constexpr const char* kDoc =
    "Computer(screen_size=None, scale_from=None)\n--\n\n"
    "The pointer at a point and text in any language, on the system in use.\n\n"
    "screen_size=(width, height) is required for uinput, which cannot ask the compositor; "
    "scale_from=(width, height) is the size of the screenshots a model sees: the points of execute() and of "
    "the methods (move_to, click, drag, scroll, position) are then screenshot pixels, scaled to the screen.";

}  // namespace

PyTypeObject* create_computer_type() {
  if (computer_type != nullptr) return computer_type;
  PyType_Slot slots[] = {
      {Py_tp_new, reinterpret_cast<void*>(construct)},
      {Py_tp_dealloc, reinterpret_cast<void*>(deallocate)},
      {Py_tp_doc, const_cast<char*>(kDoc)},
      {Py_tp_methods, kMethods},
      {0, nullptr},
  };
  PyType_Spec spec = {"ondrel_computer.Computer", static_cast<int>(sizeof(Object)), 0, Py_TPFLAGS_DEFAULT, slots};
  computer_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&spec));
  return computer_type;
}

}  // namespace ondrel::py
