#include "navigation/broadcast/record_splitter.hpp"

#include <algorithm>
#include <cstring>

#include "utils/text/trim.hpp"

namespace skyloam {
namespace {

bool starts_record(std::string_view line) {
  const std::size_t n = std::min<std::size_t>(line.size(), 3);
  for (std::size_t i = 0; i < n; ++i) {
    if (line[i] != ' ') return true;
  }
  return false;
}

// The blank-separated pieces of a "> " line: "> EPH G01 LNAV".
std::array<std::string_view, 4> announcement_pieces(std::string_view line) {
  std::array<std::string_view, 4> pieces{};
  std::size_t found = 0;
  std::size_t i = 0;
  while (found < pieces.size()) {
    while (i < line.size() && is_ascii_space(line[i])) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && !is_ascii_space(line[i])) ++i;
    pieces[found++] = line.substr(start, i - start);
  }
  return pieces;
}

// memcpy of a text that may be empty (whose data may be null).
void copy_text(char* to, std::string_view text, std::size_t count) {
  if (count != 0) std::memcpy(to, text.data(), count);
}

}  // namespace

void RecordText::add(std::string_view line) {
  if (count_ == kMaxRecordLines) return;
  const std::size_t width = std::min(line.size(), kRecordLineWidth);
  copy_text(lines_[count_].data(), line, width);
  widths_[count_++] = width;
}

void RecordText::set_message(std::string_view message) {
  message_size_ = std::min(message.size(), message_.size());
  copy_text(message_.data(), message, message_size_);
}

bool RecordSplitter::complete() {
  if (!gathering_) return false;
  gathering_ = false;
  gathering_index_ ^= 1;
  return true;
}

void RecordSplitter::announce(std::string_view line) {
  const auto pieces = announcement_pieces(line);
  announced_size_ = 0;
  if (pieces[0] != ">" || pieces[1] != "EPH" || pieces[3].empty()) {
    block_ = Block::Skipped;
    return;
  }
  block_ = Block::Announced;
  announced_size_ = std::min(pieces[3].size(), announced_.size());
  copy_text(announced_.data(), pieces[3], announced_size_);
}

bool RecordSplitter::take(std::string_view line) {
  if (version4_ && !line.empty() && line.front() == '>') {
    const bool completed = complete();
    announce(line);
    return completed;
  }
  if (!starts_record(line)) {
    if (gathering_) texts_[gathering_index_].add(line);
    return false;
  }
  if (version4_ && block_ == Block::Skipped) return false;
  const bool completed = complete();
  RecordText& text = texts_[gathering_index_];
  text.clear();
  text.add(line);
  text.set_message(block_ == Block::Announced ? std::string_view(announced_.data(), announced_size_)
                                              : std::string_view());
  block_ = Block::Record;
  gathering_ = true;
  return completed;
}

Result<const RecordText*> RecordSplitter::next() {
  while (!done_) {
    Result<std::optional<Line>> line = lines_.next();
    if (!line) {
      done_ = true;
      return fail(std::move(line.error()));
    }
    if (!*line) {
      done_ = true;
      break;
    }
    if (take((*line)->text)) return &texts_[gathering_index_ ^ 1];
  }
  if (complete()) return &texts_[gathering_index_ ^ 1];
  return nullptr;
}

}  // namespace skyloam
