// Sp3Data, read_sp3, compute_elevation and the orbits argument (Sp3Data or
// NavData) of the elevation functions.
#include <memory>
#include <string>

#include "navigation/sp3/orbit_interpolation.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/orbit_methods.hpp"
#include "python/shared_values.hpp"

namespace skyloam::py {
namespace {

const Sp3Data& sp3_of(PyObject* self) { return *value_of<SharedSp3>(self); }

PyObject* read(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"read_sp3", {"path"}, 1};
  Arguments a;
  std::string path;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, path)) return nullptr;
  auto data = read_sp3(path);
  if (!data) return raise_error(PyExc_OSError, "Failed to read SP3: ", data.error());
  return box(std::make_shared<const Sp3Data>(std::move(*data)), sp3_data_class());
}

PyObject* num_satellites(PyObject* self) {
  return to_python(std::uint64_t{sp3_of(self).num_satellites()});
}
PyObject* num_epochs(PyObject* self) { return to_python(sp3_of(self).num_epochs()); }
PyObject* interval(PyObject* self) { return to_python(sp3_of(self).interval()); }
PyObject* repr_sp3(PyObject* self) { return to_python(to_string(sp3_of(self))); }

PyObject* elevation(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{
      "compute_elevation", {"sp3", "receiver", "satellite", "epoch"}, 4};
  Arguments a;
  SharedOrbits orbits;
  const Ecef* receiver = nullptr;
  std::string satellite;
  const Epoch* epoch = nullptr;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, orbits) || !a.get(1, receiver) ||
      !a.get(2, satellite) || !a.get(3, epoch)) {
    return nullptr;
  }
  return to_python(compute_elevation(*orbits, *receiver, satellite, *epoch));
}

PyGetSetDef sp3_members[] = {
    {"num_satellites", getter<num_satellites>, nullptr, nullptr, nullptr},
    {"num_epochs", getter<num_epochs>, nullptr, nullptr, nullptr},
    {"interval", getter<interval>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef sp3_methods[] = {
    {"satellites", noargs<orbit_satellites<SharedSp3>>, METH_NOARGS,
     "satellites($self)\n--\n\n"},
    {"get_position", as_cfunction(fastcall<orbit_position<SharedSp3>>),
     METH_FASTCALL | METH_KEYWORDS,
     "get_position($self, satellite, epoch)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

bool from_python(PyObject* object, SharedOrbits& out) {
  if (Py_TYPE(object) == sp3_data_class()) {
    out.source = value_of<SharedSp3>(object);
    return true;
  }
  if (Py_TYPE(object) == nav_data_class()) {
    out.source = value_of<SharedNav>(object);
    return true;
  }
  return conversion_error(object, "Sp3Data | NavData");
}

PyTypeObject* sp3_data_class() {
  return ensure_class<SharedSp3>({
      .name = "skyloam_mp.Sp3Data",
      .doc = "Python-exposed SP3 data",
      .repr = unary<repr_sp3>,
      .getset = sp3_members,
      .methods = sp3_methods,
  });
}

PyMethodDef read_sp3_function = {"read_sp3", as_cfunction(fastcall<read>),
                                 METH_FASTCALL | METH_KEYWORDS,
                                 "read_sp3(path)\n--\n\nRead SP3 file"};

PyMethodDef compute_elevation_function = {
    "compute_elevation", as_cfunction(fastcall<elevation>), METH_FASTCALL | METH_KEYWORDS,
    "compute_elevation(sp3, receiver, satellite, epoch)\n--\n\n"
    "Compute satellite elevation from SP3 and receiver position"};

}  // namespace skyloam::py
