#pragma once

#include "computer/screenshot_space.h"
#include "module/python.h"

namespace ondrel::py::computer_args {

// A (x0, y0, x1, y1) tuple or list of four ints, as computer_arguments.h
// converts: TypeError, ValueError or OverflowError naming the method and
// the parameter. Whether it lies on the screenshot is the capture's to say.
bool to_region(const char* method, const char* name, PyObject* object, computer::ShotRegion& out);

}  // namespace ondrel::py::computer_args
