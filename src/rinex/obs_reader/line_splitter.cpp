#include "rinex/obs_reader/line_splitter.hpp"

#include <algorithm>
#include <cstring>

#include "rinex/obs_reader/utf8.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 18;
constexpr std::size_t kMaxCapacity = kMaxLineBytes + 2 * kReadChunk;

}  // namespace

LineSplitter::LineSplitter(std::unique_ptr<ByteSource> bytes) : bytes_(std::move(bytes)) {}

GnssError LineSplitter::fail_with(GnssError error) {
  done_ = true;
  return error;
}

Result<std::optional<Line>> LineSplitter::next() {
  if (done_) return std::optional<Line>{};
  std::size_t line_end = 0;
  std::size_t consumed_end = 0;
  for (;;) {
    if (scanned_ < end_) {
      const char* base = buffer_.get();
      const void* newline = std::memchr(base + scanned_, '\n', end_ - scanned_);
      if (newline != nullptr) {
        line_end = static_cast<std::size_t>(static_cast<const char*>(newline) - base);
        consumed_end = line_end + 1;
        if (line_end > begin_ && base[line_end - 1] == '\r') --line_end;
        break;
      }
      scanned_ = end_;
      if (end_ - begin_ > kMaxLineBytes) drop_overlong_tail();
    }
    if (at_end_) {
      if (begin_ == end_) {
        done_ = true;
        return std::optional<Line>{};
      }
      line_end = consumed_end = end_;
      break;
    }
    auto more = fill();
    if (!more) return fail(fail_with(std::move(more.error())));
  }
  if (malformed_ && *malformed_ < consumed_end) {
    return fail(fail_with(GnssError::io("stream did not contain valid UTF-8")));
  }
  const std::size_t text_end = std::min(line_end, begin_ + kMaxLineBytes);
  const Line line{next_index_++, std::string_view(buffer_.get() + begin_, text_end - begin_)};
  begin_ = scanned_ = consumed_end;
  return std::optional<Line>{line};
}

Result<bool> LineSplitter::fill() {
  make_room();
  const std::size_t want = std::min(kReadChunk, capacity_ - end_);
  auto got = bytes_->read(std::span<char>(buffer_.get() + end_, want));
  if (!got) return fail(std::move(got.error()));
  if (*got == 0) at_end_ = true;
  end_ += *got;
  check_utf8();
  return !at_end_;
}

void LineSplitter::make_room() {
  if (capacity_ - end_ >= kReadChunk) return;
  if (begin_ > 0) {
    const std::size_t pending = end_ - begin_;
    std::memmove(buffer_.get(), buffer_.get() + begin_, pending);
    scanned_ -= begin_;
    checked_ = checked_ > begin_ ? checked_ - begin_ : 0;
    if (malformed_) *malformed_ = *malformed_ > begin_ ? *malformed_ - begin_ : 0;
    end_ = pending;
    begin_ = 0;
    if (capacity_ - end_ >= kReadChunk) return;
  }
  // The pending line fills the buffer: grow it (an overlong line is cut down
  // by drop_overlong_tail before the buffer reaches its largest size).
  const std::size_t grown = std::min(std::max(2 * capacity_, 2 * kReadChunk), kMaxCapacity);
  auto larger = std::make_unique_for_overwrite<char[]>(grown);
  if (end_ > 0) std::memcpy(larger.get(), buffer_.get(), end_);
  buffer_ = std::move(larger);
  capacity_ = grown;
}

void LineSplitter::check_utf8() {
  if (malformed_) return;
  const char* base = buffer_.get();
  const std::size_t target =
      at_end_ ? end_ : checked_ + complete_utf8_prefix(base + checked_, end_ - checked_);
  const std::size_t valid = valid_utf8_prefix(base + checked_, target - checked_);
  if (valid < target - checked_) malformed_ = checked_ + valid;
  checked_ += valid;
}

void LineSplitter::drop_overlong_tail() {
  const std::size_t keep = begin_ + kMaxLineBytes;
  if (malformed_) {
    // The line is bad wherever the byte was; remember it inside the prefix.
    *malformed_ = std::min(*malformed_, begin_);
    end_ = scanned_ = checked_ = keep;
    return;
  }
  // Keep the bytes of a character cut by the end of the buffer, unchecked.
  const std::size_t from = std::max(checked_, keep);
  std::memmove(buffer_.get() + keep, buffer_.get() + from, end_ - from);
  end_ = scanned_ = keep + (end_ - from);
  checked_ = std::min(checked_, keep);
}

}  // namespace skyloam
