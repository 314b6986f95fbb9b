#include "testkit/test_sources.hpp"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace skyloam::testing {

Result<std::size_t> MemoryByteSource::read(std::span<char> buffer) {
  const std::size_t n = std::min({buffer.size(), chunk_, bytes_.size() - pos_});
  std::memcpy(buffer.data(), bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

Result<std::size_t> FailingByteSource::read(std::span<char> buffer) {
  if (pos_ == good_.size()) return fail(GnssError::io("device unplugged"));
  const std::size_t n = std::min(buffer.size(), good_.size() - pos_);
  std::memcpy(buffer.data(), good_.data() + pos_, n);
  pos_ += n;
  return n;
}

Result<std::size_t> FileByteSource::read(std::span<char> buffer) {
  file_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (file_.bad()) return fail(GnssError::io("read failed"));
  return static_cast<std::size_t>(file_.gcount());
}

Result<std::optional<Line>> LineSplitter::next() {
  carry_.clear();
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const void* newline = std::memchr(start, '\n', end_ - begin_);
    if (newline != nullptr || (input_ended_ && (begin_ < end_ || !carry_.empty()))) {
      const std::size_t length =
          newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) : end_ - begin_;
      std::string_view text(start, length);
      begin_ += length + (newline ? 1 : 0);
      if (!carry_.empty()) {
        carry_.append(text);
        text = carry_;
      }
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      return std::optional<Line>{Line{index_++, text}};
    }
    if (input_ended_) return std::optional<Line>{};
    carry_.append(start, end_ - begin_);
    auto got = bytes_->read(buffer_);
    if (!got) return fail(std::move(got).error());
    begin_ = 0;
    end_ = *got;
    input_ended_ = *got == 0;
  }
}

std::unique_ptr<LineSource> lines_of(std::string text) {
  return std::make_unique<LineSplitter>(std::make_unique<MemoryByteSource>(std::move(text)));
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> drain(LineSource& lines, std::string* error) {
  std::vector<std::string> out;
  for (;;) {
    auto line = lines.next();
    if (!line) {
      if (error) *error = line.error().display();
      return out;
    }
    if (!*line) return out;
    out.emplace_back((*line)->text);
  }
}

}  // namespace skyloam::testing
