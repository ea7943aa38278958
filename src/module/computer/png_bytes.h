#pragma once

#include "computer/screenshots.h"
#include "module/python.h"

namespace ondrel::py {

// `picture` as the bytes of a PNG file, compressed by CPython's own zlib
// module (deflate and CRC-32): no library of ours to ship on any system,
// and zlib.compress lets other threads run while it deflates. Called with
// the interpreter's lock held; a new reference, or nullptr with an error set.
PyObject* png_bytes(const computer::FilteredPicture& picture);

}  // namespace ondrel::py
