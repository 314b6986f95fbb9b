#include "python/args.hpp"

#include <stdexcept>
#include <string>

#include "python/errors.hpp"
#include "python/py_ref.hpp"

namespace skyloam::py {
namespace {

const char* name_at(const Signature& signature, std::size_t index) {
  return signature.names.begin()[index];
}

bool too_many_positional(const Signature& signature, Py_ssize_t given) {
  const std::size_t count = signature.names.size();
  std::string message = std::string(signature.function) + "() takes ";
  if (count == 0) {
    message += "no arguments";
  } else {
    message += "at most " + std::to_string(count) + (count == 1 ? " argument" : " arguments");
  }
  raise_type_error(message + " (" + std::to_string(given) + " given)");
  return false;
}

}  // namespace

void prefix_argument_error(const char* name) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyRef original = PyRef::steal(PyErr_GetRaisedException());
  PyRef text = PyRef::steal(PyObject_Str(original.get()));
  if (!text) {
    PyErr_SetRaisedException(original.release());
    return;
  }
  PyErr_Format(PyExc_TypeError, "argument '%s': %U", name, text.get());
  PyRef replaced = PyRef::steal(PyErr_GetRaisedException());
  PyException_SetCause(replaced.get(), original.release());
  PyErr_SetRaisedException(replaced.release());
}

void Arguments::prefix_type_error(std::size_t index) const {
  prefix_argument_error(name_at(*signature_, index));
}

bool Arguments::bind_keyword(PyObject* name, PyObject* value) {
  const Signature& signature = *signature_;
  for (std::size_t i = 0; i < signature.names.size(); ++i) {
    if (PyUnicode_CompareWithASCIIString(name, name_at(signature, i)) != 0) continue;
    if (slots_[i] != nullptr) {
      raise_type_error(std::string("argument for ") + signature.function + "() given by name ('" +
                       name_at(signature, i) + "') and position (" + std::to_string(i + 1) + ")");
      return false;
    }
    slots_[i] = value;
    return true;
  }
  if (signature.names.size() == 0) {
    raise_type_error(std::string(signature.function) + "() takes no keyword arguments");
    return false;
  }
  PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", signature.function,
               name);
  return false;
}

bool Arguments::check_required() const {
  for (std::size_t i = 0; i < signature_->required; ++i) {
    if (slots_[i] == nullptr) {
      raise_type_error(std::string(signature_->function) + "() missing required argument '" +
                       name_at(*signature_, i) + "' (pos " + std::to_string(i + 1) + ")");
      return false;
    }
  }
  return true;
}

bool Arguments::bind(const Signature& signature, PyObject* const* args, Py_ssize_t nargs,
                     PyObject* kwnames) {
  if (signature.names.size() > kMaxParameters) throw std::logic_error("too many parameters");
  signature_ = &signature;
  slots_.fill(nullptr);
  const auto positional = static_cast<std::size_t>(nargs);
  if (positional > signature.names.size()) return too_many_positional(signature, nargs);
  for (std::size_t i = 0; i < positional; ++i) slots_[i] = args[i];
  if (kwnames != nullptr) {
    const Py_ssize_t count = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < count; ++k) {
      if (!bind_keyword(PyTuple_GET_ITEM(kwnames, k), args[nargs + k])) return false;
    }
  }
  return check_required();
}

bool Arguments::bind(const Signature& signature, PyObject* args, PyObject* kwargs) {
  if (signature.names.size() > kMaxParameters) throw std::logic_error("too many parameters");
  signature_ = &signature;
  slots_.fill(nullptr);
  const Py_ssize_t nargs = PyTuple_GET_SIZE(args);
  const auto positional = static_cast<std::size_t>(nargs);
  if (positional > signature.names.size()) return too_many_positional(signature, nargs);
  for (std::size_t i = 0; i < positional; ++i) slots_[i] = PyTuple_GET_ITEM(args, static_cast<Py_ssize_t>(i));
  if (kwargs != nullptr) {
    PyObject* key = nullptr;
    PyObject* value = nullptr;
    Py_ssize_t pos = 0;
    while (PyDict_Next(kwargs, &pos, &key, &value)) {
      if (!bind_keyword(key, value)) return false;
    }
  }
  return check_required();
}

}  // namespace skyloam::py
