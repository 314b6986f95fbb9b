// CompactEpoch: the epoch line of compact RINEX, restored line by line.
//
// A compact epoch line is either complete (version 1.0: `&` in column 1,
// standing for its blank; version 3.0: `>` in column 1), which restarts all
// decoding state, or a text difference against the previous restored line
// (it starts with a blank; an empty line means "unchanged"). The restored
// text holds the epoch fields of the RINEX epoch line, without any clock
// offset, followed by the ids of all satellites, 3 characters each:
//   version 1.0: flag at byte 28, count in [29..32), ids from byte 32;
//   version 3.0: flag at byte 31, count in [32..35), ids from byte 41.
// For event flags 2-5 the count is the number of special records and no ids
// follow. Malformed lines are RinexParse errors naming the line index.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "error/gnss_error.hpp"
#include "rinex/compressed/crinex_header.hpp"

namespace skyloam {

class CompactEpoch {
 public:
  explicit CompactEpoch(CrinexVersion version);

  // Applies one compact epoch line. On failure the epoch is unusable and
  // the decoding must stop.
  Result<void> restore(std::string_view compact, std::size_t index);

  bool initialised() const { return initialised_; }  // the last line was complete
  bool unchanged() const { return unchanged_; }      // the last line was empty
  bool is_event() const { return flag_ >= '2' && flag_ <= '5'; }
  std::size_t count() const { return count_; }

  // The epoch fields (bytes before the ids), trailing blanks removed.
  std::string_view fields() const;
  // The whole restored text, trailing blanks removed.
  std::string_view text() const { return text_; }
  // The ids of a data epoch, 3 characters each, back to back.
  std::string_view ids() const { return std::string_view(text_).substr(std::min(ids_begin_, text_.size())); }
  // Satellite k (0-based) of a data epoch, 3 characters.
  std::string_view id(std::size_t k) const { return std::string_view(text_).substr(ids_begin_ + 3 * k, 3); }

 private:
  Result<void> read_fields(std::size_t index);

  std::size_t flag_column_;
  std::size_t count_begin_;
  std::size_t ids_begin_;
  char start_marker_;

  std::string text_;
  bool has_reference_ = false;
  bool initialised_ = false;
  bool unchanged_ = false;
  char flag_ = '0';
  std::size_t count_ = 0;
};

}  // namespace skyloam
