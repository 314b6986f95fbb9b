// RinexObsData, SnrSeries, read_rinex_obs and read_rinex_obs_bytes.
#include <span>
#include <string>

#include "geodesy/coordinates.hpp"
#include "python/args.hpp"
#include "python/bindings.hpp"
#include "python/classes.hpp"
#include "python/gil.hpp"
#include "python/members.hpp"
#include "python/shared_values.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "rinex/obs_reader/obs_queries.hpp"
#include "rinex/obs_reader/snr_series.hpp"

namespace skyloam::py {
namespace {

const ObsData& data_of(PyObject* self) { return *value_of<SharedObsData>(self); }

PyObject* wrap(Result<ObsData> read, const char* prefix) {
  if (!read) return raise_error(PyExc_OSError, prefix, read.error());
  return box(std::make_shared<const ObsData>(std::move(*read)), rinex_obs_data_class());
}

PyObject* read_file(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"read_rinex_obs", {"path"}, 1};
  Arguments a;
  std::string path;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, path)) return nullptr;
  return wrap(without_gil([&] { return read_obs_file(path); }), "Failed to read RINEX: ");
}

PyObject* read_bytes(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"read_rinex_obs_bytes", {"data", "filename"}, 2};
  Arguments a;
  std::span<const char> bytes;  // the immutable bytes object's own buffer
  std::string filename;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, bytes) || !a.get(1, filename)) {
    return nullptr;
  }
  return wrap(without_gil([&] { return read_obs_bytes(bytes, filename); }),
              "Failed to parse RINEX: ");
}

// Properties -----------------------------------------------------------------

PyObject* version(PyObject* self) { return to_python(to_string(data_of(self).header().version)); }
PyObject* marker_name(PyObject* self) { return to_python(data_of(self).header().marker_name); }
PyObject* receiver_type(PyObject* self) { return to_python(data_of(self).header().receiver_type); }
PyObject* antenna_type(PyObject* self) { return to_python(data_of(self).header().antenna_type); }

PyObject* approx_position(PyObject* self) {
  const auto& position = data_of(self).header().approx_position;
  if (!position) return none();
  return box(Ecef{(*position)[0], (*position)[1], (*position)[2]}, ecef_class());
}

PyObject* interval(PyObject* self) { return to_python(effective_interval(data_of(self))); }
PyObject* num_epochs(PyObject* self) {
  return to_python(std::uint64_t{data_of(self).epochs().size()});
}
PyObject* num_satellites(PyObject* self) {
  return to_python(std::uint64_t{unique_satellites(data_of(self)).size()});
}

PyObject* repr_data(PyObject* self) {
  const ObsData& data = data_of(self);
  return to_python("RinexObsData(version=" + to_string(data.header().version) + ", marker='" +
                   data.header().marker_name + "', epochs=" +
                   std::to_string(data.epochs().size()) +
                   ", sats=" + std::to_string(unique_satellites(data).size()) + ")");
}

// Methods --------------------------------------------------------------------

PyObject* satellites(PyObject* self) {
  const auto list = unique_satellites(data_of(self));
  return make_list(list.size(), [&](std::size_t i) { return box(list[i], satellite_class()); });
}

PyObject* epochs(PyObject* self) {
  const auto& list = data_of(self).epochs();
  return make_list(list.size(), [&](std::size_t i) { return box(list[i].time, epoch_class()); });
}

PyObject* first_epoch(PyObject* self) {
  const auto& list = data_of(self).epochs();
  return list.empty() ? none() : box(list.front().time, epoch_class());
}

PyObject* last_epoch(PyObject* self) {
  const auto& list = data_of(self).epochs();
  return list.empty() ? none() : box(list.back().time, epoch_class());
}

PyObject* types(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"observation_types", {"system"}, 1};
  Arguments a;
  std::string system;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, system)) return nullptr;
  return to_python(observation_types(data_of(self), system_of_text(system)));
}

PyObject* glonass_fcn(PyObject* self) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  for (const auto& [slot, channel] : data_of(self).header().glonass_slots) {
    PyRef key = PyRef::steal(to_python(slot));
    if (!key || !set_item(dict.get(), key.get(), to_python(channel))) return nullptr;
  }
  return dict.release();
}

PyObject* by_system(PyObject* self) {
  PyRef dict = PyRef::steal(PyDict_New());
  if (!dict) return api_failure();
  for (const SystemCount& count : satellites_by_system(data_of(self))) {
    const std::string code(1, system_code(count.system));
    if (!set_item(dict.get(), code.c_str(), to_python(std::uint64_t{count.satellites}))) {
      return nullptr;
    }
  }
  return dict.release();
}

PyObject* codes(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"snr_codes", {"satellite"}, 1};
  Arguments a;
  std::string text;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, text)) return nullptr;
  const auto satellite = satellite_argument(text);
  if (!satellite) return raise_value_error(satellite.error().display());
  return to_python(snr_codes(data_of(self), *satellite));
}

// A series as Python sees it: the satellite text as the caller wrote it.
struct SnrSeriesValue {
  std::string satellite;
  GnssSystem system;
  SnrSeries series;
};

PyObject* series(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const Signature signature{"get_snr_series", {"satellite", "code"}, 1};
  Arguments a;
  std::string satellite;
  std::optional<std::string> code;
  if (!a.bind(signature, args, nargs, kwnames) || !a.get(0, satellite) || !a.get(1, code)) {
    return nullptr;
  }
  auto found = snr_series_for(data_of(self), satellite,
                              code ? std::optional<std::string_view>(*code) : std::nullopt);
  if (!found) return raise_value_error(found.error().display());
  const GnssSystem system = satellite_argument(satellite)->system;
  return make_list(found->size(), [&](std::size_t i) {
    return box(SnrSeriesValue{satellite, system, std::move((*found)[i])}, snr_series_class());
  });
}

