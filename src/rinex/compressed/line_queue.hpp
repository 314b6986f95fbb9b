// LineQueue: restored lines waiting to be handed out, one after another.
//
// Lines are written straight into one growing buffer (reserve, write,
// commit) and handed out in order as views into it. The views stay valid
// until the queue is cleared, which the owner does only once every line has
// been handed out. The buffer grows to the largest batch of lines (one epoch
// line or one satellite's lines) and is then reused.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

class LineQueue {
 public:
  // Room for a line of up to `length` bytes; valid until the next reserve.
  char* reserve(std::size_t length);
  // Queues the first `length` bytes written at the last reserve, trailing
  // blanks removed.
  void commit(std::size_t length, std::size_t index);
  void push(std::string_view text, std::size_t index);

  std::optional<Line> pop();
  bool empty() const { return next_ == lines_.size(); }
  void clear();

 private:
  struct Entry {
    std::size_t begin;
    std::size_t length;
    std::size_t index;
  };
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::vector<Entry> lines_;
  std::size_t next_ = 0;
};

}  // namespace skyloam
