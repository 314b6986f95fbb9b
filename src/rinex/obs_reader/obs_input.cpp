#include "rinex/obs_reader/obs_input.hpp"

#include <sys/stat.h>

#include "rinex/compressed/crinex_detect.hpp"
#include "rinex/compressed/unix_compress_source.hpp"
#include "rinex/obs_reader/file_source.hpp"
#include "rinex/obs_reader/gzip_source.hpp"
#include "rinex/obs_reader/line_splitter.hpp"
#include "rinex/obs_reader/memory_source.hpp"

namespace skyloam {

std::string_view last_path_component(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<std::string_view> file_extension(std::string_view path) {
  const std::string_view name = last_path_component(path);
  if (name == "." || name == "..") return std::nullopt;
  const std::size_t point = name.rfind('.');
  if (point == std::string_view::npos || point == 0) return std::nullopt;
  return name.substr(point + 1);
}

bool has_gzip_extension(std::string_view path) { return file_extension(path) == "gz"; }

std::unique_ptr<ByteSource> decompress_by_name(std::unique_ptr<ByteSource> raw,
                                               std::string_view name, ReopenBytes reopen) {
  const auto extension = file_extension(name);
  if (extension == "gz") return std::make_unique<GzipByteSource>(std::move(raw), std::move(reopen));
  if (extension == "Z") return std::make_unique<UnixCompressSource>(std::move(raw));
  return raw;
}

Result<std::unique_ptr<ByteSource>> open_file_bytes(const std::string& path) {
  struct stat metadata {};
  // A name with a NUL byte names no file (and would be cut short by the OS).
  if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &metadata) != 0) return fail(GnssError::file_not_found(path));
  return FileByteSource::open(path);
}

Result<std::unique_ptr<LineSource>> stack_obs_layers(std::unique_ptr<ByteSource> raw,
                                                     std::string_view name, ReopenBytes reopen) {
  return decode_if_crinex(
      std::make_unique<LineSplitter>(decompress_by_name(std::move(raw), name, std::move(reopen))));
}

Result<std::unique_ptr<LineSource>> open_obs_file(const std::string& path) {
  auto file = open_file_bytes(path);
  if (!file) return fail(std::move(file.error()));
  return stack_obs_layers(std::move(*file), path, [path] { return FileByteSource::open(path); });
}

Result<std::unique_ptr<LineSource>> open_obs_bytes(std::span<const char> data,
                                                   std::string_view name) {
  return stack_obs_layers(std::make_unique<MemoryByteSource>(data), name,
                          [data]() -> Result<std::unique_ptr<ByteSource>> {
                            return std::make_unique<MemoryByteSource>(data);
                          });
}

}  // namespace skyloam
