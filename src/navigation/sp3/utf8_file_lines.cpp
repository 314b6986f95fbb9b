#include "navigation/sp3/utf8_file_lines.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace skyloam {

GnssError io_error_from_errno(int error_number) {
  return GnssError::io(std::generic_category().message(error_number) + " (os error " +
                       std::to_string(error_number) + ")");
}

Result<Utf8FileLines> Utf8FileLines::open(const std::filesystem::path& path) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return fail(io_error_from_errno(errno != 0 ? errno : ENOENT));
  return Utf8FileLines(file);
}

Utf8FileLines::Utf8FileLines(std::FILE* file) : file_(file), buffer_(kBufferBytes) {}

Result<bool> Utf8FileLines::refill() {
  if (at_end_) return false;
  errno = 0;
  const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  if (got < buffer_.size() && std::ferror(file_.get())) {
    return fail(io_error_from_errno(errno != 0 ? errno : EIO));
  }
  begin_ = 0;
  end_ = got;
  if (!validator_.feed({buffer_.data(), got})) {
    return fail(GnssError::io("stream did not contain valid UTF-8"));
  }
  if (got == 0) {
    at_end_ = true;
    if (!validator_.complete()) return fail(GnssError::io("stream did not contain valid UTF-8"));
    return false;
  }
  return true;
}

void Utf8FileLines::append_capped(const char* begin, const char* end) {
  const std::size_t room = kMaxLineBytes - std::min(pending_.size(), kMaxLineBytes);
  const std::size_t length = static_cast<std::size_t>(end - begin);
  pending_.append(begin, std::min(length, room));
}

Line Utf8FileLines::finish_line(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return Line{next_index_++, text};
}

Result<std::optional<Line>> Utf8FileLines::next() {
  if (failure_) return fail(*failure_);
  pending_.clear();
  bool partial = false;  // part of the line already sits in pending_
  for (;;) {
    if (begin_ == end_) {
      const Result<bool> more = refill();
      if (!more) {
        failure_ = more.error();
        return fail(*failure_);
      }
      if (!*more) {
        if (!partial) return std::optional<Line>();
        return std::optional<Line>(finish_line(pending_));
      }
    }
    const char* first = buffer_.data() + begin_;
    const char* last = buffer_.data() + end_;
    const auto* newline = static_cast<const char*>(std::memchr(first, '\n', end_ - begin_));
    if (newline == nullptr) {
      append_capped(first, last);
      partial = true;
      begin_ = end_;
      continue;
    }
    begin_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;
    if (!partial) {
      // The common case: the whole line lies in the buffer.
      const std::size_t length = std::min(static_cast<std::size_t>(newline - first), kMaxLineBytes);
      return std::optional<Line>(finish_line({first, length}));
    }
    append_capped(first, newline);
    return std::optional<Line>(finish_line(pending_));
  }
}

}  // namespace skyloam
