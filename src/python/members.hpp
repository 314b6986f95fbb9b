// Small templates for the common members of record classes.
#pragma once

#include "python/boxed.hpp"
#include "python/convert.hpp"

namespace skyloam::py {

// Getter body: a fresh Python object of one stored field.
template <class T, auto Member>
PyObject* field(PyObject* self) {
  return to_python(value_of<T>(self).*Member);
}

}  // namespace skyloam::py
