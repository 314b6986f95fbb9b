// CrinexLineSource: compact RINEX (CRINEX 1.0 and 3.0) decoded as the RINEX
// lines it stands for, streaming from another LineSource.
//
// The two CRINEX header lines are dropped, the RINEX header passes through
// unchanged up to "END OF HEADER", and every body line comes out restored:
// epoch lines, satellite lines, event records. Each line carries the index
// of the line of the compressed file it comes from (a restored epoch line
// and its continuation lines the index of the compact epoch line, the lines
// of a satellite the index of its compact data line), so that the reader's
// messages point into the file the user has.
//
// Restored RINEX 3 observation records can also be taken as the numbers
// they come from (next_record); their text is only made for next().
//
// A malformed compact line is a RinexParse error naming its index; a file
// that ends inside its header or inside an epoch is one too (naming the
// last line). Errors of the inner source pass through. After an error every
// further call returns it again. Memory is bounded by the largest epoch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "error/gnss_error.hpp"
#include "rinex/compressed/compact_epoch.hpp"
#include "rinex/compressed/crinex_header.hpp"
#include "rinex/compressed/data_line_decoder.hpp"
#include "rinex/compressed/difference_arc.hpp"
#include "rinex/compressed/line_queue.hpp"
#include "rinex/compressed/satellite_tracker.hpp"
#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/record_line_source.hpp"

namespace skyloam {

class CrinexLineSource final : public RecordLineSource {
 public:
  // `inner` has just yielded `first_line`, the "CRINEX VERS   / TYPE" line.
  static Result<std::unique_ptr<CrinexLineSource>> open(std::unique_ptr<LineSource> inner,
                                                        const Line& first_line);

  Result<std::optional<Line>> next() override;
  Result<std::optional<DecodedRecord>> next_record() override;

 private:
  enum class Stage : std::uint8_t { Header, EpochLine, ClockLine, DataLines, SpecialRecords, Done };

  CrinexLineSource(std::unique_ptr<LineSource> inner, CrinexVersion version);

  // Takes the next compact line (or the end of the input): the line itself
  // when it passes through unchanged, else nothing. A failure is kept.
  Result<std::optional<Line>> take_next();

  // Takes one line of the compressed file; gives the line itself when it
  // passes through unchanged, nothing when its restored lines were queued
  // (or it was dropped).
  Result<std::optional<Line>> take(const Line& line);
  Result<std::optional<Line>> take_header_line(const Line& line);
  Result<void> take_epoch_line(const Line& line);
  Result<void> take_clock_line(const Line& line);
  Result<void> take_data_line(const Line& line);
  Result<std::optional<Line>> take_special_record(const Line& line);
  Result<void> finish();

  std::unique_ptr<LineSource> inner_;
  CrinexVersion version_;
  Stage stage_ = Stage::Header;
  std::optional<GnssError> failure_;
  std::size_t last_index_ = 0;

  bool header_started_ = false;
  bool saw_rinex_version_ = false;
  ObservationTypeCounts types_;

  CompactEpoch epoch_;
  std::size_t epoch_index_ = 0;
  std::size_t lines_left_ = 0;  // satellite lines or special records still due
  DifferenceArc clock_;
  SatelliteTracker satellites_;
  std::vector<ObservationSlot> values_;
  // A RINEX 3 data line decoded into values_ (and its satellite's flags),
  // not yet handed out as numbers nor written as text.
  std::optional<std::size_t> pending_record_;  // index of the data line
  std::size_t pending_satellite_ = 0;          // its position in the epoch

  LineQueue queue_;
};

}  // namespace skyloam
