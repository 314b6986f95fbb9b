// Utf8FileLines: the lines of a file, read through a fixed buffer, for the
// SP3 reader.
//
// Lines end at "\n"; the "\n" and one "\r" before it are removed, and a last
// line without "\n" still counts. The whole byte stream must be valid UTF-8:
// otherwise `next()` fails with the Io kind and the text "stream did not
// contain valid UTF-8" (before handing out the line that holds the bad byte).
// Open and read failures are the Io kind with the operating system's
// description. After a failure the source keeps returning that failure.
//
// Memory stays bounded whatever the input: a line longer than
// kMaxLineBytes is handed out cut to its first kMaxLineBytes bytes (the rest
// is still validated, then skipped). SP3 lines are 80 bytes, so nothing a
// reader looks at is lost.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "error/gnss_error.hpp"
#include "navigation/sp3/utf8_validator.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

class Utf8FileLines final : public LineSource {
 public:
  static constexpr std::size_t kMaxLineBytes = 4096;
  static constexpr std::size_t kBufferBytes = 64 * 1024;

  static Result<Utf8FileLines> open(const std::filesystem::path& path);

  Result<std::optional<Line>> next() override;

 private:
  struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  explicit Utf8FileLines(std::FILE* file);
  // Reads the next chunk into the buffer; false at the end of the file.
  Result<bool> refill();
  void append_capped(const char* begin, const char* end);
  Line finish_line(std::string_view text);

  std::unique_ptr<std::FILE, CloseFile> file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // unread part of the buffer: [begin_, end_)
  std::size_t end_ = 0;
  bool at_end_ = false;
  std::string pending_;  // a line that spans refills
  std::size_t next_index_ = 0;
  Utf8Validator validator_;
  std::optional<GnssError> failure_;
};

// "<description> (os error <n>)" for an errno value, as the Io kind's text.
GnssError io_error_from_errno(int error_number);

}  // namespace skyloam
