// The records of a navigation file body, one at a time, as their lines.
//
// A record starts at a line whose first three columns are not all blank (the
// satellite of versions 2 and 3) and takes the indented lines that follow,
// however many: GLONASS records of 4 or 5 lines, trailing lines left off or
// records of unknown kinds need no line counts, and a damaged record cannot
// shift the ones after it. In version 4 a "> EPH <sat> <message>" line
// names the message type of the record after it; other "> " lines (STO, EOP,
// ION) open blocks whose lines are passed over.
//
// Memory stays bounded: a record keeps at most kMaxRecordLines lines of at
// most kRecordLineWidth bytes (nothing of the format lies beyond either).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/obs_header.hpp"

namespace skyloam {

inline constexpr std::size_t kMaxRecordLines = 10;
inline constexpr std::size_t kRecordLineWidth = 80;

class RecordText {
 public:
  std::size_t size() const { return count_; }
  std::string_view line(std::size_t i) const { return {lines_[i].data(), widths_[i]}; }
  // The message type of a version 4 "> EPH" line ("LNAV", "FDMA"); empty
  // before version 4 and for a record that no such line announced.
  std::string_view message() const { return {message_.data(), message_size_}; }

 private:
  friend class RecordSplitter;
  void clear() { count_ = 0; }
  void add(std::string_view line);
  void set_message(std::string_view message);

  std::array<std::array<char, kRecordLineWidth>, kMaxRecordLines> lines_{};
  std::array<std::size_t, kMaxRecordLines> widths_{};
  std::size_t count_ = 0;
  std::array<char, 8> message_{};
  std::size_t message_size_ = 0;
};

class RecordSplitter {
 public:
  RecordSplitter(LineSource& lines, RinexGeneration generation)
      : lines_(lines), version4_(generation == RinexGeneration::V4) {}

  // The next record (valid until the next call), nothing at the end of the
  // input, or the source's failure.
  Result<const RecordText*> next();

 private:
  enum class Block { Record, Announced, Skipped };
  // Applies one line; true when it completed the record being gathered.
  bool take(std::string_view line);
  void announce(std::string_view line);

  // Hands the record being gathered over; true when there was one.
  bool complete();

  LineSource& lines_;
  bool version4_;
  // The record being gathered and the one handed out last, by turns.
  std::array<RecordText, 2> texts_;
  std::size_t gathering_index_ = 0;
  bool gathering_ = false;
  // The message type the latest "> EPH" line announced.
  std::array<char, 8> announced_{};
  std::size_t announced_size_ = 0;
  // Version 4: what the latest "> " line opened.
  Block block_ = Block::Record;
  bool done_ = false;
};

}  // namespace skyloam
