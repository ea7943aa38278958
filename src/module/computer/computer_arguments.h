#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "computer/chord.h"
#include "module/python.h"

namespace ondrel::py::computer_args {

using ondrel::Button;
using ondrel::Point;
using ondrel::Size;

// Conversions of ondrel_computer's arguments, with Python's own exceptions:
// TypeError for a value of the wrong type, ValueError for a bad value,
// OverflowError for an int beyond 32 bits. Each names the method and the
// parameter ("Computer.click() argument 'button' ...") and returns false
// with the error set. A null `object` (not given) takes the default.

bool to_int(const char* method, const char* name, PyObject* object, std::int32_t& out);
// x and y: both or neither.
bool to_optional_point(const char* method, PyObject* x, PyObject* y, std::optional<Point>& out);
// None or a (width, height) pair of positive ints.
bool to_optional_size(const char* method, const char* name, PyObject* object, std::optional<Size>& out);
bool to_button(const char* method, PyObject* object, Button& out);
bool to_click_count(const char* method, PyObject* object, int& out);
bool to_path(const char* method, PyObject* object, std::vector<Point>& out);
// A str, read in place as UTF-8; valid while `object` lives.
bool to_str(const char* method, const char* name, PyObject* object, std::string_view& out);
// "ctrl+shift+t" or a list of key names.
bool to_chord(const char* method, PyObject* object, computer::Chord& out);
bool to_hold_seconds(const char* method, PyObject* object, double& out);
// None (the default pace) or the seconds a character takes, kFastestPaceSeconds
// to kSlowestPaceSeconds: its keys held half of it, the other half before the next.
inline constexpr double kFastestPaceSeconds = 0.002;
inline constexpr double kSlowestPaceSeconds = 1;
bool to_typing_pace(const char* method, PyObject* object, TypingPace& out);
bool to_dict(const char* method, const char* name, PyObject* object);

}  // namespace ondrel::py::computer_args
