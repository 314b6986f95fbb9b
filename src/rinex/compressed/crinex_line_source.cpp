#include "rinex/compressed/crinex_line_source.hpp"

#include <string>

#include "rinex/compressed/compact_field.hpp"
#include "rinex/compressed/fixed_point_format.hpp"
#include "rinex/compressed/restored_lines.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {

namespace {

constexpr std::string_view kProgramLabel = "CRINEX PROG / DATE";
constexpr std::string_view kVersionLabel = "RINEX VERSION / TYPE";
constexpr std::string_view kEndOfHeaderLabel = "END OF HEADER";

}  // namespace

Result<std::unique_ptr<CrinexLineSource>> CrinexLineSource::open(std::unique_ptr<LineSource> inner,
                                                                 const Line& first_line) {
  auto version = parse_crinex_version(first_line.text, first_line.index);
  if (!version) return fail(std::move(version).error());
  std::unique_ptr<CrinexLineSource> source(new CrinexLineSource(std::move(inner), *version));
  source->last_index_ = first_line.index;
  return source;
}

CrinexLineSource::CrinexLineSource(std::unique_ptr<LineSource> inner, CrinexVersion version)
    : inner_(std::move(inner)), version_(version), types_(version), epoch_(version) {}

Result<std::optional<Line>> CrinexLineSource::next() {
  for (;;) {
    if (failure_) return fail(*failure_);
    if (auto queued = queue_.pop()) return queued;
    queue_.clear();
    if (pending_record_) {
      const SatelliteState& state = satellites_.state(pending_satellite_);
      write_rinex3_observations(queue_, epoch_.id(pending_satellite_), values_, state.flags,
                                *pending_record_);
      pending_record_.reset();
      continue;
    }
    if (stage_ == Stage::Done) return std::optional<Line>{};
    auto passed = take_next();
    if (!passed || *passed) return passed;
  }
}

Result<std::optional<DecodedRecord>> CrinexLineSource::next_record() {
  for (;;) {
    if (failure_) return fail(*failure_);
    if (!queue_.empty()) return std::optional<DecodedRecord>{};
    if (pending_record_) {
      pending_record_.reset();
      return std::optional<DecodedRecord>{DecodedRecord{
          epoch_.id(pending_satellite_), values_, satellites_.state(pending_satellite_).flags}};
    }
    if (stage_ != Stage::DataLines || version_ == CrinexVersion::V1) {
      return std::optional<DecodedRecord>{};
    }
    if (auto passed = take_next(); !passed) return fail(std::move(passed).error());
  }
}

Result<std::optional<Line>> CrinexLineSource::take_next() {
  queue_.clear();
  auto line = inner_->next();
  Result<std::optional<Line>> outcome = std::optional<Line>{};
  if (!line) {
    outcome = fail(std::move(line).error());
  } else if (!*line) {
    if (auto finished = finish(); !finished) outcome = fail(std::move(finished).error());
    stage_ = Stage::Done;
  } else {
    last_index_ = (*line)->index;
    outcome = take(Line{(*line)->index, strip_trailing_cr((*line)->text)});
  }
  if (!outcome) failure_ = outcome.error();
  return outcome;
}

Result<std::optional<Line>> CrinexLineSource::take(const Line& line) {
  switch (stage_) {
    case Stage::Header: return take_header_line(line);
    case Stage::SpecialRecords: return take_special_record(line);
    case Stage::EpochLine:
      if (auto taken = take_epoch_line(line); !taken) return fail(std::move(taken).error());
      break;
    case Stage::ClockLine:
      if (auto taken = take_clock_line(line); !taken) return fail(std::move(taken).error());
      break;
    case Stage::DataLines:
      if (auto taken = take_data_line(line); !taken) return fail(std::move(taken).error());
      break;
    case Stage::Done: break;
  }
  return std::optional<Line>{};
}

Result<std::optional<Line>> CrinexLineSource::take_header_line(const Line& line) {
  const std::string_view label = header_label(line.text);
  if (!header_started_ && label == kProgramLabel) return std::optional<Line>{};
  header_started_ = true;
  if (label == kVersionLabel) {
    if (auto checked = check_rinex_version(version_, line.text, line.index); !checked) {
      return fail(std::move(checked).error());
    }
    saw_rinex_version_ = true;
  }
  if (auto counted = types_.take_line(line.text, line.index); !counted) {
    return fail(std::move(counted).error());
  }
  if (label == kEndOfHeaderLabel) {
    // Without a version line the reader would take RINEX 3 and misread
    // every restored RINEX 2 line.
    if (version_ == CrinexVersion::V1 && !saw_rinex_version_) {
      return fail(GnssError::rinex_parse(
          line.index, "compact RINEX 1.0 header has no RINEX VERSION / TYPE line"));
    }
    stage_ = Stage::EpochLine;
  }
  return std::optional<Line>{line};
}

