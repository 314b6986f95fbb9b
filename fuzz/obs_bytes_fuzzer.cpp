// Observation files held in memory, under the file name FUZZ_FILE_NAME
// (which picks the decompression layers; compact RINEX is recognised by its
// content). After the ordinary read, the body is also read with the grammar
// the header did not choose, so every input exercises both grammars.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.hpp"
#include "obs_invariants.hpp"
#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/header_reader.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "rinex/obs_reader/obs_input.hpp"

#ifndef FUZZ_FILE_NAME
#error "FUZZ_FILE_NAME names the file the input stands for"
#endif

using namespace skyloam;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto bytes = fuzz::as_chars(data, size);
  fuzz::check_obs_result(read_obs_bytes(bytes, FUZZ_FILE_NAME));

  auto lines = open_obs_bytes(bytes, FUZZ_FILE_NAME);
  if (!lines) return 0;
  auto header = read_header(**lines);
  if (!header) return 0;
  const bool rinex2 = header->version.major == RinexGeneration::V2;
  fuzz::check_obs_result(rinex2 ? read_rinex3_body(**lines, std::move(*header))
                                : read_rinex2_body(**lines, std::move(*header)));
  return 0;
}
