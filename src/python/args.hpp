// Argument binding for every exposed callable.
//
// A Signature names the callable and its parameters in text-signature order;
// the first `required` ones must be given. Arguments binds positional and
// keyword arguments to those slots (raising TypeError for missing, surplus,
// duplicated or unknown ones), and get() converts one slot, prefixing a
// TypeError with "argument '<name>': " (other errors, such as OverflowError,
// pass unchanged). An absent optional slot leaves the target untouched, so
// targets hold their defaults.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

#include "python/convert.hpp"
#include "python/python.hpp"

namespace skyloam::py {

inline constexpr std::size_t kMaxParameters = 16;

struct Signature {
  const char* function;
  std::initializer_list<const char*> names;
  std::size_t required;
};

class Arguments {
 public:
  // Vectorcall form (METH_FASTCALL | METH_KEYWORDS). False with an exception set.
  bool bind(const Signature& signature, PyObject* const* args, Py_ssize_t nargs,
            PyObject* kwnames);
  // Tuple/dict form (tp_new).
  bool bind(const Signature& signature, PyObject* args, PyObject* kwargs);

  // The bound object or nullptr when not given (borrowed).
  PyObject* operator[](std::size_t index) const { return slots_[index]; }
  bool given(std::size_t index) const { return slots_[index] != nullptr; }

  template <class T>
  bool get(std::size_t index, T& out) const {
    if (slots_[index] == nullptr) return true;
    if (from_python(slots_[index], out)) return true;
    prefix_type_error(index);
    return false;
  }

 private:
  bool bind_keyword(PyObject* name, PyObject* value);
  bool check_required() const;
  void prefix_type_error(std::size_t index) const;

  const Signature* signature_ = nullptr;
  std::array<PyObject*, kMaxParameters> slots_{};
};

// Adds the "argument '<name>': " prefix to a pending TypeError.
void prefix_argument_error(const char* name);

}  // namespace skyloam::py
