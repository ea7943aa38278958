#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

#include "module/python.h"

namespace ondrel::py {

// An instance: the object header, the native record it owns, and the borrow
// flag (0 free, all bits set while a call has exclusive use).
template <class Record>
struct NativeObject {
  PyObject header;
  alignas(Record) unsigned char storage[sizeof(Record)];
  std::atomic<std::uintptr_t> borrow;

  Record& record() { return *std::launder(reinterpret_cast<Record*>(storage)); }
};

template <class Record>
NativeObject<Record>* as_native(PyObject* self) {
  return reinterpret_cast<NativeObject<Record>*>(self);
}

// Allocates an instance of `type` and moves `record` into it. On failure
// the record is released where it stands and null is returned.
template <class Record>
PyObject* adopt_record(PyTypeObject* type, Record&& record) {
  auto allocate = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  if (allocate == nullptr) allocate = PyType_GenericAlloc;
  PyObject* self = allocate(type, 0);
  if (self == nullptr) return nullptr;
  auto* native = as_native<Record>(self);
  new (native->storage) Record(std::move(record));
  new (&native->borrow) std::atomic<std::uintptr_t>(0);
  return self;
}

// Releases the record, then the memory through the type's own tp_free, then
// the reference to the type that the instance held.
template <class Record>
void free_native(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  as_native<Record>(self)->record().~Record();
  reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
  Py_DECREF(type);
}

}  // namespace ondrel::py
