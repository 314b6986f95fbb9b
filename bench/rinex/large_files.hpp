// Large observation files for the reader benchmark, made from real ones.
//
// The body of a source file is written again and again behind its header,
// each copy with its epoch dates moved on by one more day, until the text
// reaches the wanted size. A gzip twin (one member, level 6) is written too.
#pragma once

#include <cstddef>
#include <string>

namespace skyloam::bench {

enum class Grammar { Rinex2, Rinex3 };

struct LargeFile {
  std::string plain_path;
  std::string gzip_path;
  std::size_t plain_bytes = 0;
  int copies = 0;
};

// Reads `source` (plain or gzip) and writes `<folder>/<stem>` and
// `<folder>/<stem>.gz`. Throws std::runtime_error on I/O failures.
LargeFile make_large_file(const std::string& source, Grammar grammar, const std::string& folder,
                          const std::string& stem, std::size_t min_bytes);

}  // namespace skyloam::bench
