// FileByteSource: the bytes of a file on disk, read with plain system calls.
//
// Opening fails with the Io kind and the system's description (a missing
// file included; callers that owe the FileNotFound kind check first). A read
// failure, such as reading a directory, is an Io error too.
#pragma once

#include <memory>
#include <string>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// The Io error of the current `errno` value.
GnssError io_error_from_errno(int error_number);

class FileByteSource final : public ByteSource {
 public:
  static Result<std::unique_ptr<ByteSource>> open(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  explicit FileByteSource(int descriptor) : descriptor_(descriptor) {}
  int descriptor_;
};

}  // namespace skyloam
