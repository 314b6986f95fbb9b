#include "python/errors.hpp"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace skyloam::py {

PyObject* raise(PyObject* type, std::string_view message) {
  PyObject* text = PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()),
                                        "replace");
  if (text == nullptr) return nullptr;
  PyErr_SetObject(type, text);
  Py_DECREF(text);
  return nullptr;
}

PyObject* raise_error(PyObject* type, std::string_view prefix, const GnssError& error) {
  return raise(type, std::string(prefix) + error.display());
}

PyObject* internal_error_type() {
  // Created once per process and kept for its lifetime, like the classes.
  static PyObject* type = PyErr_NewExceptionWithDoc(
      "skyloam_mp.InternalError",
      "An internal invariant of skyloam_mp failed; the call was abandoned.", PyExc_BaseException,
      nullptr);
  return type;
}

PyObject* raise_internal_failure(std::string_view message) {
  PyObject* type = internal_error_type();
  return raise(type != nullptr ? type : PyExc_SystemError, message);
}

PyObject* api_failure() {
  if (PyErr_Occurred() != nullptr) {
    PyErr_Print();
  }
  return raise_internal_failure("Python API call failed");
}

void raise_current_exception() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      raise_internal_failure(e.what());
    } catch (...) {
      raise_internal_failure("unknown internal failure");
    }
  } catch (...) {
    std::fputs("uncaught panic at ffi boundary\n", stderr);
    std::abort();
  }
}

}  // namespace skyloam::py
