// The RINEX 3/4 grammar: `>` epoch lines, each followed by the number of
// satellite record lines it announces.
#include <algorithm>
#include <array>

#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/code_columns.hpp"
#include "rinex/obs_reader/field_value.hpp"
#include "rinex/obs_reader/observation_field.hpp"
#include "rinex/obs_reader/record_line_source.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kMinEpochLine = 32;

struct EpochLine {
  Epoch time;
  std::uint8_t flag;
  std::uint32_t records;
  std::optional<double> clock_offset;
};

EpochLine parse_epoch_line(std::string_view line) {
  EpochLine epoch{};
  epoch.time.year = field_or<std::int32_t>(line, 2, 6, 2000);
  epoch.time.month = field_or<std::uint32_t>(line, 7, 9, 1);
  epoch.time.day = field_or<std::uint32_t>(line, 10, 12, 1);
  epoch.time.hour = field_or<std::uint32_t>(line, 13, 15, 0);
  epoch.time.minute = field_or<std::uint32_t>(line, 16, 18, 0);
  epoch.time.second = field_or<double>(line, 19, 30, 0.0);
  epoch.flag = field_or<std::uint8_t>(line, 31, 32, 0);
  epoch.records = field_or<std::uint32_t>(line, 32, 35, 0);
  if (line.size() > 55) {
    if (const auto clock = parse_f64(trimmed_column(line, 41, 56))) epoch.clock_offset = *clock;
  }
  return epoch;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The satellite of a record's first three bytes; "G05" is decoded directly.
std::optional<Satellite> record_satellite(std::string_view line) {
  if (is_digit(line[1]) && is_digit(line[2])) {
    if (const auto system = system_from_letter(line[0])) {
      return Satellite{*system, static_cast<std::uint32_t>((line[1] - '0') * 10 + (line[2] - '0'))};
    }
  }
  return parse_satellite(line.substr(0, 3));
}

struct SystemColumns {
  bool listed = false;
  CodeColumns codes;
};
using ColumnsBySystem = std::array<SystemColumns, kAllSystems.size()>;

ColumnsBySystem columns_of(const RinexObsHeader& header) {
  ColumnsBySystem systems;
  for (const auto& [system, codes] : header.obs_types) {
    SystemColumns& columns = systems[static_cast<std::size_t>(system)];
    columns.listed = true;
    for (const ObsCode& code : codes) columns.codes.add(code);
  }
  return systems;
}

// The value a decoded slot's F14.3 text reads as: thousandths below 2^53
// divided by 1000, one correctly rounded operation, as for the text.
double value_of(const ObservationSlot& slot) { return static_cast<double>(slot.value) / 1000.0; }

class Rinex3Body {
 public:
  explicit Rinex3Body(RinexObsHeader header)
      : systems_(columns_of(header)), builder_(std::move(header)) {}

  Result<ObsData> read(LineSource& lines);

 private:
  // The next record, as numbers where the source has them, else as text;
  // false at the end of the input.
  Result<bool> take_record(LineSource& lines, RecordLineSource* records, bool keep);
  // Begins the satellite of a record line starting with `line`; its
  // columns, or nullptr when the record is passed over.
  SystemColumns* begin_record(std::string_view line);
  void read_record(std::string_view line);
  void read_decoded_record(const DecodedRecord& record);

  ColumnsBySystem systems_;
  ObsDataBuilder builder_;
};

SystemColumns* Rinex3Body::begin_record(std::string_view line) {
  if (line.size() < 3) return nullptr;
  const auto satellite = record_satellite(line);
  if (!satellite) return nullptr;
  SystemColumns& columns = systems_[static_cast<std::size_t>(satellite->system)];
  if (!columns.listed) return nullptr;
  builder_.begin_satellite(*satellite);
  return &columns;
}

// As read_record of the record's text: the text ends after the last present
// value, or after the satellite's characters when there is none.
void Rinex3Body::read_decoded_record(const DecodedRecord& record) {
  const auto present = [](const ObservationSlot& slot) { return slot.present; };
  const bool any = std::any_of(record.values.begin(), record.values.end(), present);
  std::string_view start = record.satellite;
  while (!any && !start.empty() && start.back() == ' ') start.remove_suffix(1);
  SystemColumns* columns = begin_record(start);
  if (columns == nullptr) return;
  const std::size_t count = std::min(columns->codes.size(), record.values.size());
  for (std::size_t i = 0; i < count; ++i) {
    const ObservationSlot& slot = record.values[i];
    if (!slot.present) continue;
    builder_.add(columns->codes.id(i, builder_), value_of(slot), indicator_digit(record.flags[2 * i]),
                 indicator_digit(record.flags[2 * i + 1]));
  }
}

Result<bool> Rinex3Body::take_record(LineSource& lines, RecordLineSource* records, bool keep) {
  if (records != nullptr) {
    auto decoded = records->next_record();
    if (!decoded) return fail(std::move(decoded.error()));
    if (*decoded) {
      if (keep) read_decoded_record(**decoded);
      return true;
    }
  }
  auto record = lines.next();
  if (!record) return fail(std::move(record.error()));
  if (!*record) return false;
  if (keep) read_record(strip_trailing_cr((*record)->text));
  return true;
}

void Rinex3Body::read_record(std::string_view line) {
  SystemColumns* found = begin_record(line);
  if (found == nullptr) return;
  SystemColumns& columns = *found;
  const std::string_view data = line.substr(3);
  const std::size_t count = columns.codes.size();
  for (std::size_t i = 0; i < count && i * kObservationFieldWidth < data.size(); ++i) {
    const ObservationField field =
        read_observation_field(data.substr(i * kObservationFieldWidth, kObservationFieldWidth));
    if (field.present) builder_.add(columns.codes.id(i, builder_), field.value, field.lli, field.ssi);
  }
}

Result<ObsData> Rinex3Body::read(LineSource& lines) {
  auto* records = dynamic_cast<RecordLineSource*>(&lines);
  for (;;) {
    auto next = lines.next();
    if (!next) return fail(std::move(next.error()));
    if (!*next) break;
    const std::string_view line = strip_trailing_cr((*next)->text);
    if (line.empty() || line.front() != '>') continue;
    if (line.size() < kMinEpochLine) {
      return fail(GnssError::rinex_parse((*next)->index, "Epoch line too short"));
    }
    const EpochLine epoch = parse_epoch_line(line);
    const bool keep = !is_event_flag(epoch.flag);
    bool input_ended = false;
    for (std::uint32_t k = 0; k < epoch.records && !input_ended; ++k) {
      auto taken = take_record(lines, records, keep);
      if (!taken) return fail(std::move(taken.error()));
      input_ended = !*taken;
    }
    if (keep) {
      builder_.commit_epoch(epoch.time, epoch.flag, epoch.clock_offset);
    } else {
      builder_.discard_epoch();
    }
    if (input_ended) break;
  }
  return std::move(builder_).finish();
}

}  // namespace

Result<ObsData> read_rinex3_body(LineSource& lines, RinexObsHeader header) {
  return Rinex3Body(std::move(header)).read(lines);
}

}  // namespace skyloam
