#include "navigation/sp3/sp3_reader.hpp"

#include <optional>
#include <unordered_map>
#include <vector>

#include "navigation/sp3/sp3_lines.hpp"
#include "rinex/obs_reader/file_source.hpp"
#include "rinex/obs_reader/line_splitter.hpp"

namespace skyloam {
namespace {

// Gathers what the lines say, in file order.
class Sp3Collector {
 public:
  void add(std::string_view line) {
    switch (classify_sp3_line(line)) {
      case Sp3LineKind::Header: num_epochs_ = declared_epoch_count(line); break;
      case Sp3LineKind::TimeHeader: interval_ = declared_interval(line); break;
      case Sp3LineKind::Epoch:
        if (auto epoch = parse_epoch_line(line)) current_epoch_ = *epoch;
        break;
      case Sp3LineKind::Position: add_position(line); break;
      case Sp3LineKind::Other: break;
    }
  }

  Sp3Data finish() && { return Sp3Data(num_epochs_, interval_, std::move(satellites_)); }

 private:
  void add_position(std::string_view line) {
    if (!current_epoch_) return;
    const auto position = parse_position_line(line);
    if (!position) return;
    const auto [slot, inserted] = slot_of_.try_emplace(position->satellite, satellites_.size());
    if (inserted) satellites_.push_back({position->satellite, {}});
    satellites_[slot->second].records.push_back(
        {*current_epoch_, position->x, position->y, position->z, position->clock});
  }

  std::uint64_t num_epochs_ = 0;
  double interval_ = 0.0;
  std::optional<Epoch> current_epoch_;
  std::vector<SatelliteRecords> satellites_;
  std::unordered_map<Satellite, std::size_t> slot_of_;
};

}  // namespace

Result<Sp3Data> read_sp3(LineSource& lines) {
  Sp3Collector collector;
  for (;;) {
    Result<std::optional<Line>> line = lines.next();
    if (!line) return fail(line.error());
    if (!*line) break;
    collector.add((*line)->text);
  }
  return std::move(collector).finish();
}

Result<Sp3Data> read_sp3(const std::filesystem::path& path) {
  auto bytes = FileByteSource::open(path.string());
  if (!bytes) return fail(bytes.error());
  LineSplitter lines(std::move(*bytes));
  return read_sp3(lines);
}

}  // namespace skyloam
