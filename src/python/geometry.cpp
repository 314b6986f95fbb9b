// Ecef, Geodetic and calculate_azel.
#include <string>

#include "geodesy/coordinates.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/members.hpp"
#include "utils/text/format.hpp"

namespace skyloam::py {
namespace {

template <class T>
PyObject* new_triple(PyTypeObject* type, PyObject* args, PyObject* kwargs,
                     const Signature& signature, double T::*a, double T::*b, double T::*c) {
  Arguments bound;
  T value{};
  if (!bound.bind(signature, args, kwargs) || !bound.get(0, value.*a) ||
      !bound.get(1, value.*b) || !bound.get(2, value.*c)) {
    return nullptr;
  }
  return box(value, type);
}

PyObject* new_ecef(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{"Ecef", {"x", "y", "z"}, 3};
  return new_triple(type, args, kwargs, signature, &Ecef::x, &Ecef::y, &Ecef::z);
}

PyObject* new_geodetic(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{"Geodetic", {"lat", "lon", "height"}, 3};
  return new_triple(type, args, kwargs, signature, &Geodetic::lat, &Geodetic::lon,
                    &Geodetic::height);
}

PyObject* repr_ecef(PyObject* self) {
  const Ecef& p = value_of<Ecef>(self);
  return to_python("Ecef(" + format_fixed(p.x, 3) + ", " + format_fixed(p.y, 3) + ", " +
                   format_fixed(p.z, 3) + ")");
}

PyObject* repr_geodetic(PyObject* self) {
  const Geodetic& g = value_of<Geodetic>(self);
  return to_python("Geodetic(" + format_fixed(g.lat, 6) + "\u00b0, " + format_fixed(g.lon, 6) +
                   "\u00b0, " + format_fixed(g.height, 1) + "m)");
}

PyObject* ecef_to_geodetic(PyObject* self) {
  return box(to_geodetic(value_of<Ecef>(self)), geodetic_class());
}

PyObject* geodetic_to_ecef(PyObject* self) {
  return box(to_ecef(value_of<Geodetic>(self)), ecef_class());
}

PyObject* ecef_magnitude(PyObject* self) { return to_python(magnitude(value_of<Ecef>(self))); }

PyObject* ecef_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                        PyObject* kwnames) {
  static const Signature signature{"distance", {"other"}, 1};
  Arguments a;
  const Ecef* other = nullptr;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, other)) return nullptr;
  return to_python(distance(value_of<Ecef>(self), *other));
}

PyObject* calculate_azel(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"calculate_azel", {"receiver", "satellite"}, 2};
  Arguments a;
  const Ecef* receiver = nullptr;
  const Ecef* satellite = nullptr;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, receiver) || !a.get(1, satellite)) {
    return nullptr;
  }
  const AzEl azel = azimuth_elevation(*receiver, *satellite);
  return to_python(std::pair{azel.azimuth, azel.elevation});
}

PyGetSetDef ecef_members[] = {
    {"x", getter<field<Ecef, &Ecef::x>>, nullptr, nullptr, nullptr},
    {"y", getter<field<Ecef, &Ecef::y>>, nullptr, nullptr, nullptr},
    {"z", getter<field<Ecef, &Ecef::z>>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef ecef_methods[] = {
    {"to_geodetic", noargs<ecef_to_geodetic>, METH_NOARGS, "to_geodetic($self)\n--\n\n"},
    {"magnitude", noargs<ecef_magnitude>, METH_NOARGS, "magnitude($self)\n--\n\n"},
    {"distance", as_cfunction(fastcall<ecef_distance>), METH_FASTCALL | METH_KEYWORDS,
     "distance($self, other)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef geodetic_members[] = {
    {"lat", getter<field<Geodetic, &Geodetic::lat>>, nullptr, nullptr, nullptr},
    {"lon", getter<field<Geodetic, &Geodetic::lon>>, nullptr, nullptr, nullptr},
    {"height", getter<field<Geodetic, &Geodetic::height>>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef geodetic_methods[] = {
    {"to_ecef", noargs<geodetic_to_ecef>, METH_NOARGS, "to_ecef($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* ecef_class() {
  return ensure_class<Ecef>({
      .name = "skyloam_mp.Ecef",
      .doc = "Ecef(x, y, z)\n--\n\nPython-exposed ECEF coordinates",
      .construct = constructor<new_ecef>,
      .repr = unary<repr_ecef>,
      .getset = ecef_members,
      .methods = ecef_methods,
  });
}

PyTypeObject* geodetic_class() {
  return ensure_class<Geodetic>({
      .name = "skyloam_mp.Geodetic",
      .doc = "Geodetic(lat, lon, height)\n--\n\nPython-exposed Geodetic coordinates",
      .construct = constructor<new_geodetic>,
      .repr = unary<repr_geodetic>,
      .getset = geodetic_members,
      .methods = geodetic_methods,
  });
}

PyMethodDef calculate_azel_function = {
    "calculate_azel", as_cfunction(fastcall<calculate_azel>), METH_FASTCALL | METH_KEYWORDS,
    "calculate_azel(receiver, satellite)\n--\n\nCalculate azimuth and elevation"};

}  // namespace skyloam::py
