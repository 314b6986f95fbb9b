#include "python/classes.hpp"

#include <cstring>
#include <string>
#include <vector>

#include "python/errors.hpp"

namespace skyloam::py {
namespace {

const char* short_name(const char* qualified) {
  const char* dot = std::strrchr(qualified, '.');
  return dot != nullptr ? dot + 1 : qualified;
}

PyObject* refuse_construction(PyTypeObject* type, PyObject*, PyObject*) noexcept {
  return raise_type_error(std::string("No constructor defined for ") + short_name(type->tp_name));
}

}  // namespace

PyTypeObject* create_class(const ClassSpec& description, int basic_size, destructor dealloc) {
  std::vector<PyType_Slot> slots = {
      {Py_tp_doc, const_cast<char*>(description.doc)},
      {Py_tp_dealloc, reinterpret_cast<void*>(dealloc)},
      {Py_tp_new, reinterpret_cast<void*>(description.construct != nullptr ? description.construct
                                                                    : &refuse_construction)},
  };
  if (description.repr != nullptr) slots.push_back({Py_tp_repr, reinterpret_cast<void*>(description.repr)});
  if (description.str != nullptr) slots.push_back({Py_tp_str, reinterpret_cast<void*>(description.str)});
  if (description.getset != nullptr) slots.push_back({Py_tp_getset, description.getset});
  if (description.methods != nullptr) slots.push_back({Py_tp_methods, description.methods});
  if (description.length != nullptr) {
    slots.push_back({Py_sq_length, reinterpret_cast<void*>(description.length)});
  }
  if (description.buffer != nullptr) {
    slots.push_back({Py_bf_getbuffer, reinterpret_cast<void*>(description.buffer)});
  }
  slots.push_back({0, nullptr});

  PyType_Spec type_spec{description.name, basic_size, 0, Py_TPFLAGS_DEFAULT, slots.data()};
  PyObject* type = PyType_FromSpec(&type_spec);
  if (type == nullptr) {
    PyErr_Print();
    raise_internal_failure(std::string("failed to create type object for ") +
                           short_name(description.name));
    return nullptr;
  }
  return reinterpret_cast<PyTypeObject*>(type);
}

}  // namespace skyloam::py
