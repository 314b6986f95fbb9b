// The methods Sp3Data and NavData share as orbit sources: satellites() and
// get_position(satellite, epoch). `Shared` is the class's boxed value, a
// shared pointer to the OrbitSource.
#pragma once

#include <string>

#include "navigation/orbit_source.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"

namespace skyloam::py {

template <class Shared>
PyObject* orbit_satellites(PyObject* self) {
  return text_list(value_of<Shared>(self)->satellites());
}

template <class Shared>
PyObject* orbit_position(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames) {
  static const Signature signature{"get_position", {"satellite", "epoch"}, 2};
  Arguments a;
  std::string satellite;
  const Epoch* epoch = nullptr;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, satellite) || !a.get(1, epoch)) {
    return nullptr;
  }
  const auto p = get_position(*value_of<Shared>(self), satellite, *epoch);
  return p ? box(*p, ecef_class()) : none();
}

}  // namespace skyloam::py
