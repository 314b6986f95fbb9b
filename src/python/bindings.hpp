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

// rinex_data.cpp
PyTypeObject* rinex_obs_data_class();
PyTypeObject* snr_series_class();
extern PyMethodDef read_rinex_obs_function;
extern PyMethodDef read_rinex_obs_bytes_function;
// results.cpp
PyTypeObject* multipath_estimate_class();
PyTypeObject* multipath_stats_class();
PyTypeObject* cycle_slip_class();
PyTypeObject* analysis_results_class();
// columns.cpp
PyTypeObject* column_class();
// analyzer.cpp
PyTypeObject* multipath_analyzer_class();
// orbits.cpp
PyTypeObject* sp3_data_class();
extern PyMethodDef read_sp3_function;
extern PyMethodDef compute_elevation_function;
// broadcast.cpp
PyTypeObject* nav_data_class();
extern PyMethodDef read_rinex_nav_function;
extern PyMethodDef read_rinex_nav_bytes_function;

// spectral.cpp
extern PyMethodDef morlet_cwt_function;
extern PyMethodDef band_power_function_def;
extern PyMethodDef red_noise_significance_function;
extern PyMethodDef period_bands_function;
extern PyMethodDef detrend_arc_function;
extern PyMethodDef split_arcs_function;
extern PyMethodDef scalogram_function_def;
extern PyMethodDef analyze_snr_wavelets_function;
// fresnel.cpp
extern PyMethodDef fresnel_zone_function;
extern PyMethodDef fresnel_map_function;

}  // namespace skyloam::py
