// The system, satellite and observation-code parsers. Whatever they accept
// prints as a text that parses back to the same value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.hpp"
#include "rinex/types/gnss_system.hpp"
#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"

using namespace skyloam;

namespace {

void check_system(std::string_view text) {
  const Result<GnssSystem> system = parse_system(text);
  if (!system) {
    const std::string message = system.error().display();
    FUZZ_CHECK(message == "Empty system code" || message.starts_with("Unknown system: "),
               "an unexpected system failure text");
    return;
  }
  const char code = system_code(*system);
  const Result<GnssSystem> again = parse_system(std::string(1, code));
  FUZZ_CHECK(again && *again == *system, "a system's code letter names another system");
  FUZZ_CHECK(system_from_letter(code) == *system, "system_from_letter disagrees");
}

void check_satellite(std::string_view text) {
  const std::optional<Satellite> satellite = parse_satellite(text);
  if (!satellite) return;
  const std::string printed = to_string(*satellite);
  FUZZ_CHECK(printed.size() >= 3 && printed.front() == system_code(satellite->system),
             "a satellite's text form is not its letter and two or more digits");
  const std::optional<Satellite> again = parse_satellite(printed);
  FUZZ_CHECK(again && *again == *satellite, "a satellite's text form parses to another satellite");
  FUZZ_CHECK((*satellite <=> *again) == 0 && sort_key(*satellite) == sort_key(*again),
             "equal satellites do not order as equal");
}

void check_obs_code(std::string_view text) {
  const std::optional<ObsCode> code = parse_obs_code(text);
  if (!code) return;
  FUZZ_CHECK(code->band <= 9, "a band that is not one digit");
  FUZZ_CHECK(code->attribute < 'a' || code->attribute > 'z', "an attribute left in lower case");
  const std::string printed = to_string(*code);
  FUZZ_CHECK(printed.size() == 3, "a code's text form is not three bytes");
  const std::optional<ObsCode> again = parse_obs_code(printed);
  FUZZ_CHECK(again && *again == *code, "a code's text form parses to another code");
  FUZZ_CHECK(compare_text(*code, *again) == 0 && pack(*code) == pack(*again),
             "equal codes do not compare as equal");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::as_text(data, size);
  check_system(text);
  check_satellite(text);
  check_obs_code(text);
  return 0;
}
