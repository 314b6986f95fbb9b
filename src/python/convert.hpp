// Conversions between Python objects and C++ values.
//
// from_python(object, out) -> bool: false with a Python exception set. Type
// mismatches raise TypeError (the argument binder adds the parameter name);
// out-of-range integers raise OverflowError. to_python(value) -> a new
// reference, or nullptr after reporting a failed API call.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "python/boxed.hpp"
#include "python/errors.hpp"
#include "python/py_ref.hpp"
#include "python/python.hpp"

namespace skyloam::py {

// The Python-visible name of an object's type ("int", "Ecef").
std::string type_name(PyObject* object);
// "'<type>' object cannot be converted to '<target>'" as TypeError.
bool conversion_error(PyObject* object, std::string_view target);

bool from_python(PyObject* object, double& out);
bool from_python(PyObject* object, std::int8_t& out);
bool from_python(PyObject* object, std::uint8_t& out);
bool from_python(PyObject* object, std::int32_t& out);
bool from_python(PyObject* object, std::uint32_t& out);
bool from_python(PyObject* object, std::int64_t& out);
bool from_python(PyObject* object, std::uint64_t& out);
bool from_python(PyObject* object, bool& out);
bool from_python(PyObject* object, std::string& out);
// A bytes object's buffer, read in place (valid while the object lives).
bool from_python(PyObject* object, std::span<const char>& out);
bool from_python(PyObject* object, std::pair<double, double>& out);

// Declared ahead so that the templates below find each other.
template <class T>
bool from_python(PyObject* object, std::optional<T>& out);
template <class T>
bool from_python(PyObject* object, std::vector<T>& out);

// An instance of exactly T's class; points into it.
template <class T>
bool from_python(PyObject* object, const T*& out) {
  PyTypeObject* type = PyClass<T>::type;
  if (type == nullptr || Py_TYPE(object) != type) {
    const char* dot = type != nullptr ? std::strrchr(type->tp_name, '.') : nullptr;
    return conversion_error(object, dot != nullptr ? dot + 1 : "object");
  }
  out = &value_of<T>(object);
  return true;
}

template <class T>
bool from_python(PyObject* object, std::optional<T>& out) {
  if (object == Py_None) {
    out.reset();
    return true;
  }
  T value{};
  if (!from_python(object, value)) return false;
  out = std::move(value);
  return true;
}

// Calls `each(item)` for every element of a non-str sequence.
bool for_each_in_sequence(PyObject* object, bool (*each)(PyObject*, void*), void* context);

template <class T>
bool from_python(PyObject* object, std::vector<T>& out) {
  std::vector<T> values;
  const auto append = [](PyObject* item, void* context) {
    T value{};
    if (!from_python(item, value)) return false;
    static_cast<std::vector<T>*>(context)->push_back(std::move(value));
    return true;
  };
  if (!for_each_in_sequence(object, append, &values)) return false;
  out = std::move(values);
  return true;
}

template <class T>
PyObject* to_python(const std::optional<T>& value);
template <class A, class B>
PyObject* to_python(const std::pair<A, B>& pair);
template <class T>
PyObject* to_python(const std::vector<T>& values);

PyObject* to_python(double value);
PyObject* to_python(bool value);
PyObject* to_python(std::int64_t value);
PyObject* to_python(std::uint64_t value);
inline PyObject* to_python(std::int32_t value) { return to_python(std::int64_t{value}); }
inline PyObject* to_python(std::uint32_t value) { return to_python(std::uint64_t{value}); }
inline PyObject* to_python(std::uint8_t value) { return to_python(std::uint64_t{value}); }
inline PyObject* to_python(std::int8_t value) { return to_python(std::int64_t{value}); }
// Text from files may hold broken UTF-8 at a cut column: it is replaced, not refused.
PyObject* to_python(std::string_view text);
inline PyObject* to_python(const std::string& text) { return to_python(std::string_view(text)); }
inline PyObject* to_python(const char* text) { return to_python(std::string_view(text)); }
PyObject* none();

template <class T>
PyObject* to_python(const std::optional<T>& value) {
  return value ? to_python(*value) : none();
}

template <class A, class B>
PyObject* to_python(const std::pair<A, B>& pair) {
  PyRef first = PyRef::steal(to_python(pair.first));
  if (!first) return nullptr;
  PyRef second = PyRef::steal(to_python(pair.second));
  if (!second) return nullptr;
  return checked(PyTuple_Pack(2, first.get(), second.get()));
}

// A new list of `count` items made by `make(i)` (each a new reference).
template <class Make>
PyObject* make_list(std::size_t count, Make&& make) {
  PyRef list = PyRef::steal(PyList_New(static_cast<Py_ssize_t>(count)));
  if (!list) return api_failure();
  for (std::size_t i = 0; i < count; ++i) {
    PyObject* item = make(i);
    if (item == nullptr) return nullptr;
    PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), item);
  }
  return list.release();
}

template <class T>
PyObject* to_python(const std::vector<T>& values) {
  return make_list(values.size(), [&](std::size_t i) { return to_python(values[i]); });
}

// A new list of the text forms (to_string) of satellites, codes and the like.
template <class Values>
PyObject* text_list(const Values& values) {
  return make_list(values.size(), [&](std::size_t i) { return to_python(to_string(values[i])); });
}

// Sets dict[key] = value, taking over the value reference. False on failure.
bool set_item(PyObject* dict, const char* key, PyObject* value);
bool set_item(PyObject* dict, PyObject* key, PyObject* value);

}  // namespace skyloam::py
