#include "analysis/multipath/result_columns.hpp"

#include <algorithm>
#include <limits>
#include <optional>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/advanced/worker_pool.hpp"
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

// Below this many rows one thread does the whole column.
constexpr std::size_t kRowsPerChunk = 1 << 18;

struct ChunkRows {
  std::size_t begin;
  std::size_t end;
};

ChunkRows chunk_rows(std::size_t rows, std::size_t chunks, std::size_t k) {
  return {rows * k / chunks, rows * (k + 1) / chunks};
}

// The numbers one chunk of rows gave its satellites and codes.
struct EstimateNumbers {
  DistinctValues<Satellite, satellite_key> satellites;
  DistinctValues<ObsCode, code_key> signals;
};

void fill_estimate_rows(std::span<const MpEstimate> estimates, ChunkRows rows, EstimateColumns& c,
                        EstimateNumbers& numbers) {
  constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t i = rows.begin; i < rows.end; ++i) {
    const MpEstimate& e = estimates[i];
    c.time[i] = calendar_seconds(e.time);
    c.mp[i] = e.mp_value;
    c.elevation[i] = e.elevation;
    c.azimuth[i] = e.azimuth;
    c.snr[i] = e.has_snr ? e.snr_value : kAbsent;
    c.satellite[i] = numbers.satellites.number_of(e.satellite);
    c.signal[i] = numbers.signals.number_of(e.signal);
    c.arc[i] = static_cast<std::int32_t>(e.arc);
    c.time_ms[i] = calendar_millis(e.time);
  }
}

// The distinct values all chunks saw, in key order, with every chunk's part
// of `column` renumbered to index them.
template <class Numbers>
auto merged_numbers(const std::vector<EstimateNumbers>& chunks, Numbers EstimateNumbers::*field,
                    Column<std::int32_t>& column, std::size_t rows) {
  std::vector<Numbers> parts;
  parts.reserve(chunks.size());
  for (const EstimateNumbers& chunk : chunks) parts.push_back(chunk.*field);
  const auto sorted = Numbers::sorted_values(parts);
  for_each_index(parts.size(), [&](std::size_t k) {
    const ChunkRows range = chunk_rows(rows, parts.size(), k);
    parts[k].renumber(sorted, column.values().subspan(range.begin, range.end - range.begin));
  });
  return sorted;
}

}  // namespace

EstimateColumns estimate_columns(std::span<const MpEstimate> estimates) {
  const std::size_t n = estimates.size();
  EstimateColumns c{Column<double>(n),       Column<double>(n),       Column<double>(n),
                    Column<double>(n),       Column<double>(n),       Column<std::int32_t>(n),
                    Column<std::int32_t>(n), Column<std::int32_t>(n), Column<std::int64_t>(n),
                    {},                      {}};
  // Building columns moves memory and little else: chunks on every core move
  // more of it at once (and share the work of faulting in fresh pages).
  const std::size_t chunks = std::clamp<std::size_t>(n / kRowsPerChunk, 1, pool_concurrency());
  std::vector<EstimateNumbers> numbers(chunks);
  for_each_index(chunks, [&](std::size_t k) {
    const ChunkRows rows = chunk_rows(n, chunks, k);
    fill_estimate_rows(estimates, rows, c, numbers[k]);
  });
  const auto satellites = merged_numbers(numbers, &EstimateNumbers::satellites, c.satellite, n);
  const auto signals = merged_numbers(numbers, &EstimateNumbers::signals, c.signal, n);
  c.satellites = texts(satellites, satellite_text);
  c.signals = texts(signals, code_text);
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
