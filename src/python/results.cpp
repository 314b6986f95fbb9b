// AnalysisResults, MultipathEstimate, MultipathStats and CycleSlip.
#include <string>
#include <vector>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/elevation_fill.hpp"
#include "analysis/multipath/multipath_statistics.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/columns.hpp"
#include "python/gil.hpp"
#include "python/members.hpp"
#include "python/shared_values.hpp"
#include "utils/text/format.hpp"

namespace skyloam::py {
namespace {

std::string system_text(GnssSystem system) { return std::string(1, system_code(system)); }

// MultipathEstimate ---------------------------------------------------------

PyObject* estimate_satellite(PyObject* self) {
  return to_python(to_string(value_of<MpEstimate>(self).satellite));
}
PyObject* estimate_system(PyObject* self) {
  return to_python(system_text(value_of<MpEstimate>(self).satellite.system));
}
PyObject* estimate_epoch(PyObject* self) {
  return to_python(format_iso(calendar_from_millis(value_of<MpEstimate>(self).time_ms)));
}
PyObject* estimate_signal(PyObject* self) {
  return to_python(to_string(value_of<MpEstimate>(self).signal));
}
PyObject* estimate_snr(PyObject* self) { return to_python(value_of<MpEstimate>(self).snr()); }

template <double MpEstimate::*Angle>
int set_angle(PyObject* self, PyObject* value) {
  if (value == nullptr) {
    PyErr_SetString(PyExc_AttributeError, "can't delete attribute");
    return -1;
  }
  double angle = 0.0;
  if (!from_python(value, angle)) return -1;
  Borrow borrow;
  if (!borrow.exclusive<MpEstimate>(self)) return -1;
  value_of<MpEstimate>(self).*Angle = angle;
  return 0;
}

PyGetSetDef estimate_members[] = {
    {"satellite", getter<estimate_satellite>, nullptr, nullptr, nullptr},
    {"system", getter<estimate_system>, nullptr, nullptr, nullptr},
    {"epoch", getter<estimate_epoch>, nullptr, nullptr, nullptr},
    {"signal", getter<estimate_signal>, nullptr, nullptr, nullptr},
    {"mp_value", getter<field<MpEstimate, &MpEstimate::mp_value>>, nullptr, nullptr, nullptr},
    {"elevation", getter<field<MpEstimate, &MpEstimate::elevation>>,
     setter<set_angle<&MpEstimate::elevation>>, nullptr, nullptr},
    {"azimuth", getter<field<MpEstimate, &MpEstimate::azimuth>>,
     setter<set_angle<&MpEstimate::azimuth>>, nullptr, nullptr},
    {"snr", getter<estimate_snr>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// MultipathStats ------------------------------------------------------------

PyObject* stats_system(PyObject* self) {
  return to_python(system_text(value_of<MultipathStats>(self).system));
}
PyObject* stats_code(PyObject* self) { return to_python(to_string(value_of<MultipathStats>(self).code)); }
PyObject* stats_count(PyObject* self) {
  return to_python(std::uint64_t{value_of<MultipathStats>(self).count});
}

PyObject* repr_stats(PyObject* self) {
  const MultipathStats& s = value_of<MultipathStats>(self);
  return to_python("MultipathStats(signal='" + s.label + "', rms=" + format_fixed(s.rms, 4) +
                   ", count=" + std::to_string(s.count) + ")");
}

PyGetSetDef stats_members[] = {
    {"signal", getter<field<MultipathStats, &MultipathStats::label>>, nullptr, nullptr, nullptr},
    {"system", getter<stats_system>, nullptr, nullptr, nullptr},
    {"code", getter<stats_code>, nullptr, nullptr, nullptr},
    {"count", getter<stats_count>, nullptr, nullptr, nullptr},
    {"rms", getter<field<MultipathStats, &MultipathStats::rms>>, nullptr, nullptr, nullptr},
    {"mean", getter<field<MultipathStats, &MultipathStats::mean>>, nullptr, nullptr, nullptr},
    {"std_dev", getter<field<MultipathStats, &MultipathStats::std_dev>>, nullptr, nullptr, nullptr},
    {"min", getter<field<MultipathStats, &MultipathStats::min>>, nullptr, nullptr, nullptr},
    {"max", getter<field<MultipathStats, &MultipathStats::max>>, nullptr, nullptr, nullptr},
    {"weighted_rms", getter<field<MultipathStats, &MultipathStats::weighted_rms>>, nullptr,
     nullptr, nullptr},
    {"cycle_slips", getter<field<MultipathStats, &MultipathStats::cycle_slips>>, nullptr, nullptr,
     nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// CycleSlip -----------------------------------------------------------------

PyObject* slip_satellite(PyObject* self) {
  return to_python(to_string(value_of<SlipRecord>(self).satellite));
}
PyObject* slip_epoch(PyObject* self) { return to_python(format_iso(value_of<SlipRecord>(self).time)); }
PyObject* slip_method(PyObject* self) { return to_python(method_text(value_of<SlipRecord>(self).method)); }
PyObject* slip_signal(PyObject* self) {
  const auto codes = value_of<SlipRecord>(self).codes();
  return to_python(codes.empty() ? std::string() : to_string(codes.front()));
}
PyObject* slip_system(PyObject* self) {
  return to_python(system_text(value_of<SlipRecord>(self).satellite.system));
}

PyGetSetDef slip_members[] = {
    {"satellite", getter<slip_satellite>, nullptr, nullptr, nullptr},
    {"epoch", getter<slip_epoch>, nullptr, nullptr, nullptr},
    {"method", getter<slip_method>, nullptr, nullptr, nullptr},
    {"signal", getter<slip_signal>, nullptr, nullptr, nullptr},
    {"system", getter<slip_system>, nullptr, nullptr, nullptr},
    {"magnitude", getter<field<SlipRecord, &SlipRecord::magnitude>>, nullptr, nullptr, nullptr},
    {"threshold", getter<field<SlipRecord, &SlipRecord::threshold>>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// AnalysisResults -----------------------------------------------------------

// Runs `read` on the results under shared access.
template <class Read>
PyObject* read_results(PyObject* self, Read&& read) {
  Borrow borrow;
  if (!borrow.shared<AnalysisResultsValue>(self)) return nullptr;
  return read(value_of<AnalysisResultsValue>(self));
}

template <class T>
PyObject* boxed_copies(const std::vector<T>& values, PyTypeObject* type) {
  return make_list(values.size(), [&](std::size_t i) { return box(values[i], type); });
}

PyObject* estimates(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    PyTypeObject* type = multipath_estimate_class();
    return make_list(r.estimates.size(),
                     [&](std::size_t i) { return box(r.estimates.row(i), type); });
  });
}

PyObject* statistics(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return boxed_copies(r.statistics, multipath_stats_class());
  });
}

PyObject* cycle_slips(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return boxed_copies(r.cycle_slips, cycle_slip_class());
  });
}

PyObject* cycle_slip_counts(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) -> PyObject* {
    PyRef dict = PyRef::steal(PyDict_New());
    if (!dict) return api_failure();
    for (const LabelSlipCount& entry : r.slip_counts) {
      PyRef key = PyRef::steal(to_python(entry.label));
      if (!key || !set_item(dict.get(), key.get(), to_python(entry.count))) return nullptr;
    }
    return dict.release();
  });
}

