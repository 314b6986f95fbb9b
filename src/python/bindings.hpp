// Every exposed class and module function, by the file that binds it.
// The module frame registers them in its fixed order.
#pragma once

#include "python/python.hpp"

namespace skyloam::py {

// identifiers.cpp
PyTypeObject* gnss_system_class();
PyTypeObject* satellite_class();
// epoch.cpp
PyTypeObject* epoch_class();
// geometry.cpp
PyTypeObject* ecef_class();
PyTypeObject* geodetic_class();
extern PyMethodDef calculate_azel_function;
// frequency.cpp
extern PyMethodDef get_frequency_function;
extern PyMethodDef get_wavelength_function;

// orbits.cpp
PyTypeObject* sp3_data_class();
extern PyMethodDef read_sp3_function;
extern PyMethodDef compute_elevation_function;

}  // namespace skyloam::py
