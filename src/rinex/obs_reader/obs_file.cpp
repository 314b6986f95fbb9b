#include "rinex/obs_reader/obs_file.hpp"

#include <string>

#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/obs_input.hpp"

namespace skyloam {

Result<ObsData> read_obs_file(std::string_view path) {
  auto lines = open_obs_file(std::string(path));
  if (!lines) return fail(std::move(lines.error()));
  return read_obs(**lines);
}

Result<ObsData> read_obs_bytes(std::span<const char> data, std::string_view filename) {
  auto lines = open_obs_bytes(data, filename);
  if (!lines) return fail(std::move(lines.error()));
  return read_obs(**lines);
}

}  // namespace skyloam