PyObject* total_estimates(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return to_python(std::uint64_t{r.estimates.size()});
  });
}

PyObject* total_cycle_slips(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return to_python(std::uint64_t{r.cycle_slips.size()});
  });
}

// Views of the estimates' own columns: only the Python objects are made.
PyObject* columns(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return estimate_column_dict(r.estimates);
  });
}

// Like every other read, the slip columns are built under the interpreter
// lock, so that compute_elevations never meets a reader it has to refuse.
PyObject* slip_columns(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return slip_column_dict(skyloam::slip_columns(r.cycle_slips));
  });
}

// The analysis's statistics again, over the estimates whose orbits gave a real
// elevation at or above the cutoff: (statistics, below_cutoff, without_elevation).
PyObject* statistics_at_or_above(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                 PyObject* kwnames) {
  static const Signature signature{"statistics_at_or_above", {"cutoff"}, 1};
  Arguments a;
  double cutoff = 0.0;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, cutoff)) return nullptr;
  return read_results(self, [&](const AnalysisResultsValue& r) -> PyObject* {
    const CutoffStatistics cut = skyloam::statistics_at_or_above(r.estimates, r.statistics, cutoff);
    PyRef statistics = PyRef::steal(boxed_copies(cut.statistics, multipath_stats_class()));
    if (!statistics) return nullptr;
    return Py_BuildValue("(OKK)", statistics.get(),
                         static_cast<unsigned long long>(cut.below_cutoff),
                         static_cast<unsigned long long>(cut.without_elevation));
  });
}

