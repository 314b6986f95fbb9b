// The RINEX 2 grammar: blocks that start at an epoch line and hold the
// satellite list, then each satellite's observation lines in list order.
// Lines are decoded as they arrive; only the satellite list is kept.
#include <array>
#include <string>
#include <vector>

#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/code_columns.hpp"
#include "rinex/obs_reader/field_value.hpp"
#include "rinex/obs_reader/observation_field.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kSatellitesPerLine = 12;
constexpr std::size_t kTypesPerLine = 5;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_epoch_line(std::string_view line) {
  return line.size() >= 29 && line[0] == ' ' && line[3] == ' ' && line[6] == ' ' &&
         line[9] == ' ' && line[12] == ' ' && is_digit(line[2]) &&
         (is_digit(line[1]) || line[1] == ' ') && line[18] == '.';
}

// The code a RINEX 2 type is stored under; nothing for types outside the
// fourteen that have one.
std::optional<ObsCode> code_of_rinex2_type(std::string_view type) {
  struct Mapping {
    char type[3];
    char code[4];
  };
  static constexpr std::array<Mapping, 14> kMappings = {{
      {"C1", "C1C"}, {"C2", "C2C"}, {"P1", "C1P"}, {"P2", "C2P"}, {"L1", "L1C"},
      {"L2", "L2C"}, {"D1", "D1C"}, {"D2", "D2C"}, {"S1", "S1C"}, {"S2", "S2C"},
      {"C5", "C5X"}, {"L5", "L5X"}, {"D5", "D5X"}, {"S5", "S5X"},
  }};
  if (type.size() != 2) return std::nullopt;
  std::string upper(type);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const Mapping& mapping : kMappings) {
    if (upper == mapping.type) return parse_obs_code(mapping.code);
  }
  return std::nullopt;
}

// One entry of the satellite list. A blank system letter means GPS, and the
// format's I2 number may leave a single digit ("  7" is G07).
std::optional<Satellite> list_satellite(std::string_view entry) {
  if (entry.size() == 3 && is_digit(entry[1]) && is_digit(entry[2])) {  // "G05"
    if (const auto system = system_from_letter(entry[0])) {
      return Satellite{*system, static_cast<std::uint32_t>((entry[1] - '0') * 10 + (entry[2] - '0'))};
    }
  }
  const std::string_view text = trim(entry);
  if (text.empty()) return std::nullopt;
  if (is_digit(text.front())) {
    const auto prn = parse_int<std::uint32_t>(text);
    if (!prn) return std::nullopt;
    return Satellite{GnssSystem::GPS, *prn};
  }
  const auto system = system_from_letter(text.front());
  if (!system) return std::nullopt;
  const auto prn = parse_int<std::uint32_t>(trim(text.substr(1)));
  if (!prn) return std::nullopt;
  return Satellite{*system, *prn};
}

std::int32_t two_digit_year(std::int32_t year) { return year < 80 ? year + 2000 : year + 1900; }

class Rinex2Body {
 public:
  explicit Rinex2Body(RinexObsHeader header)
      : types_(columns_of(header)),
        lines_per_satellite_((types_.size() + kTypesPerLine - 1) / kTypesPerLine),
        builder_(std::move(header)) {}

  Result<ObsData> read(LineSource& lines);

 private:
  static CodeColumns columns_of(const RinexObsHeader& header) {
    CodeColumns columns;
    for (const std::string& type : header.obs_types_v2) columns.add(code_of_rinex2_type(type));
    return columns;
  }

  void start_block(std::string_view line);
  void add_block_line(std::string_view line);
  void decode_satellite_list();
  void read_observation_line(std::string_view line, std::size_t row);
  void finish_block();

  CodeColumns types_;
  std::size_t lines_per_satellite_;
  ObsDataBuilder builder_;

  bool in_block_ = false;
  Epoch time_;
  std::uint8_t flag_ = 0;
  std::size_t announced_ = 0;    // satellites the epoch line announces
  std::size_t list_lines_ = 1;   // epoch line plus satellite-list continuations
  std::size_t block_line_ = 0;   // index of the latest line within the block
  std::string list_text_;
  bool list_decoded_ = false;
  std::vector<Satellite> satellites_;
  std::size_t next_satellite_ = 0;  // list index of the satellite of the next line
  std::size_t next_row_ = 0;        // that line's row among its satellite's lines
  bool satellite_open_ = false;     // the builder holds a satellite begun in this block
};

