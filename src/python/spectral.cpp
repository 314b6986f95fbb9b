// The SNR spectral functions: split_arcs, detrend_arc, morlet_cwt,
// red_noise_significance, band_power, period_bands, scalogram and
// analyze_snr_wavelets.
#include <string>
#include <utility>
#include <vector>

#include "analysis/advanced/arcs.hpp"
#include "analysis/advanced/band_power.hpp"
#include "analysis/advanced/detrend.hpp"
#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/scalogram.hpp"
#include "analysis/advanced/significance.hpp"
#include "analysis/advanced/snr_wavelet_analysis.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/gil.hpp"
#include "python/shared_values.hpp"

namespace skyloam::py {
namespace {

using Pair = std::pair<double, double>;

std::vector<PeriodBand> to_bands(const std::vector<Pair>& pairs) {
  std::vector<PeriodBand> bands;
  bands.reserve(pairs.size());
  for (const auto& [lo, hi] : pairs) bands.push_back({lo, hi});
  return bands;
}

PyObject* rows_of(const RowMatrix& matrix) {
  return make_list(matrix.rows(), [&](std::size_t r) {
    const auto row = matrix.row(r);
    return to_python(std::vector<double>(row.begin(), row.end()));
  });
}

// A new dict from (key, new reference) pairs, in order; nullptr on failure.
PyObject* make_dict(std::initializer_list<std::pair<const char*, PyObject*>> items) {
  PyRef dict = PyRef::steal(PyDict_New());
  bool ok = static_cast<bool>(dict);
  for (const auto& [key, value] : items) {
    if (ok) {
      ok = set_item(dict.get(), key, value);
    } else {
      Py_XDECREF(value);
    }
  }
  if (!dict) return api_failure();
  return ok ? dict.release() : nullptr;
}

PyObject* raise_failure(const GnssError& error) { return raise_value_error(error.display()); }

PyObject* split(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"split_arcs", {"times", "dt", "gap_factor"}, 2};
  Arguments a;
  std::vector<double> times;
  double dt = 0.0;
  double gap_factor = 5.0;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, times) || !a.get(1, dt) ||
      !a.get(2, gap_factor)) {
    return nullptr;
  }
  const auto arcs = split_arcs(times, dt, gap_factor);
  return make_list(arcs.size(), [&](std::size_t i) {
    return to_python(std::pair<std::uint64_t, std::uint64_t>{arcs[i].start, arcs[i].stop});
  });
}

PyObject* detrend_function(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"detrend_arc", {"t", "values", "max_order"}, 2};
  Arguments a;
  std::vector<double> t, values;
  std::uint64_t max_order = 9;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, t) || !a.get(1, values) ||
      !a.get(2, max_order)) {
    return nullptr;
  }
  const auto result = detrend_arc(t, values, max_order);
  if (!result) return raise_failure(result.error());
  return to_python(std::pair{result->residual, result->order});
}

PyObject* cwt_function(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"morlet_cwt", {"y", "dt", "dj", "s0"}, 2};
  Arguments a;
  std::vector<double> y;
  double dt = 0.0;
  double dj = 0.125;
  std::optional<double> s0;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, y) || !a.get(1, dt) ||
      !a.get(2, dj) || !a.get(3, s0)) {
    return nullptr;
  }
  const auto result = without_gil([&] { return cwt_power(y, dt, dj, s0); });
  if (!result) return raise_failure(result.error());
  return make_dict({{"power", rows_of(result->power)},
                    {"scales", to_python(result->scales)},
                    {"periods", to_python(result->periods)},
                    {"coi", to_python(result->coi)}});
}

PyObject* significance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{
      "red_noise_significance", {"y", "dt", "periods", "confidence"}, 3};
  Arguments a;
  std::vector<double> y, periods;
  double dt = 0.0;
  double confidence = 0.95;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, y) || !a.get(1, dt) ||
      !a.get(2, periods) || !a.get(3, confidence)) {
    return nullptr;
  }
  return to_python(red_noise_level(y, dt, periods, confidence));
}

PyObject* band_power_function(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                              PyObject* kwnames) {
  static const Signature signature{"band_power", {"y", "dt", "bands", "dj"}, 3};
  Arguments a;
  std::vector<double> y;
  double dt = 0.0;
  std::vector<Pair> bands;
  double dj = 0.125;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, y) || !a.get(1, dt) ||
      !a.get(2, bands) || !a.get(3, dj)) {
    return nullptr;
  }
  const auto periods = to_bands(bands);
  const auto result = without_gil([&] { return band_power(y, dt, periods, dj); });
  if (!result) return raise_failure(result.error());
  return rows_of(*result);
}

PyObject* bands_function(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"period_bands", {"dt"}, 1};
  Arguments a;
  double dt = 0.0;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, dt)) return nullptr;
  const auto bands = period_bands_for(dt);
  return make_list(bands.size(), [&](std::size_t i) {
    return to_python(std::pair{bands[i].lo, bands[i].hi});
  });
}

PyObject* scalogram_function(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                             PyObject* kwnames) {
  static const Signature signature{"scalogram", {"t", "values", "interval", "max_columns"}, 3};
  Arguments a;
  std::vector<double> t, values;
  double interval = 0.0;
  std::uint64_t max_columns = 600;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, t) || !a.get(1, values) ||
      !a.get(2, interval) || !a.get(3, max_columns)) {
    return nullptr;
  }
  const auto result = without_gil([&] { return scalogram(t, values, interval, max_columns); });
  if (!result) return raise_failure(result.error());
  return make_dict({{"t", to_python(result->t)},
                    {"periods", to_python(result->periods)},
                    {"power", rows_of(result->power)},
                    {"significance", to_python(result->significance)},
                    {"coi", to_python(result->coi)},
                    {"interval", to_python(result->interval)}});
}

