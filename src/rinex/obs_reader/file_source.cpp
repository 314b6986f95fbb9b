#include "rinex/obs_reader/file_source.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace skyloam {

GnssError io_error_from_errno(int error_number) {
  return GnssError::io(std::error_code(error_number, std::system_category()).message());
}

Result<std::unique_ptr<ByteSource>> FileByteSource::open(const std::string& path) {
  int descriptor = -1;
  do {
    descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return fail(io_error_from_errno(errno));
  ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::unique_ptr<ByteSource>(new FileByteSource(descriptor));
}

FileByteSource::~FileByteSource() { ::close(descriptor_); }

Result<std::size_t> FileByteSource::read(std::span<char> buffer) {
  for (;;) {
    const ssize_t got = ::read(descriptor_, buffer.data(), buffer.size());
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return fail(io_error_from_errno(errno));
  }
}

}  // namespace skyloam
