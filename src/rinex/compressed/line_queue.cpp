#include "rinex/compressed/line_queue.hpp"

#include <cstring>

namespace skyloam {

char* LineQueue::reserve(std::size_t length) {
  if (buffer_.size() < used_ + length) buffer_.resize(2 * (used_ + length));
  return buffer_.data() + used_;
}

void LineQueue::commit(std::size_t length, std::size_t index) {
  const char* text = buffer_.data() + used_;
  while (length > 0 && text[length - 1] == ' ') --length;
  lines_.push_back(Entry{used_, length, index});
  used_ += length;
}

void LineQueue::push(std::string_view text, std::size_t index) {
  std::memcpy(reserve(text.size()), text.data(), text.size());
  commit(text.size(), index);
}

std::optional<Line> LineQueue::pop() {
  if (empty()) return std::nullopt;
  const Entry& entry = lines_[next_++];
  return Line{entry.index, std::string_view(buffer_.data() + entry.begin, entry.length)};
}

void LineQueue::clear() {
  used_ = 0;
  lines_.clear();
  next_ = 0;
}

}  // namespace skyloam
