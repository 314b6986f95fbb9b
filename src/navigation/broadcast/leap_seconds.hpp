// GPS time minus UTC, for the GLONASS ephemerides, which are dated in UTC.
//
// The built-in table holds every leap second since the GPS origin (18 s
// from 2017-01-01) and is known to be complete up to kLeapTableKnownUntil.
// Up to then it is the authority: a file's LEAP SECONDS line states the
// count when the file was written, which is wrong for the records of a file
// that spans a leap second. After that date a count from the header, when
// given, wins: it may know of a leap second the table does not.
#pragma once

#include <cstdint>
#include <optional>

namespace skyloam {

// 2025-07-01 00:00:00 UTC in seconds since the GPS origin (UTC fields).
inline constexpr double kLeapTableKnownUntil = 1435363200.0;

// GPS - UTC at a UTC instant given as seconds since 1980-01-06 (UTC fields);
// 0 before the first leap second of 1981-07-01.
std::int32_t tabulated_leap_seconds(double utc_seconds);

class LeapSeconds {
 public:
  // `header`: GPS - UTC as the file's header states it, if it does.
  explicit LeapSeconds(std::optional<std::int32_t> header = std::nullopt) : header_(header) {}

  std::int32_t at_utc(double utc_seconds) const;

 private:
  std::optional<std::int32_t> header_;
};

}  // namespace skyloam