PyObject* repr_results(PyObject* self) {
  return read_results(self, [](const AnalysisResultsValue& r) {
    return to_python("AnalysisResults(estimates=" + std::to_string(r.estimates.size()) +
                     ", signals=" + std::to_string(r.statistics.size()) +
                     ", cycle_slips=" + std::to_string(r.cycle_slips.size()) + ")");
  });
}

PyObject* compute_elevations(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                             PyObject* kwnames) {
  static const Signature signature{"compute_elevations", {"sp3", "receiver"}, 2};
  Arguments a;
  SharedOrbits orbits;  // Sp3Data or NavData
  const Ecef* receiver = nullptr;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, orbits) || !a.get(1, receiver)) {
    return nullptr;
  }
  Borrow borrow;
  if (!borrow.exclusive<AnalysisResultsValue>(self)) return nullptr;
  AnalysisResultsValue& results = value_of<AnalysisResultsValue>(self);
  const Ecef at = *receiver;
  const ElevationCounts counts =
      without_gil([&] { return fill_elevations(results, *orbits, at); });
  return to_python(std::pair{counts.computed, counts.failed});
}

PyGetSetDef results_members[] = {
    {"estimates", getter<estimates>, nullptr, nullptr, nullptr},
    {"statistics", getter<statistics>, nullptr, nullptr, nullptr},
    {"cycle_slips", getter<cycle_slips>, nullptr, nullptr, nullptr},
    {"cycle_slip_counts", getter<cycle_slip_counts>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef results_methods[] = {
    {"total_estimates", noargs<total_estimates>, METH_NOARGS, "total_estimates($self)\n--\n\n"},
    {"total_cycle_slips", noargs<total_cycle_slips>, METH_NOARGS,
     "total_cycle_slips($self)\n--\n\n"},
    {"compute_elevations", as_cfunction(fastcall<compute_elevations>),
     METH_FASTCALL | METH_KEYWORDS,
     "compute_elevations($self, sp3, receiver)\n--\n\n"
     "Compute elevations and azimuths for all estimates using SP3 data\n"
     "Returns (computed_count, failed_count)"},
    {"columns", noargs<columns>, METH_NOARGS,
     "columns($self)\n--\n\n"
     "Every estimate as columns, in the order of estimates: read-only arrays\n"
     "(buffer protocol) time (Unix seconds), mp, elevation, azimuth, snr (NaN\n"
     "where absent), satellite and signal (int32 indices into the lists\n"
     "satellites and signals), arc (int32, per satellite signal) and time_ms\n"
     "(int64 Unix milliseconds); views of the results' own storage, not copies"},
    {"statistics_at_or_above", as_cfunction(fastcall<statistics_at_or_above>),
     METH_FASTCALL | METH_KEYWORDS,
     "statistics_at_or_above($self, cutoff)\n--\n\n"
     "The per-signal statistics over the estimates whose orbits gave a real\n"
     "elevation at or above cutoff (degrees), after compute_elevations.\n"
     "Returns (statistics, below_cutoff, without_elevation): signals left\n"
     "without estimates are dropped; estimates still at the placeholder\n"
     "angles (45, 0) count as without elevation"},
    {"slip_columns", noargs<slip_columns>, METH_NOARGS,
     "slip_columns($self)\n--\n\n"
     "Every cycle slip as columns, in the order of cycle_slips: time, magnitude,\n"
     "threshold, satellite, signal and method (int32 indices into the lists\n"
     "satellites, signals and methods) and time_ms"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* multipath_estimate_class() {
  return ensure_class<MpEstimate>({
      .name = "skyloam_mp.MultipathEstimate",
      .doc = "Python-exposed Multipath estimate",
      .getset = estimate_members,
  });
}

PyTypeObject* multipath_stats_class() {
  return ensure_class<MultipathStats>({
      .name = "skyloam_mp.MultipathStats",
      .doc = "Python-exposed Multipath statistics",
      .repr = unary<repr_stats>,
      .getset = stats_members,
  });
}

PyTypeObject* cycle_slip_class() {
  return ensure_class<SlipRecord>({
      .name = "skyloam_mp.CycleSlip",
      .doc = "Python-exposed Cycle slip",
      .getset = slip_members,
  });
}

PyTypeObject* analysis_results_class() {
  return ensure_class<AnalysisResultsValue>({
      .name = "skyloam_mp.AnalysisResults",
      .doc = "Python-exposed Analysis results",
      .repr = unary<repr_results>,
      .getset = results_members,
      .methods = results_methods,
  });
}

}  // namespace skyloam::py
