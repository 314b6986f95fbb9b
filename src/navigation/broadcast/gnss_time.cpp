#include "navigation/broadcast/gnss_time.hpp"

#include <cmath>

#include "utils/time/calendar.hpp"

namespace skyloam {
namespace {

const std::int64_t kGpsOriginDay = days_from_civil(1980, 1, 6);

}  // namespace

std::optional<double> seconds_since_gps_origin(const Epoch& epoch) {
  if (!is_valid_date(epoch.year, epoch.month, epoch.day) || epoch.hour > 23 || epoch.minute > 59 ||
      !(epoch.second >= 0.0 && epoch.second < 61.0)) {
    return std::nullopt;
  }
  const std::int64_t days = days_from_civil(epoch.year, epoch.month, epoch.day) - kGpsOriginDay;
  const double of_day = epoch.hour * 3600.0 + epoch.minute * 60.0 + epoch.second;
  return static_cast<double>(days) * kSecondsPerDay + of_day;
}

double time_of_week_near(double seconds_of_week, double near) {
  const double week_start = std::floor(near / kSecondsPerWeek) * kSecondsPerWeek;
  double time = week_start + seconds_of_week;
  if (time - near > kSecondsPerWeek / 2) time -= kSecondsPerWeek;
  if (near - time > kSecondsPerWeek / 2) time += kSecondsPerWeek;
  return time;
}

}  // namespace skyloam
