// Creating the exposed classes as heap types.
//
// Each class is created once per process, on first use, from a ClassSpec.
// Classes without a constructor refuse instantiation with "No constructor
// defined for <Name>". No class defines comparison or hashing.
#pragma once

#include "python/boxed.hpp"
#include "python/python.hpp"

namespace skyloam::py {

struct ClassSpec {
  const char* name;  // qualified, e.g. "skyloam_mp.Epoch"
  const char* doc;   // "<Name><signature>\n--\n\n<doc>" for classes with a constructor
  newfunc construct = nullptr;
  reprfunc repr = nullptr;
  reprfunc str = nullptr;
  PyGetSetDef* getset = nullptr;
  PyMethodDef* methods = nullptr;
  lenfunc length = nullptr;
  getbufferproc buffer = nullptr;  // the buffer protocol (no release function)
};

// The type object, or nullptr with the internal-failure exception set.
PyTypeObject* create_class(const ClassSpec& description, int basic_size, destructor dealloc);

template <class T>
PyTypeObject* ensure_class(const ClassSpec& description) {
  if (PyClass<T>::type == nullptr) {
    PyClass<T>::type =
        create_class(description, static_cast<int>(sizeof(Boxed<T>)), &dealloc_boxed<T>);
  }
  return PyClass<T>::type;
}

}  // namespace skyloam::py
