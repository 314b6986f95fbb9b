// Column and the dicts of columns the results hand out.
#include "python/columns.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/convert.hpp"
#include "python/errors.hpp"
#include "python/py_ref.hpp"

namespace skyloam::py {
namespace {

// The values of one column, shared with the results they come from (which
// copy before they write); shape and stride stay here for the buffers that
// point at them.
struct ColumnValue {
  std::shared_ptr<const MemoryBlock> storage;
  Py_ssize_t shape;  // number of values
  Py_ssize_t stride;  // item size: the values are contiguous
  const char* format;  // struct module code, native size and alignment
};

static_assert(sizeof(int) == 4 && sizeof(long long) == 8);
template <class T>
constexpr const char* kFormat = nullptr;
template <>
constexpr const char* kFormat<double> = "d";
template <>
constexpr const char* kFormat<std::int32_t> = "i";
template <>
constexpr const char* kFormat<std::int64_t> = "q";

int get_buffer(PyObject* self, Py_buffer* view, int flags) noexcept {
  if ((flags & PyBUF_WRITABLE) != 0) {
    PyErr_SetString(PyExc_BufferError, "Column is read-only");
    view->obj = nullptr;
    return -1;
  }
  ColumnValue& column = value_of<ColumnValue>(self);
  // Without a shape the consumer sees plain bytes.
  const bool shaped = (flags & PyBUF_ND) != 0;
  view->obj = Py_NewRef(self);
  view->buf = column.storage->data();
  view->len = column.shape * column.stride;
  view->readonly = 1;
  view->itemsize = shaped ? column.stride : 1;
  view->format = (flags & PyBUF_FORMAT) == 0 ? nullptr
                 : shaped                    ? const_cast<char*>(column.format)
                                             : const_cast<char*>("B");
  view->ndim = 1;
  view->shape = shaped ? &column.shape : nullptr;
  view->strides = (flags & PyBUF_STRIDES) == PyBUF_STRIDES ? &column.stride : nullptr;
  view->suboffsets = nullptr;
  view->internal = nullptr;
  return 0;
}

Py_ssize_t column_length(PyObject* self) noexcept { return value_of<ColumnValue>(self).shape; }

PyObject* repr_column(PyObject* self) {
  const ColumnValue& column = value_of<ColumnValue>(self);
  return to_python("Column(format='" + std::string(column.format) +
                   "', length=" + std::to_string(column.shape) + ")");
}

template <class T>
PyObject* box_column(const Column<T>& column) {
  const auto length = static_cast<Py_ssize_t>(column.size());
  return box(ColumnValue{column.share(), length, sizeof(T), kFormat<T>}, column_class());
}

PyObject* finished(PyRef dict, bool complete) { return complete ? dict.release() : nullptr; }

}  // namespace

PyTypeObject* column_class() {
  return ensure_class<ColumnValue>({
      .name = "skyloam_mp.Column",
      .doc = "A read-only column of results (buffer protocol: memoryview, array libraries)",
      .repr = unary<repr_column>,
      .length = column_length,
      .buffer = get_buffer,
  });
}

PyObject* estimate_column_dict(const EstimateStore& s) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  PyObject* d = dict.get();
  const bool complete =
      set_item(d, "time", box_column(s.time())) && set_item(d, "mp", box_column(s.mp())) &&
      set_item(d, "elevation", box_column(s.elevation())) &&
      set_item(d, "azimuth", box_column(s.azimuth())) &&
      set_item(d, "snr", box_column(s.snr())) &&
      set_item(d, "satellite", box_column(s.satellite())) &&
      set_item(d, "signal", box_column(s.signal())) && set_item(d, "arc", box_column(s.arc())) &&
      set_item(d, "time_ms", box_column(s.time_ms())) &&
      set_item(d, "satellites", text_list(s.satellites())) &&
      set_item(d, "signals", text_list(s.signals()));
  return finished(std::move(dict), complete);
}

PyObject* slip_column_dict(const SlipColumns& c) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  PyObject* d = dict.get();
  const bool complete =
      set_item(d, "time", box_column(c.time)) &&
      set_item(d, "magnitude", box_column(c.magnitude)) &&
      set_item(d, "threshold", box_column(c.threshold)) &&
      set_item(d, "satellite", box_column(c.satellite)) &&
      set_item(d, "signal", box_column(c.signal)) &&
      set_item(d, "method", box_column(c.method)) &&
      set_item(d, "time_ms", box_column(c.time_ms)) &&
      set_item(d, "satellites", to_python(c.satellites)) &&
      set_item(d, "signals", to_python(c.signals)) &&
      set_item(d, "methods", to_python(c.methods));
  return finished(std::move(dict), complete);
}

}  // namespace skyloam::py
