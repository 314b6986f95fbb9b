// fresnel_zone and fresnel_map.
#include <optional>
#include <string>
#include <vector>

#include "analysis/advanced/fresnel.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"

namespace skyloam {

// A track is a 3-tuple (satellite, azimuths, elevations). Found by argument-
// dependent lookup from the sequence converter.
bool from_python(PyObject* object, FresnelTrack& out) {
  using py::from_python;
  if (!PyTuple_Check(object)) return py::conversion_error(object, "PyTuple");
  const Py_ssize_t size = PyTuple_GET_SIZE(object);
  if (size != 3) {
    PyErr_Format(PyExc_ValueError, "expected tuple of length 3, but got tuple of length %zd", size);
    return false;
  }
  return from_python(PyTuple_GET_ITEM(object, 0), out.satellite) &&
         from_python(PyTuple_GET_ITEM(object, 1), out.azimuths) &&
         from_python(PyTuple_GET_ITEM(object, 2), out.elevations);
}

}  // namespace skyloam

namespace skyloam::py {
namespace {

PyObject* zone(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"fresnel_zone", {"elevation", "antenna_height", "wavelength"}, 2};
  Arguments a;
  double elevation = 0.0;
  double height = 0.0;
  std::optional<double> wavelength;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, elevation) || !a.get(1, height) ||
      !a.get(2, wavelength)) {
    return nullptr;
  }
  const FresnelFootprint f =
      fresnel_footprint(elevation, height, wavelength.value_or(kGpsL1Wavelength));
  PyRef a_value = PyRef::steal(to_python(f.a));
  PyRef b_value = PyRef::steal(to_python(f.b));
  PyRef dist = PyRef::steal(to_python(f.dist));
  if (!a_value || !b_value || !dist) return nullptr;
  return checked(PyTuple_Pack(3, a_value.get(), b_value.get(), dist.get()));
}

PyObject* footprint_dict(const FresnelTrack& track, const FresnelCell& cell) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  const std::pair<const char*, double> numbers[] = {{"az", cell.az},
                                                    {"el", cell.el},
                                                    {"a", cell.footprint.a},
                                                    {"b", cell.footprint.b},
                                                    {"dist", cell.footprint.dist}};
  if (!set_item(dict.get(), "sat", to_python(track.satellite))) return nullptr;
  for (const auto& [key, value] : numbers) {
    if (!set_item(dict.get(), key, to_python(value))) return nullptr;
  }
  return dict.release();
}

PyObject* map(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{
      "fresnel_map", {"tracks", "antenna_height", "min_elevation", "wavelength"}, 2};
  Arguments a;
  std::vector<FresnelTrack> tracks;
  double height = 0.0;
  double min_elevation = 5.0;
  std::optional<double> wavelength;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, tracks) || !a.get(1, height) ||
      !a.get(2, min_elevation) || !a.get(3, wavelength)) {
    return nullptr;
  }
  const auto cells =
      fresnel_map(tracks, height, min_elevation, wavelength.value_or(kGpsL1Wavelength));
  return make_list(cells.size(),
                   [&](std::size_t i) { return footprint_dict(tracks[cells[i].track], cells[i]); });
}

}  // namespace

PyMethodDef fresnel_zone_function = {
    "fresnel_zone", as_cfunction(fastcall<zone>), METH_FASTCALL | METH_KEYWORDS,
    "fresnel_zone(elevation, antenna_height, wavelength=None)\n--\n\n"
    "First Fresnel zone (a, b, distance) in metres for a horizontal reflector\n"
    "`antenna_height` below the antenna. Wavelength defaults to GPS L1."};

PyMethodDef fresnel_map_function = {
    "fresnel_map", as_cfunction(fastcall<map>), METH_FASTCALL | METH_KEYWORDS,
    "fresnel_map(tracks, antenna_height, min_elevation=5.0, wavelength=None)\n--\n\n"
    "Fresnel footprints along satellite tracks, one per 10\u00b0\u00d710\u00b0 az/el cell.\n"
    "`tracks` is a list of (satellite, azimuths, elevations) in degrees.\n"
    "Returns dicts with keys sat, az, el, a, b, dist."};

}  // namespace skyloam::py
