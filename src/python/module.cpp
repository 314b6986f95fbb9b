// The module frame: PyInit_skyloam_mp and the registration of every class,
// function and constant in their fixed order.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "geodesy/coordinates.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/errors.hpp"
#include "python/py_ref.hpp"

namespace skyloam::py {
namespace {

struct ClassEntry {
  const char* name;
  PyTypeObject* (*create)();
};

constexpr ClassEntry kClasses[] = {
    {"GnssSystem", gnss_system_class},
    {"Satellite", satellite_class},
    {"Epoch", epoch_class},
    {"Ecef", ecef_class},
    {"Geodetic", geodetic_class},
    {"RinexObsData", rinex_obs_data_class},
    {"MultipathEstimate", multipath_estimate_class},
    {"MultipathStats", multipath_stats_class},
    {"CycleSlip", cycle_slip_class},
    {"AnalysisResults", analysis_results_class},
    {"MultipathAnalyzer", multipath_analyzer_class},
    {"SnrSeries", snr_series_class},
    {"Sp3Data", sp3_data_class},
    {"NavData", nav_data_class},
};

// Classes added later come after the constants, so that earlier names keep
// their places.
constexpr ClassEntry kLaterClasses[] = {
    {"Column", column_class},
};

PyObject* version(PyObject*, PyObject*) noexcept { return to_python("1.0.1"); }

PyMethodDef version_function = {"version", version, METH_NOARGS,
                                "version()\n--\n\nGet library version"};

PyMethodDef* const kFunctions[] = {
    &read_rinex_obs_function,
    &read_rinex_obs_bytes_function,
    &read_sp3_function,
    &get_frequency_function,
    &get_wavelength_function,
    &calculate_azel_function,
    &compute_elevation_function,
    &version_function,
    &morlet_cwt_function,
    &band_power_function_def,
    &red_noise_significance_function,
    &period_bands_function,
    &detrend_arc_function,
    &split_arcs_function,
    &fresnel_zone_function,
    &fresnel_map_function,
    &scalogram_function_def,
    &analyze_snr_wavelets_function,
    &read_rinex_nav_function,
    &read_rinex_nav_bytes_function,
};

struct Constant {
  const char* name;
  double value;
};

constexpr Constant kConstants[] = {
    {"SPEED_OF_LIGHT", kSpeedOfLight},
    {"GM_WGS84", kGmWgs84},
    {"EARTH_RADIUS", kEarthRadius},
    {"GPS_L1_WAVELENGTH", kGpsL1Wavelength},
};

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT, "skyloam_mp", "Python module definition", 0,
    nullptr, nullptr, nullptr, nullptr, nullptr};

bool add(PyObject* module, const char* name, PyObject* value) {
  PyRef owned = PyRef::steal(value);
  return owned && PyModule_AddObjectRef(module, name, owned.get()) == 0;
}

template <std::size_t N>
bool add_classes(PyObject* module, const ClassEntry (&classes)[N]) {
  for (const ClassEntry& entry : classes) {
    PyTypeObject* type = entry.create();
    if (type == nullptr) return false;
    if (PyModule_AddObjectRef(module, entry.name, reinterpret_cast<PyObject*>(type)) < 0) {
      return false;
    }
  }
  return true;
}

bool register_contents(PyObject* module) {
  if (!add_classes(module, kClasses)) return false;
  PyRef module_name = PyRef::steal(PyUnicode_FromString("skyloam_mp"));
  if (!module_name) return false;
  for (PyMethodDef* function : kFunctions) {
    if (!add(module, function->ml_name, PyCFunction_NewEx(function, module, module_name.get()))) {
      return false;
    }
  }
  for (const Constant& constant : kConstants) {
    if (!add(module, constant.name, PyFloat_FromDouble(constant.value))) return false;
  }
  return add_classes(module, kLaterClasses);
}

// The first interpreter to import the module; others are refused.
std::atomic<std::int64_t> owner_interpreter{-1};
// The module, kept for repeated imports in that interpreter.
PyObject* the_module = nullptr;

PyObject* initialise() {
  const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
  if (id == -1) {
    if (PyErr_Occurred() == nullptr) {
      return raise(PyExc_SystemError, "attempted to fetch exception but none was set");
    }
    return nullptr;
  }
  std::int64_t expected = -1;
  if (!owner_interpreter.compare_exchange_strong(expected, id) && expected != id) {
    return raise(PyExc_ImportError,
                 "skyloam_mp does not support sub-interpreters: it is already loaded by "
                 "another interpreter of this process");
  }
  if (the_module != nullptr) return Py_NewRef(the_module);
  PyRef module = PyRef::steal(PyModule_Create(&module_definition));
  if (!module || !register_contents(module.get())) return nullptr;
  the_module = Py_NewRef(module.get());
  return module.release();
}

}  // namespace
}  // namespace skyloam::py

PyMODINIT_FUNC PyInit_skyloam_mp() {
  return skyloam::py::guarded<PyObject*>(nullptr, [] { return skyloam::py::initialise(); });
}