void Rinex2Body::start_block(std::string_view line) {
  in_block_ = true;
  time_.year = two_digit_year(field_or<std::int32_t>(line, 1, 3, 0));
  time_.month = field_or<std::uint32_t>(line, 4, 6, 1);
  time_.day = field_or<std::uint32_t>(line, 7, 9, 1);
  time_.hour = field_or<std::uint32_t>(line, 10, 12, 0);
  time_.minute = field_or<std::uint32_t>(line, 13, 15, 0);
  time_.second = field_or<double>(line, 15, 26, 0.0);
  flag_ = field_or<std::uint8_t>(line, 26, 29, 0);
  announced_ = field_or<std::uint32_t>(line, 29, 32, 0);
  list_lines_ = announced_ <= kSatellitesPerLine
                    ? 1
                    : (announced_ + kSatellitesPerLine - 1) / kSatellitesPerLine;
  block_line_ = 0;
  list_text_.assign(column(line, 32, 68));
  list_decoded_ = false;
  satellites_.clear();
  next_satellite_ = next_row_ = 0;
  satellite_open_ = false;
}

void Rinex2Body::decode_satellite_list() {
  list_decoded_ = true;
  for (std::size_t k = 0; k < announced_ && 3 * k + 3 <= list_text_.size(); ++k) {
    if (const auto satellite = list_satellite(std::string_view(list_text_).substr(3 * k, 3))) {
      satellites_.push_back(*satellite);
    }
  }
}

void Rinex2Body::add_block_line(std::string_view line) {
  ++block_line_;
  if (is_event_flag(flag_)) return;
  if (block_line_ < list_lines_) {
    if (line.size() > 32) list_text_.append(column(line, 32, 68));
    return;
  }
  if (!list_decoded_) decode_satellite_list();
  if (lines_per_satellite_ == 0 || next_satellite_ >= satellites_.size()) return;
  const std::size_t row = next_row_;
  if (row == 0) {
    if (satellite_open_) builder_.drop_empty_satellite();
    builder_.begin_satellite(satellites_[next_satellite_]);
    satellite_open_ = true;
  }
  if (++next_row_ == lines_per_satellite_) {
    next_row_ = 0;
    ++next_satellite_;
  }
  read_observation_line(line, row);
}

void Rinex2Body::read_observation_line(std::string_view line, std::size_t row) {
  const std::size_t first = row * kTypesPerLine;
  const std::size_t last = std::min(first + kTypesPerLine, types_.size());
  for (std::size_t type = first; type < last; ++type) {
    const std::size_t start = (type - first) * kObservationFieldWidth;
    if (!types_.stored(type) || line.size() < start + kObservationValueWidth) continue;
    const ObservationField field =
        read_observation_field(line.substr(start, kObservationFieldWidth));
    if (field.present) builder_.add(types_.id(type, builder_), field.value, field.lli, field.ssi);
  }
}

void Rinex2Body::finish_block() {
  if (!in_block_) return;
  if (satellite_open_) builder_.drop_empty_satellite();
  if (is_event_flag(flag_)) {
    builder_.discard_epoch();
  } else {
    builder_.commit_epoch(time_, flag_, std::nullopt);
  }
  in_block_ = false;
}

Result<ObsData> Rinex2Body::read(LineSource& lines) {
  for (;;) {
    auto next = lines.next();
    if (!next) return fail(std::move(next.error()));
    if (!*next) break;
    const std::string_view line = strip_trailing_cr((*next)->text);
    if (is_epoch_line(line)) {
      finish_block();
      start_block(line);
    } else if (in_block_) {
      add_block_line(line);
    }
  }
  finish_block();
  return std::move(builder_).finish();
}

}  // namespace

Result<ObsData> read_rinex2_body(LineSource& lines, RinexObsHeader header) {
  return Rinex2Body(std::move(header)).read(lines);
}

}  // namespace skyloam
