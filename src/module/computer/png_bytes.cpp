#include "module/computer/png_bytes.h"

#include <cstring>

#include "module/py_ref.h"
#include "screen/png_file.h"

namespace ondrel::py {
namespace {

// Level 5: on a 1920x1080 desktop of text, 7 % more bytes than level 6
// (zlib's default, Pillow's) in two thirds of its time; level 3 takes a
// third less time again but 45 % more bytes (bench/bench_screenshot.py).
constexpr int kDeflateLevel = 5;

bool crc32_of(PyObject* zlib, PyObject* data, unsigned long start, std::uint32_t& out) {
  Ref crc = Ref::steal(PyObject_CallMethod(zlib, "crc32", "Ok", data, start));
  if (!crc) return false;
  const unsigned long value = PyLong_AsUnsignedLong(crc.get());
  if (value == static_cast<unsigned long>(-1) && PyErr_Occurred()) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

Ref bytes_of(const void* data, std::size_t size) {
  return Ref::steal(PyBytes_FromStringAndSize(static_cast<const char*>(data), static_cast<Py_ssize_t>(size)));
}

// zlib.compress of the scanlines, read in place through a memoryview that
// is released before they go.
Ref deflated(PyObject* zlib, const std::vector<std::uint8_t>& scanlines) {
  Ref view = Ref::steal(PyMemoryView_FromMemory(reinterpret_cast<char*>(const_cast<std::uint8_t*>(scanlines.data())),
                                                static_cast<Py_ssize_t>(scanlines.size()), PyBUF_READ));
  if (!view) return {};
  Ref compressed = Ref::steal(PyObject_CallMethod(zlib, "compress", "Oi", view.get(), kDeflateLevel));
  if (!compressed) return {};
  Ref released = Ref::steal(PyObject_CallMethod(view.get(), "release", nullptr));
  if (!released) return {};
  return compressed;
}

}  // namespace

PyObject* png_bytes(const computer::FilteredPicture& picture) {
  Ref zlib = Ref::steal(PyImport_ImportModule("zlib"));
  if (!zlib) return nullptr;
  Ref compressed = deflated(zlib.get(), picture.scanlines);
  if (!compressed) return nullptr;
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(compressed.get(), &data, &size) < 0) return nullptr;
  if (static_cast<std::size_t>(size) > screen::kPngLargestChunk) {
    PyErr_SetString(PyExc_RuntimeError, "the picture does not fit in a PNG chunk");
    return nullptr;
  }
  const auto header = screen::png_header_fields(picture.size.width, picture.size.height);
  Ref header_bytes = bytes_of(header.data(), header.size());
  Ref data_type = bytes_of(screen::kPngDataType.data(), screen::kPngDataType.size());
  std::uint32_t header_crc = 0;
  std::uint32_t type_crc = 0;
  std::uint32_t data_crc = 0;
  if (!header_bytes || !data_type || !crc32_of(zlib.get(), header_bytes.get(), 0, header_crc) ||
      !crc32_of(zlib.get(), data_type.get(), 0, type_crc) ||
      !crc32_of(zlib.get(), compressed.get(), type_crc, data_crc))
    return nullptr;
  const std::size_t file_size = screen::png_file_size(static_cast<std::size_t>(size));
  Ref file = Ref::steal(PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(file_size)));
  if (!file) return nullptr;
  char* out = PyBytes_AsString(file.get());
  if (out == nullptr) return nullptr;
  screen::write_png_file({reinterpret_cast<std::uint8_t*>(out), file_size}, header, header_crc,
                         {reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)}, data_crc);
  return file.release();
}

}  // namespace ondrel::py
