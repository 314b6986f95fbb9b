#include "analysis/multipath/estimate_store.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::sat;

template <class T>
std::vector<T> all(const Column<T>& column) {
  return {column.values().begin(), column.values().end()};
}

TEST(EstimateStore, ArcsAppendedInOrderWithSatellitesAndSignalsNumberedInSortedOrder) {
  EstimateStoreBuilder builder;
  builder.reserve(100);
  const double absent = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* satellite;
    const char* signal;
    std::int32_t arc;
    std::vector<double> mp;
  } arcs[] = {{"R09", "C1C", 0, {0.5}}, {"G02", "C1W", 1, {0.25, -0.5}}, {"E05", "C1C", 0, {1.0}}};
  std::int64_t ms = -1;
  for (const auto& arc : arcs) {
    const ArcRows rows =
        builder.append(sat(arc.satellite), code(arc.signal), arc.arc, arc.mp.size());
    for (std::size_t i = 0; i < arc.mp.size(); ++i, ms += 1000) {
      rows.mp[i] = arc.mp[i];
      rows.time_ms[i] = ms;
      rows.time[i] = static_cast<double>(ms) / 1000.0;
      rows.snr[i] = i == 0 ? 40.0 : absent;
    }
  }
  EXPECT_EQ(builder.size(), 4u);
  const EstimateStore store = std::move(builder).finish();

  EXPECT_EQ(store.satellites(), (std::vector{sat("E05"), sat("G02"), sat("R09")}));
  EXPECT_EQ(store.signals(), (std::vector{code("C1C"), code("C1W")}));
  EXPECT_EQ(all(store.satellite()), (std::vector<std::int32_t>{2, 1, 1, 0}));
  EXPECT_EQ(all(store.signal()), (std::vector<std::int32_t>{0, 1, 1, 0}));
  EXPECT_EQ(all(store.arc()), (std::vector<std::int32_t>{0, 1, 1, 0}));
  EXPECT_EQ(all(store.mp()), (std::vector{0.5, 0.25, -0.5, 1.0}));
  EXPECT_EQ(all(store.elevation()), std::vector<double>(4, kPlaceholderElevation));
  EXPECT_EQ(all(store.azimuth()), std::vector<double>(4, kPlaceholderAzimuth));

  const MpEstimate row = store.row(2);
  EXPECT_EQ(row.satellite, sat("G02"));
  EXPECT_EQ(row.signal, code("C1W"));
  EXPECT_EQ(row.time_ms, 1999);
  EXPECT_EQ(row.mp_value, -0.5);
  EXPECT_EQ(row.snr(), std::nullopt);
  EXPECT_EQ(store.row(0).snr(), 40.0);
}

}  // namespace
}  // namespace skyloam
