#include "navigation/sp3/split_time.hpp"

#include <cstdint>

namespace skyloam {

SplitTime split_time(const Epoch& epoch) {
  // Midnights are whole days apart, so the quotient is an exact integer (for
  // any year within some 280 million years of the origin).
  static constexpr Epoch kOrigin{2000, 1, 1, 0, 0, 0.0};
  const Epoch midnight{epoch.year, epoch.month, epoch.day, 0, 0, 0.0};
  const std::int64_t whole_seconds = static_cast<std::int64_t>(epoch.hour) * 3600 +
                                     static_cast<std::int64_t>(epoch.minute) * 60;
  return {seconds_between(midnight, kOrigin) / 86400.0,
          static_cast<double>(whole_seconds) + epoch.second};
}

}  // namespace skyloam
