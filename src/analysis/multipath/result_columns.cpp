#include "analysis/multipath/result_columns.hpp"

#include <optional>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/distinct_values.hpp"

namespace skyloam {
namespace {

using OptionalCode = std::optional<ObsCode>;

// No code sorts first.
std::uint64_t optional_code_key(const OptionalCode& code) { return code ? text_key(*code) : 0; }

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
std::string optional_code_text(const OptionalCode& code) {
  return code ? to_string(*code) : std::string();
}

}  // namespace

SlipColumns slip_columns(std::span<const SlipRecord> records) {
  const std::size_t n = records.size();
  SlipColumns c{Column<double>(n),       Column<double>(n),       Column<double>(n),
                Column<std::int32_t>(n), Column<std::int32_t>(n), Column<std::int32_t>(n),
                Column<std::int64_t>(n), {},                      {},
                {}};
  const std::span<double> time = c.time.writable();
  const std::span<double> magnitude = c.magnitude.writable();
  const std::span<double> threshold = c.threshold.writable();
  const std::span<std::int32_t> satellite = c.satellite.writable();
  const std::span<std::int32_t> signal = c.signal.writable();
  const std::span<std::int32_t> method = c.method.writable();
  const std::span<std::int64_t> time_ms = c.time_ms.writable();
  DistinctValues<Satellite, sort_key> satellites;
  DistinctValues<OptionalCode, optional_code_key> signals;
  for (std::size_t i = 0; i < n; ++i) {
    const SlipRecord& r = records[i];
    time[i] = calendar_seconds(r.time);
    magnitude[i] = r.magnitude;
    threshold[i] = r.threshold;
    satellite[i] = satellites.number_of(r.satellite);
    signal[i] = signals.number_of(first_code(r));
    method[i] = static_cast<std::int32_t>(r.method);
    time_ms[i] = calendar_millis(r.time);
  }
  c.satellites = texts(satellites.finish(satellite), satellite_text);
  c.signals = texts(signals.finish(signal), optional_code_text);
  for (SlipMethod m : {SlipMethod::Gf, SlipMethod::CodePhase, SlipMethod::Lli}) {
    c.methods.emplace_back(method_text(m));
  }
  return c;
}

}  // namespace skyloam
