#include "testkit/test_sources.hpp"

#include <algorithm>
#include <fstream>
#include <cstring>
#include <sstream>

namespace skyloam::testing {

Result<std::size_t> ChunkedByteSource::read(std::span<char> buffer) {
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

std::unique_ptr<LineSource> lines_of(std::string text) {
  return std::make_unique<LineSplitter>(std::make_unique<ChunkedByteSource>(std::move(text)));
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
