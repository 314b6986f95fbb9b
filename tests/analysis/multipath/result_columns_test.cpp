#include "analysis/multipath/result_columns.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::sat;

constexpr std::int64_t kDay = 19737;  // 2024-01-15

template <class T>
std::vector<T> all(const Column<T>& column) {
  return {column.values().begin(), column.values().end()};
}

TEST(EstimateColumns, FieldsInRecordOrderWithTextsAsIndicesInSortedOrder) {
  const std::vector<MpEstimate> estimates = {
      {{kDay, 30, 1'500'000}, 0.25, 12.5, 200.0, 0.0, sat("G02"), code("C1W"), false, 1},
      // Before 1970: the milliseconds are the floor of the exact time.
      {{-1, 86399, 999'600'000}, -0.5, 45.0, 0.0, 41.25, sat("E05"), code("C1C"), true, 0},
      {{kDay, 60, 0}, 1.0, 80.0, 10.0, 38.0, sat("G02"), code("C1C"), true, 3},
  };
  const EstimateColumns c = estimate_columns(estimates);
  EXPECT_EQ(c.time[0], 1705276830.0015);
  EXPECT_NEAR(c.time[1], -0.0004, 1e-12);
  EXPECT_EQ(c.time[2], 1705276860.0);
  EXPECT_EQ(all(c.time_ms), (std::vector<std::int64_t>{1705276830001, -1, 1705276860000}));
  EXPECT_EQ(all(c.mp), (std::vector<double>{0.25, -0.5, 1.0}));
  EXPECT_EQ(all(c.elevation), (std::vector<double>{12.5, 45.0, 80.0}));
  EXPECT_EQ(all(c.azimuth), (std::vector<double>{200.0, 0.0, 10.0}));
  EXPECT_TRUE(std::isnan(c.snr[0]));
  EXPECT_EQ(c.snr[1], 41.25);
  EXPECT_EQ(c.snr[2], 38.0);
  EXPECT_EQ(c.satellites, (std::vector<std::string>{"E05", "G02"}));
  EXPECT_EQ(all(c.satellite), (std::vector<std::int32_t>{1, 0, 1}));
  EXPECT_EQ(c.signals, (std::vector<std::string>{"C1C", "C1W"}));
  EXPECT_EQ(all(c.signal), (std::vector<std::int32_t>{1, 0, 0}));
  EXPECT_EQ(all(c.arc), (std::vector<std::int32_t>{1, 0, 3}));
}

TEST(EstimateColumns, RowsBuiltInChunksIndexOneSortedList) {
  // Long enough for several chunks, each seeing its satellites and codes in
  // another order than the sorted lists.
  const char* satellites[] = {"R09", "G30", "E02", "G01", "C19"};
  const char* codes[] = {"C7Q", "C1C", "C5X", "C2W"};
  std::vector<MpEstimate> estimates(1'500'000);
  for (std::size_t i = 0; i < estimates.size(); ++i) {
    const std::size_t run = i / 70'000;
    estimates[i] = {{kDay, static_cast<std::uint32_t>(i % 86400), 0}, 0.0, 20.0, 1.0, 0.0,
                    sat(satellites[(run * 3) % 5]), code(codes[(run * 7) % 4]), false, 0};
  }
  const EstimateColumns c = estimate_columns(estimates);
  EXPECT_EQ(c.satellites, (std::vector<std::string>{"C19", "E02", "G01", "G30", "R09"}));
  EXPECT_EQ(c.signals, (std::vector<std::string>{"C1C", "C2W", "C5X", "C7Q"}));
  for (std::size_t i = 0; i < estimates.size(); i += 997) {
    ASSERT_EQ(c.satellites[c.satellite[i]], to_string(estimates[i].satellite)) << i;
    ASSERT_EQ(c.signals[c.signal[i]], to_string(estimates[i].signal)) << i;
  }
}

TEST(EstimateColumns, NoEstimatesGiveEmptyColumns) {
  const EstimateColumns c = estimate_columns({});
  EXPECT_EQ(c.time.size() + c.snr.size() + c.arc.size() + c.time_ms.size(), 0u);
  EXPECT_TRUE(c.satellites.empty());
  EXPECT_TRUE(c.signals.empty());
}

TEST(SlipColumns, FirstCodeAsSignalAndEveryMethodListed) {
  const std::vector<SlipRecord> records = {
      {{kDay, 90, 0}, 0.3, 0.1, sat("R07"), {code("L2P"), code("L1C")}, 2, SlipMethod::Gf},
      {{kDay, 90, 0}, 1.0, 0.0, sat("G01"), {code("L1C")}, 1, SlipMethod::Lli},
      {{kDay, 120, 0}, 7.0, 5.0, sat("G01"), {}, 0, SlipMethod::CodePhase},
  };
  const SlipColumns c = slip_columns(records);
  EXPECT_EQ(all(c.time), (std::vector<double>{1705276890.0, 1705276890.0, 1705276920.0}));
  EXPECT_EQ(all(c.time_ms), (std::vector<std::int64_t>{1705276890000, 1705276890000,
                                                       1705276920000}));
  EXPECT_EQ(all(c.magnitude), (std::vector<double>{0.3, 1.0, 7.0}));
  EXPECT_EQ(all(c.threshold), (std::vector<double>{0.1, 0.0, 5.0}));
  EXPECT_EQ(c.satellites, (std::vector<std::string>{"G01", "R07"}));
  EXPECT_EQ(all(c.satellite), (std::vector<std::int32_t>{1, 0, 0}));
  EXPECT_EQ(c.signals, (std::vector<std::string>{"", "L1C", "L2P"}));
  EXPECT_EQ(all(c.signal), (std::vector<std::int32_t>{2, 1, 0}));
  EXPECT_EQ(c.methods, (std::vector<std::string>{"gf", "code_phase", "lli"}));
  EXPECT_EQ(all(c.method), (std::vector<std::int32_t>{0, 2, 1}));
}

}  // namespace
}  // namespace skyloam