PyGetSetDef data_members[] = {
    {"version", getter<version>, nullptr, nullptr, nullptr},
    {"marker_name", getter<marker_name>, nullptr, nullptr, nullptr},
    {"receiver_type", getter<receiver_type>, nullptr, nullptr, nullptr},
    {"antenna_type", getter<antenna_type>, nullptr, nullptr, nullptr},
    {"approx_position", getter<approx_position>, nullptr, nullptr, nullptr},
    {"interval", getter<interval>, nullptr, nullptr, nullptr},
    {"num_epochs", getter<num_epochs>, nullptr, nullptr, nullptr},
    {"num_satellites", getter<num_satellites>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef data_methods[] = {
    {"satellites", noargs<satellites>, METH_NOARGS, "satellites($self)\n--\n\n"},
    {"epochs", noargs<epochs>, METH_NOARGS, "epochs($self)\n--\n\n"},
    {"first_epoch", noargs<first_epoch>, METH_NOARGS, "first_epoch($self)\n--\n\n"},
    {"last_epoch", noargs<last_epoch>, METH_NOARGS, "last_epoch($self)\n--\n\n"},
    {"observation_types", as_cfunction(fastcall<types>), METH_FASTCALL | METH_KEYWORDS,
     "observation_types($self, system)\n--\n\n"},
    {"glonass_fcn", noargs<glonass_fcn>, METH_NOARGS, "glonass_fcn($self)\n--\n\n"},
    {"satellites_by_system", noargs<by_system>, METH_NOARGS,
     "satellites_by_system($self)\n--\n\n"},
    {"snr_codes", as_cfunction(fastcall<codes>), METH_FASTCALL | METH_KEYWORDS,
     "snr_codes($self, satellite)\n--\n\nS-codes with data for a satellite (e.g. [\"S1C\", "
     "\"S2W\"])"},
    {"get_snr_series", as_cfunction(fastcall<series>), METH_FASTCALL | METH_KEYWORDS,
     "get_snr_series($self, satellite, code=None)\n--\n\n"
     "SNR time series for one satellite: one SnrSeries per S-code, or only\n"
     "the requested code. Times are unix seconds in the file's time scale."},
    {nullptr, nullptr, 0, nullptr},
};

// SnrSeries ------------------------------------------------------------------

const SnrSeriesValue& series_of(PyObject* self) { return value_of<SnrSeriesValue>(self); }

PyObject* series_satellite(PyObject* self) { return to_python(series_of(self).satellite); }
PyObject* series_system(PyObject* self) {
  return to_python(std::string(1, system_code(series_of(self).system)));
}
PyObject* series_code(PyObject* self) { return to_python(to_string(series_of(self).series.code)); }
PyObject* series_times(PyObject* self) { return to_python(series_of(self).series.times); }
PyObject* series_values(PyObject* self) { return to_python(series_of(self).series.values); }

Py_ssize_t series_length(PyObject* self) noexcept {
  return static_cast<Py_ssize_t>(series_of(self).series.values.size());
}

PyObject* epochs_iso(PyObject* self) {
  const auto& times = series_of(self).series.times;
  return make_list(times.size(), [&](std::size_t i) {
    return to_python(iso_from_unix_seconds(times[i]).value_or(std::string()));
  });
}

PyObject* repr_series(PyObject* self) {
  const SnrSeriesValue& s = series_of(self);
  return to_python("SnrSeries(satellite='" + s.satellite + "', code='" + to_string(s.series.code) +
                   "', points=" + std::to_string(s.series.values.size()) + ")");
}

PyGetSetDef series_members[] = {
    {"satellite", getter<series_satellite>, nullptr, nullptr, nullptr},
    {"system", getter<series_system>, nullptr, nullptr, nullptr},
    {"code", getter<series_code>, nullptr, nullptr, nullptr},
    {"times", getter<series_times>, nullptr, "Unix seconds (file time scale)", nullptr},
    {"values", getter<series_values>, nullptr, "SNR values (dB-Hz)", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef series_methods[] = {
    {"epochs_iso", noargs<epochs_iso>, METH_NOARGS,
     "epochs_iso($self)\n--\n\nEpochs as ISO 8601 strings (computed on demand)"},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

PyTypeObject* rinex_obs_data_class() {
  return ensure_class<SharedObsData>({
      .name = "skyloam_mp.RinexObsData",
      .doc = "Python-exposed RINEX observation data",
      .repr = unary<repr_data>,
      .getset = data_members,
      .methods = data_methods,
  });
}

PyTypeObject* snr_series_class() {
  return ensure_class<SnrSeriesValue>({
      .name = "skyloam_mp.SnrSeries",
      .doc = "SNR time series for one satellite and one S-code",
      .repr = unary<repr_series>,
      .getset = series_members,
      .methods = series_methods,
      .length = series_length,
  });
}

PyMethodDef read_rinex_obs_function = {
    "read_rinex_obs", as_cfunction(fastcall<read_file>), METH_FASTCALL | METH_KEYWORDS,
    "read_rinex_obs(path)\n--\n\nRead RINEX observation file"};

PyMethodDef read_rinex_obs_bytes_function = {
    "read_rinex_obs_bytes", as_cfunction(fastcall<read_bytes>), METH_FASTCALL | METH_KEYWORDS,
    "read_rinex_obs_bytes(data, filename)\n--\n\nRead RINEX observation from bytes"};

}  // namespace skyloam::py