Result<void> CrinexLineSource::take_epoch_line(const Line& line) {
  if (auto restored = epoch_.restore(line.text, line.index); !restored) return restored;
  epoch_index_ = line.index;
  if (epoch_.initialised() || epoch_.is_event()) {
    satellites_.forget_all();
    clock_.end();
  }
  if (epoch_.is_event()) {
    queue_.push(epoch_.text(), line.index);
    types_.begin_group();
    lines_left_ = epoch_.count();
    stage_ = lines_left_ > 0 ? Stage::SpecialRecords : Stage::EpochLine;
    return {};
  }
  const std::size_t repeated = satellites_.begin_epoch(epoch_.ids(), epoch_.count());
  if (repeated < epoch_.count()) {
    return fail(GnssError::rinex_parse(
        line.index, "restored epoch line lists satellite " + std::string(epoch_.id(repeated)) +
                        " twice"));
  }
  stage_ = Stage::ClockLine;
  return {};
}

Result<void> CrinexLineSource::take_clock_line(const Line& line) {
  const bool v1 = version_ == CrinexVersion::V1;
  std::optional<std::int64_t> clock;
  const auto field = parse_compact_field(line.text);
  const auto clock_error = [&](const std::string& problem) {
    return fail(GnssError::rinex_parse(
        line.index, "compact clock line (\"" + std::string(line.text.substr(0, 40)) + "\") " + problem));
  };
  if (!field) return clock_error(describe(field.error()));
  switch (field->kind) {
    case CompactField::Kind::Empty: clock_.end(); break;
    case CompactField::Kind::ArcStart: clock_.start(field->order, field->number); break;
    case CompactField::Kind::Difference:
      if (!clock_.running()) return clock_error("is a difference, but no clock arc is running (expected n&v)");
      if (!clock_.advance(field->number)) return clock_error("makes the clock offset leave the 64-bit range");
      break;
  }
  if (clock_.running()) {
    clock = clock_.value();
    const bool fits = v1 ? fits_fixed_point<kClockDecimalsV1, kClockWidthV1>(*clock)
                         : fits_fixed_point<kClockDecimalsV3, kClockWidthV3>(*clock);
    if (!fits) {
      return clock_error("gives a clock offset too wide for its RINEX column");
    }
  }
  if (v1) {
    write_rinex2_epoch(queue_, epoch_, clock, epoch_index_);
  } else {
    write_rinex3_epoch(queue_, epoch_, clock, epoch_index_);
  }
  lines_left_ = epoch_.count();
  stage_ = lines_left_ > 0 ? Stage::DataLines : Stage::EpochLine;
  return {};
}

Result<void> CrinexLineSource::take_data_line(const Line& line) {
  const std::size_t k = epoch_.count() - lines_left_;
  const std::string_view id = epoch_.id(k);
  const int types = types_.count_for(id.front());
  if (types < 0) {
    return fail(GnssError::rinex_parse(
        line.index, "compact data line of " + std::string(id) +
                        ": the header lists no observation types for this satellite's system"));
  }
  SatelliteState& state = satellites_.state(k);
  state.fit(static_cast<std::size_t>(types));
  if (auto decoded = decode_data_line(line.text, state, values_, DataLineContext{id, line.index});
      !decoded) {
    return decoded;
  }
  if (version_ == CrinexVersion::V1) {
    write_rinex2_observations(queue_, values_, state.flags, line.index);
  } else {
    pending_record_ = line.index;
    pending_satellite_ = k;
  }
  if (--lines_left_ == 0) stage_ = Stage::EpochLine;
  return {};
}

Result<std::optional<Line>> CrinexLineSource::take_special_record(const Line& line) {
  if (auto counted = types_.take_line(line.text, line.index); !counted) {
    return fail(std::move(counted).error());
  }
  if (--lines_left_ == 0) stage_ = Stage::EpochLine;
  return std::optional<Line>{line};
}

Result<void> CrinexLineSource::finish() {
  switch (stage_) {
    case Stage::EpochLine:
    case Stage::Done: return {};
    case Stage::Header:
      return fail(GnssError::rinex_parse(
          last_index_, "compact RINEX file ends inside its header (no END OF HEADER line)"));
    case Stage::ClockLine:
      // A last empty line reads as an unchanged epoch line; a file cut
      // there is indistinguishable from a stray blank line at its end.
      if (epoch_.unchanged()) return {};
      return fail(GnssError::rinex_parse(
          last_index_, "compact RINEX file ends after the epoch line at line " +
                           std::to_string(epoch_index_) + ", before its clock line"));
    case Stage::DataLines:
    case Stage::SpecialRecords:
      return fail(GnssError::rinex_parse(
          last_index_, "compact RINEX file ends inside the epoch of line " +
                           std::to_string(epoch_index_) + ": " + std::to_string(lines_left_) +
                           " of its " + std::to_string(epoch_.count()) +
                           (stage_ == Stage::DataLines ? " satellite lines" : " special records") +
                           " are missing"));
  }
  return {};
}

}  // namespace skyloam