// A dict keyed by satellite text of make(result) for the satellites that `wanted` picks.
template <class Wanted, class Make>
PyObject* by_satellite(const SnrWaveletAnalysis& analysis, Wanted&& wanted, Make&& make) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  for (const SatelliteSnrResult& s : analysis.satellites) {
    if (wanted(s) && !set_item(dict.get(), to_string(s.satellite).c_str(), make(s))) return nullptr;
  }
  return dict.release();
}

PyObject* residuals_of(const SnrWaveletAnalysis& analysis) {
  return by_satellite(
      analysis, [](const SatelliteSnrResult&) { return true; },
      [](const SatelliteSnrResult& s) {
        return make_dict({{"code", to_python(to_string(s.code))},
                          {"t0", to_python(s.series.t0)},
                          {"t", to_python(s.series.t)},
                          {"v", to_python(s.series.v)},
                          {"orders", to_python(s.series.orders)}});
      });
}

PyObject* band_power_of(const SnrWaveletAnalysis& analysis) {
  return by_satellite(
      analysis, [](const SatelliteSnrResult& s) { return s.has_band_power(); },
      [](const SatelliteSnrResult& s) {
        return make_dict({{"t", to_python(s.series.bp_t)}, {"power", rows_of(s.series.bp_power)}});
      });
}

PyObject* snr_wavelets(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{
      "analyze_snr_wavelets", {"obs", "satellites", "interval", "bands"}, 1};
  Arguments a;
  const SharedObsData* obs = nullptr;
  SnrWaveletRequest request;
  std::optional<std::vector<Pair>> bands;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, obs) ||
      !a.get(1, request.satellites) || !a.get(2, request.interval) || !a.get(3, bands)) {
    return nullptr;
  }
  if (bands) request.bands = to_bands(*bands);
  const SharedObsData data = *obs;
  const auto result = without_gil([&] { return analyze_snr_wavelets(*data, request); });
  if (!result) return raise_failure(result.error());
  const auto& chosen = result->bands;
  return make_dict({{"bands", make_list(chosen.size(),
                                        [&](std::size_t i) {
                                          return to_python(std::vector<double>{chosen[i].lo,
                                                                               chosen[i].hi});
                                        })},
                    {"interval", to_python(result->interval)},
                    {"residuals", residuals_of(*result)},
                    {"band_power", band_power_of(*result)}});
}

constexpr int kFastcall = METH_FASTCALL | METH_KEYWORDS;

}  // namespace

PyMethodDef morlet_cwt_function = {
    "morlet_cwt", as_cfunction(fastcall<cwt_function>), kFastcall,
    "morlet_cwt(y, dt, dj=0.125, s0=None)\n--\n\n"
    "Morlet continuous wavelet transform (Torrence & Compo 1998).\n"
    "Returns {\"power\", \"scales\", \"periods\", \"coi\"}; `power` has one row per scale."};

PyMethodDef band_power_function_def = {
    "band_power", as_cfunction(fastcall<band_power_function>), kFastcall,
    "band_power(y, dt, bands, dj=0.125)\n--\n\n"
    "Scale-averaged wavelet power of `y` for each `(lo, hi)` period band (s)."};

PyMethodDef red_noise_significance_function = {
    "red_noise_significance", as_cfunction(fastcall<significance>), kFastcall,
    "red_noise_significance(y, dt, periods, confidence=0.95)\n--\n\n"
    "Red-noise significance level per period (T&C eq. 16-18)."};

PyMethodDef period_bands_function = {
    "period_bands", as_cfunction(fastcall<bands_function>), kFastcall,
    "period_bands(dt)\n--\n\nInterval-adaptive period bands (s) for SNR band power."};

PyMethodDef detrend_arc_function = {
    "detrend_arc", as_cfunction(fastcall<detrend_function>), kFastcall,
    "detrend_arc(t, values, max_order=9)\n--\n\n"
    "Remove the best polynomial trend (order 2..max_order). Returns (residual, order)."};

PyMethodDef split_arcs_function = {
    "split_arcs", as_cfunction(fastcall<split>), kFastcall,
    "split_arcs(times, dt, gap_factor=5.0)\n--\n\n"
    "Split increasing times into contiguous arcs at gaps > gap_factor\u00b7dt.\n"
    "Returns (start, stop) index pairs."};

PyMethodDef scalogram_function_def = {
    "scalogram", as_cfunction(fastcall<scalogram_function>), kFastcall,
    "scalogram(t, values, interval, max_columns=600)\n--\n\n"
    "Wavelet scalogram of the longest arc: {\"t\", \"periods\", \"power\",\n"
    "\"significance\", \"coi\", \"interval\"}. Needs at least 40 samples."};

PyMethodDef analyze_snr_wavelets_function = {
    "analyze_snr_wavelets", as_cfunction(fastcall<snr_wavelets>), kFastcall,
    "analyze_snr_wavelets(obs, satellites=None, interval=None, bands=None)\n--\n\n"
    "\u03b4SNR residuals and band power per satellite, computed in parallel.\n"
    "Returns {\"bands\", \"interval\", \"residuals\": {sat: {code, t0, t, v, orders}},\n"
    "\"band_power\": {sat: {t, power}}}."};

}  // namespace skyloam::py
