#include "python/convert.hpp"

#include <cstring>
#include <limits>

namespace skyloam::py {

std::string type_name(PyObject* object) {
  PyRef name = PyRef::steal(PyType_GetName(Py_TYPE(object)));
  if (!name) {
    PyErr_Clear();
    return "object";
  }
  const char* text = PyUnicode_AsUTF8(name.get());
  if (text == nullptr) {
    PyErr_Clear();
    return "object";
  }
  return text;
}

bool conversion_error(PyObject* object, std::string_view target) {
  std::string message = "'";
  message += type_name(object);
  message += "' object cannot be converted to '";
  message += target;
  message += "'";
  raise_type_error(message);
  return false;
}

bool Borrow::take(int* flag, bool exclusive) {
  if (exclusive ? *flag != 0 : *flag < 0) {
    raise_runtime_error(exclusive ? "Already borrowed" : "Already mutably borrowed");
    return false;
  }
  *flag = exclusive ? -1 : *flag + 1;
  flag_ = flag;
  exclusive_ = exclusive;
  return true;
}

bool from_python(PyObject* object, double& out) {
  if (PyFloat_CheckExact(object)) {
    out = PyFloat_AS_DOUBLE(object);
    return true;
  }
  const double value = PyFloat_AsDouble(object);
  if (value == -1.0 && PyErr_Occurred() != nullptr) return false;
  out = value;
  return true;
}

namespace {

bool out_of_range() {
  PyErr_SetString(PyExc_OverflowError, "out of range integral type conversion attempted");
  return false;
}

template <class T>
bool narrow_integer(PyObject* object, T& out) {
  const long long value = PyLong_AsLongLong(object);
  if (value == -1 && PyErr_Occurred() != nullptr) {
    if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
      PyErr_Clear();
      return out_of_range();
    }
    return false;
  }
  if (value < static_cast<long long>(std::numeric_limits<T>::min()) ||
      value > static_cast<long long>(std::numeric_limits<T>::max())) {
    return out_of_range();
  }
  out = static_cast<T>(value);
  return true;
}

bool is_numpy_bool(PyObject* object) {
  const std::string name = type_name(object);
  if (name != "bool_" && name != "bool") return false;
  PyRef module = PyRef::steal(
      PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(object)), "__module__"));
  if (!module || !PyUnicode_Check(module.get())) {
    PyErr_Clear();
    return false;
  }
  return PyUnicode_CompareWithASCIIString(module.get(), "numpy") == 0;
}

}  // namespace

bool from_python(PyObject* object, std::int8_t& out) { return narrow_integer(object, out); }
bool from_python(PyObject* object, std::uint8_t& out) { return narrow_integer(object, out); }
bool from_python(PyObject* object, std::int32_t& out) { return narrow_integer(object, out); }
bool from_python(PyObject* object, std::uint32_t& out) { return narrow_integer(object, out); }

bool from_python(PyObject* object, std::int64_t& out) {
  const long long value = PyLong_AsLongLong(object);
  if (value == -1 && PyErr_Occurred() != nullptr) return false;
  out = value;
  return true;
}

bool from_python(PyObject* object, std::uint64_t& out) {
  PyRef index = PyRef::steal(PyNumber_Index(object));
  if (!index) return false;
  const unsigned long long value = PyLong_AsUnsignedLongLong(index.get());
  if (value == static_cast<unsigned long long>(-1) && PyErr_Occurred() != nullptr) return false;
  out = value;
  return true;
}

bool from_python(PyObject* object, bool& out) {
  if (object == Py_True || object == Py_False) {
    out = object == Py_True;
    return true;
  }
  if (!is_numpy_bool(object)) return conversion_error(object, "PyBool");
  const int truth = PyObject_IsTrue(object);
  if (truth < 0) return false;
  out = truth != 0;
  return true;
}

bool from_python(PyObject* object, std::string& out) {
  if (!PyUnicode_Check(object)) return conversion_error(object, "PyString");
  Py_ssize_t size = 0;
  const char* text = PyUnicode_AsUTF8AndSize(object, &size);
  if (text == nullptr) return false;
  out.assign(text, static_cast<std::size_t>(size));
  return true;
}

bool from_python(PyObject* object, std::span<const char>& out) {
  if (!PyBytes_Check(object)) return conversion_error(object, "PyBytes");
  out = {PyBytes_AS_STRING(object), static_cast<std::size_t>(PyBytes_GET_SIZE(object))};
  return true;
}

bool from_python(PyObject* object, std::pair<double, double>& out) {
  if (!PyTuple_Check(object)) return conversion_error(object, "PyTuple");
  const Py_ssize_t size = PyTuple_GET_SIZE(object);
  if (size != 2) {
    PyErr_Format(PyExc_ValueError, "expected tuple of length 2, but got tuple of length %zd", size);
    return false;
  }
  return from_python(PyTuple_GET_ITEM(object, 0), out.first) &&
         from_python(PyTuple_GET_ITEM(object, 1), out.second);
}

bool for_each_in_sequence(PyObject* object, bool (*each)(PyObject*, void*), void* context) {
  if (PyUnicode_Check(object)) {
    raise_type_error("Can't extract `str` to `Vec`");
    return false;
  }
  if (!PySequence_Check(object)) return conversion_error(object, "Sequence");
  PyRef iterator = PyRef::steal(PyObject_GetIter(object));
  if (!iterator) return false;
  while (true) {
    PyRef item = PyRef::steal(PyIter_Next(iterator.get()));
    if (!item) break;
    if (!each(item.get(), context)) return false;
  }
  return PyErr_Occurred() == nullptr;
}

PyObject* to_python(double value) { return checked(PyFloat_FromDouble(value)); }
PyObject* to_python(bool value) { return Py_NewRef(value ? Py_True : Py_False); }
PyObject* to_python(std::int64_t value) { return checked(PyLong_FromLongLong(value)); }
PyObject* to_python(std::uint64_t value) { return checked(PyLong_FromUnsignedLongLong(value)); }

PyObject* to_python(std::string_view text) {
  return checked(
      PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

PyObject* none() { return Py_NewRef(Py_None); }

bool set_item(PyObject* dict, PyObject* key, PyObject* value) {
  PyRef owned = PyRef::steal(value);
  if (!owned) return false;
  if (PyDict_SetItem(dict, key, owned.get()) < 0) {
    api_failure();
    return false;
  }
  return true;
}

bool set_item(PyObject* dict, const char* key, PyObject* value) {
  PyRef owned = PyRef::steal(value);
  PyRef name = PyRef::steal(PyUnicode_FromString(key));
  if (!name) {
    api_failure();
    return false;
  }
  return owned && set_item(dict, name.get(), owned.release());
}

}  // namespace skyloam::py
