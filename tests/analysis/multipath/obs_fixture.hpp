// Small observation data sets whose every number the test controls.
//
//   ObsFixture f;
//   f.epoch(0).sat("G01").obs("C1C", 2.2e7).obs("L1C", 1.1e8, 1);
//   f.epoch(30).sat("G01")...;
//   const ObsData data = f.finish();
//
// Epoch times are seconds after 2024-01-15 00:00:00 (whole milliseconds).
// `GpsTrack` makes consistent code and phase values for one GPS satellite:
// a slowly moving range, fixed ambiguities and a chosen code multipath.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/multipath/signal_frequencies.hpp"
#include "geodesy/coordinates.hpp"
#include "rinex/obs_reader/obs_data.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam::testing {

inline Satellite sat(const char* id) { return *parse_satellite(id); }
inline ObsCode code(const char* text) { return *parse_obs_code(text); }

inline Epoch epoch_at(double seconds) {
  const auto whole = static_cast<std::int64_t>(std::floor(seconds));
  const CivilDate date = civil_from_days(days_from_civil(2024, 1, 15) + whole / 86400);
  Epoch e;
  e.year = static_cast<std::int32_t>(date.year);
  e.month = date.month;
  e.day = date.day;
  e.hour = static_cast<std::uint32_t>(whole % 86400 / 3600);
  e.minute = static_cast<std::uint32_t>(whole % 3600 / 60);
  e.second = static_cast<double>(whole % 60) + (seconds - static_cast<double>(whole));
  return e;
}

// One GPS satellite's observations at one epoch; NaN leaves a code out.
struct GpsObservations {
  double c1c, l1c, c2w, l2w, s1c;
  std::uint8_t l1c_lli = kNoIndicator;
};

// Milliseconds of epoch_at(0).
inline constexpr std::int64_t kFixtureStartMs = 1705276800000;

class ObsFixture {
 public:
  explicit ObsFixture(RinexObsHeader header = {}) : builder_(std::move(header)) {}

  ObsFixture& epoch(double seconds) { return epoch(epoch_at(seconds)); }
  ObsFixture& epoch(const Epoch& time) {
    commit();
    time_ = time;
    open_ = true;
    return *this;
  }
  ObsFixture& sat(const char* id) {
    builder_.begin_satellite(testing::sat(id));
    return *this;
  }
  ObsFixture& obs(const char* code_text, double value, std::uint8_t lli = kNoIndicator) {
    builder_.add(builder_.intern(code(code_text)), value, lli);
    return *this;
  }
  ObsFixture& gps(const char* id, const GpsObservations& v) {
    sat(id);
    const std::pair<const char*, double> values[] = {
        {"C1C", v.c1c}, {"L1C", v.l1c}, {"C2W", v.c2w}, {"L2W", v.l2w}, {"S1C", v.s1c}};
    for (const auto& [text, value] : values) {
      if (std::isnan(value)) continue;
      obs(text, value, std::string_view(text) == "L1C" ? v.l1c_lli : kNoIndicator);
    }
    return *this;
  }
  ObsData finish() {
    commit();
    return std::move(builder_).finish();
  }

 private:
  void commit() {
    if (open_) builder_.commit_epoch(time_, 0, std::nullopt);
    open_ = false;
  }

  ObsDataBuilder builder_;
  Epoch time_;
  bool open_ = false;
};

// Code and phase of a GPS satellite on bands 1 and 2 (or 5): range
// 2.2e7 m + 50 m/s, phase = range / wavelength + ambiguity, code = range +
// multipath. The multipath combination is then multipath + a constant.
struct GpsTrack {
  double l1_wavelength = kSpeedOfLight / 1575420000.0;
  double l2_wavelength = kSpeedOfLight / 1227600000.0;
  double ambiguity1 = 1000.0;  // cycles
  double ambiguity2 = -700.0;

  double range(double t) const { return 2.2e7 + 50.0 * t; }
  double code(double t, double multipath) const { return range(t) + multipath; }
  double phase1(double t) const { return range(t) / l1_wavelength + ambiguity1; }
  double phase2(double t) const { return range(t) / l2_wavelength + ambiguity2; }
  // Code multipath mp1 on C1C and mp2 on C2W; SNR 45 dB-Hz.
  GpsObservations at(double t, double mp1 = 0.0, double mp2 = 0.0) const {
    return {code(t, mp1), phase1(t), code(t, mp2), phase2(t), 45.0};
  }
};

}  // namespace skyloam::testing
