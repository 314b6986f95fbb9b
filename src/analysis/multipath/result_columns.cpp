#include "analysis/multipath/result_columns.hpp"

#include <limits>
#include <optional>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/distinct_values.hpp"

namespace skyloam {
namespace {

using OptionalCode = std::optional<ObsCode>;

std::uint64_t satellite_key(const Satellite& satellite) { return sort_key(satellite); }

// Sorts like the code's text.
std::uint64_t code_key(const ObsCode& code) {
  return (std::uint64_t{static_cast<unsigned char>(kind_letter(code.kind))} << 16) |
         (std::uint64_t{code.band} << 8) | static_cast<unsigned char>(code.attribute);
}

// No code sorts first.
std::uint64_t optional_code_key(const OptionalCode& code) { return code ? code_key(*code) : 0; }

OptionalCode first_code(const SlipRecord& record) {
  const auto codes = record.codes();
  return codes.empty() ? std::nullopt : OptionalCode(codes.front());
}

template <class Value, class Text>
std::vector<std::string> texts(const std::vector<Value>& values, Text text) {
  std::vector<std::string> out;
  out.reserve(values.size());
  for (const Value& value : values) out.push_back(text(value));
  return out;
}

std::string satellite_text(const Satellite& satellite) { return to_string(satellite); }
std::string code_text(const ObsCode& code) { return to_string(code); }
std::string optional_code_text(const OptionalCode& code) {
  return code ? to_string(*code) : std::string();
}

}  // namespace

EstimateColumns estimate_columns(std::span<const MpEstimate> estimates) {
  const std::size_t n = estimates.size();
  EstimateColumns c{Column<double>(n),       Column<double>(n),       Column<double>(n),
                    Column<double>(n),       Column<double>(n),       Column<std::int32_t>(n),
                    Column<std::int32_t>(n), Column<std::int32_t>(n), Column<std::int64_t>(n),
                    {},                      {}};
  DistinctValues<Satellite, satellite_key> satellites;
  DistinctValues<ObsCode, code_key> signals;
  constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t i = 0; i < n; ++i) {
    const MpEstimate& e = estimates[i];
    c.time[i] = calendar_seconds(e.time);
    c.mp[i] = e.mp_value;
    c.elevation[i] = e.elevation;
    c.azimuth[i] = e.azimuth;
    c.snr[i] = e.has_snr ? e.snr_value : kAbsent;
    c.satellite[i] = satellites.number_of(e.satellite);
    c.signal[i] = signals.number_of(e.signal);
    c.arc[i] = static_cast<std::int32_t>(e.arc);
    c.time_ms[i] = calendar_millis(e.time);
  }
  c.satellites = texts(satellites.finish(c.satellite.values()), satellite_text);
  c.signals = texts(signals.finish(c.signal.values()), code_text);
  return c;
}

SlipColumns slip_columns(std::span<const SlipRecord> records) {
  const std::size_t n = records.size();
  SlipColumns c{Column<double>(n),       Column<double>(n),       Column<double>(n),
                Column<std::int32_t>(n), Column<std::int32_t>(n), Column<std::int32_t>(n),
                Column<std::int64_t>(n), {},                      {},
                {}};
  DistinctValues<Satellite, satellite_key> satellites;
  DistinctValues<OptionalCode, optional_code_key> signals;
  for (std::size_t i = 0; i < n; ++i) {
    const SlipRecord& r = records[i];
    c.time[i] = calendar_seconds(r.time);
    c.magnitude[i] = r.magnitude;
    c.threshold[i] = r.threshold;
    c.satellite[i] = satellites.number_of(r.satellite);
    c.signal[i] = signals.number_of(first_code(r));
    c.method[i] = static_cast<std::int32_t>(r.method);
    c.time_ms[i] = calendar_millis(r.time);
  }
  c.satellites = texts(satellites.finish(c.satellite.values()), satellite_text);
  c.signals = texts(signals.finish(c.signal.values()), optional_code_text);
  for (SlipMethod method : {SlipMethod::Gf, SlipMethod::CodePhase, SlipMethod::Lli}) {
    c.methods.emplace_back(method_text(method));
  }
  return c;
}

}  // namespace skyloam
