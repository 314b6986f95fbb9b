// Raising Python exceptions, and the boundary every call crosses.
//
// Entry points return nullptr with an exception set on failure. A C++
// exception escaping the core means a broken invariant: the boundary turns
// it into skyloam_mp.InternalError, a class derived directly from
// BaseException, and the interpreter keeps running.
#pragma once

#include <string>
#include <string_view>

#include "error/gnss_error.hpp"
#include "python/python.hpp"

namespace skyloam::py {

// Each sets the exception and returns nullptr, so `return raise_...(...)`.
PyObject* raise(PyObject* type, std::string_view message);
inline PyObject* raise_type_error(std::string_view m) { return raise(PyExc_TypeError, m); }
inline PyObject* raise_value_error(std::string_view m) { return raise(PyExc_ValueError, m); }
inline PyObject* raise_os_error(std::string_view m) { return raise(PyExc_OSError, m); }
inline PyObject* raise_runtime_error(std::string_view m) { return raise(PyExc_RuntimeError, m); }
// `prefix` followed by the error's display text.
PyObject* raise_error(PyObject* type, std::string_view prefix, const GnssError& error);

// The class of internal failures (created on first use).
PyObject* internal_error_type();
PyObject* raise_internal_failure(std::string_view message);
// For a failed Python API call while building a result: prints the pending
// error to standard error, then raises "Python API call failed".
PyObject* api_failure();
// Returns `object`, or api_failure() when it is null.
inline PyObject* checked(PyObject* object) { return object != nullptr ? object : api_failure(); }

// Converts the C++ exception being handled into an internal failure. Call
// only from a catch block.
void raise_current_exception() noexcept;

// Runs `body` and converts any escaping C++ exception. `Fail` is the value
// returned after a failure (nullptr for objects, -1 for ints).
template <class Fail, class Body>
auto guarded(Fail fail_value, Body&& body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    raise_current_exception();
    return fail_value;
  }
}

// Adapters giving plain binding functions the C signatures CPython calls,
// each behind the boundary.
using FastcallFn = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);
using NoArgsFn = PyObject* (*)(PyObject*);
using NewFn = PyObject* (*)(PyTypeObject*, PyObject*, PyObject*);
using SetterFn = int (*)(PyObject*, PyObject*);

template <FastcallFn F>
PyObject* fastcall(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                   PyObject* kwnames) noexcept {
  return guarded<PyObject*>(nullptr, [&] { return F(self, args, nargs, kwnames); });
}

template <NoArgsFn F>
PyObject* noargs(PyObject* self, PyObject*) noexcept {
  return guarded<PyObject*>(nullptr, [&] { return F(self); });
}

template <NoArgsFn F>
PyObject* getter(PyObject* self, void*) noexcept {
  return guarded<PyObject*>(nullptr, [&] { return F(self); });
}

template <NoArgsFn F>
PyObject* unary(PyObject* self) noexcept {
  return guarded<PyObject*>(nullptr, [&] { return F(self); });
}

template <NewFn F>
PyObject* constructor(PyTypeObject* type, PyObject* args, PyObject* kwargs) noexcept {
  return guarded<PyObject*>(nullptr, [&] { return F(type, args, kwargs); });
}

template <SetterFn F>
int setter(PyObject* self, PyObject* value, void*) noexcept {
  return guarded<int>(-1, [&] { return F(self, value); });
}

// The cast CPython's method tables expect for fast-call functions.
template <class Fn>
PyCFunction as_cfunction(Fn fn) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(fn));
}

}  // namespace skyloam::py
