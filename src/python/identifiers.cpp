// GnssSystem and Satellite.
#include <string>

#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/members.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam::py {
namespace {

PyObject* new_gnss_system(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{"GnssSystem", {"code"}, 1};
  Arguments a;
  std::string code;
  if (!a.bind(signature, args, kwargs) || !a.get(0, code)) return nullptr;
  const auto system = parse_system(code);
  if (!system) return raise_value_error(system.error().display());
  return box(*system, type);
}

PyObject* system_name_of(PyObject* self) {
  return to_python(system_name(value_of<GnssSystem>(self)));
}

PyObject* system_code_of(PyObject* self) {
  return to_python(std::string(1, system_code(value_of<GnssSystem>(self))));
}

PyObject* repr_gnss_system(PyObject* self) {
  return to_python("GnssSystem('" + std::string(1, system_code(value_of<GnssSystem>(self))) +
                   "')");
}

PyGetSetDef gnss_system_members[] = {
    {"name", getter<system_name_of>, nullptr, nullptr, nullptr},
    {"code", getter<system_code_of>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyObject* new_satellite(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static const Signature signature{"Satellite", {"id"}, 1};
  Arguments a;
  std::string id;
  if (!a.bind(signature, args, kwargs) || !a.get(0, id)) return nullptr;
  const auto satellite = parse_satellite(id);
  if (!satellite) return raise_value_error("Invalid satellite ID: " + id);
  return box(*satellite, type);
}

PyObject* satellite_system(PyObject* self) {
  return box(value_of<Satellite>(self).system, gnss_system_class());
}

PyObject* satellite_id(PyObject* self) { return to_python(to_string(value_of<Satellite>(self))); }

PyObject* repr_satellite(PyObject* self) {
  return to_python("Satellite('" + to_string(value_of<Satellite>(self)) + "')");
}

PyGetSetDef satellite_members[] = {
    {"system", getter<satellite_system>, nullptr, nullptr, nullptr},
    {"prn", getter<field<Satellite, &Satellite::prn>>, nullptr, nullptr, nullptr},
    {"id", getter<satellite_id>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PyTypeObject* gnss_system_class() {
  return ensure_class<GnssSystem>({
      .name = "skyloam_mp.GnssSystem",
      .doc = "GnssSystem(code)\n--\n\nPython-exposed GNSS System enum",
      .construct = constructor<new_gnss_system>,
      .repr = unary<repr_gnss_system>,
      .str = unary<system_name_of>,
      .getset = gnss_system_members,
  });
}

PyTypeObject* satellite_class() {
  return ensure_class<Satellite>({
      .name = "skyloam_mp.Satellite",
      .doc = "Satellite(id)\n--\n\nPython-exposed Satellite",
      .construct = constructor<new_satellite>,
      .repr = unary<repr_satellite>,
      .str = unary<satellite_id>,
      .getset = satellite_members,
  });
}

}  // namespace skyloam::py
