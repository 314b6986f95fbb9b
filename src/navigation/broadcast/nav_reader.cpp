#include "navigation/broadcast/nav_reader.hpp"

#include <memory>
#include <vector>

#include "navigation/broadcast/record_ephemeris.hpp"
#include "navigation/broadcast/record_fields.hpp"
#include "navigation/broadcast/record_splitter.hpp"
#include "rinex/obs_reader/line_splitter.hpp"
#include "rinex/obs_reader/memory_source.hpp"
#include "rinex/obs_reader/obs_input.hpp"

namespace skyloam {
namespace {

Result<NavData> read_nav_layers(std::unique_ptr<ByteSource> raw, std::string_view name,
                                ReopenBytes reopen) {
  LineSplitter lines(decompress_by_name(std::move(raw), name, std::move(reopen)));
  return read_nav(lines);
}

}  // namespace

Result<NavData> read_nav(LineSource& lines) {
  Result<NavHeader> header = read_nav_header(lines);
  if (!header) return fail(std::move(header.error()));
  const LeapSeconds leap_seconds(header->gps_minus_utc);
  RecordSplitter records(lines, header->generation);
  std::vector<SatelliteEphemeris> ephemerides;
  for (;;) {
    Result<const RecordText*> text = records.next();
    if (!text) return fail(std::move(text.error()));
    if (*text == nullptr) break;
    const auto fields = read_record_fields(**text, *header);
    if (!fields) continue;
    auto ephemeris = record_ephemeris(*fields, leap_seconds);
    if (ephemeris) ephemerides.push_back({fields->satellite, std::move(*ephemeris)});
  }
  return NavData(*header, std::move(ephemerides));
}

Result<NavData> read_nav_file(const std::string& path) {
  auto file = open_file_bytes(path);
  if (!file) return fail(std::move(file.error()));
  return read_nav_layers(std::move(*file), path, [path] { return open_file_bytes(path); });
}

Result<NavData> read_nav_bytes(std::span<const char> data, std::string_view filename) {
  return read_nav_layers(std::make_unique<MemoryByteSource>(data), filename,
                         [data]() -> Result<std::unique_ptr<ByteSource>> {
                           return std::make_unique<MemoryByteSource>(data);
                         });
}

}  // namespace skyloam
