#pragma once

#include "module/python.h"

namespace ondrel::py {

// ondrel_computer's Computer class, created once (a new reference is kept
// for the life of the process); null with an error set on failure.
PyTypeObject* create_computer_type();

}  // namespace ondrel::py
