// SplitTime: an epoch cut into whole days and seconds of the day, so that
// the interval between two epochs costs two subtractions.
//
// seconds_between(split_time(a), split_time(b)) equals seconds_between(a, b)
// of utils/time exactly: both are the whole-day difference times 86400 plus
// the difference of the seconds of the day. Interpolation measures many
// records against one target; splitting each epoch once keeps that exact
// without recomputing Julian day numbers per record.
#pragma once

#include "utils/time/epoch.hpp"

namespace skyloam {

struct SplitTime {
  double day = 0.0;            // whole days since a fixed origin (an integer)
  double second_of_day = 0.0;  // hour * 3600 + minute * 60 + second
};

SplitTime split_time(const Epoch& epoch);

inline double seconds_between(const SplitTime& a, const SplitTime& b) {
  return (a.day - b.day) * 86400.0 + (a.second_of_day - b.second_of_day);
}

}  // namespace skyloam
