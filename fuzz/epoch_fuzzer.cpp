// The epoch parser (RINEX and ISO forms) and every conversion of what it
// accepts. A valid date-time of the years 0 to 9999 written as ISO text
// must read back as the same instant (to the millisecond the text keeps).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_check.hpp"
#include "utils/time/calendar.hpp"
#include "utils/time/epoch.hpp"

using namespace skyloam;

namespace {

bool valid_date_time(const Epoch& e) {
  return is_valid_date(e.year, e.month, e.day) && e.hour <= 23 && e.minute <= 59 &&
         e.second >= 0.0 && e.second < 60.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Result<Epoch> parsed = parse_epoch(fuzz::as_text(data, size));
  if (!parsed) {
    FUZZ_CHECK(!parsed.error().display().empty(), "a failure without a text");
    return 0;
  }
  const Epoch& e = *parsed;
  const std::string iso = to_iso(e);
  FUZZ_CHECK(!iso.empty() && iso.back() == 'Z', "ISO text without its Z");
  (void)unix_seconds(e);
  (void)to_gps_time(e);
  const std::uint32_t day = day_of_year(e);
  FUZZ_CHECK(day >= 1 && day <= 366, "a day of the year outside 1..366");
  (void)julian_date(e);
  if (std::isfinite(e.second)) {
    FUZZ_CHECK(seconds_between(e, e) == 0.0, "an epoch is not 0 s from itself");
    FUZZ_CHECK(!epoch_before(e, e), "an epoch lies before itself");
  }

  if (valid_date_time(e) && e.year >= 0 && e.year <= 9999) {
    const Result<Epoch> again = parse_epoch(iso);
    FUZZ_CHECK(again.has_value(), "the ISO text of an epoch does not parse");
    FUZZ_CHECK(valid_date_time(*again), "the ISO text reads back as an invalid date-time");
    // The text keeps truncated milliseconds; reading it back may truncate
    // once more by one binary rounding step.
    FUZZ_CHECK(std::llabs(unix_millis(*again) - unix_millis(e)) <= 1,
               "the ISO text reads back as another instant");
  }
  return 0;
}
