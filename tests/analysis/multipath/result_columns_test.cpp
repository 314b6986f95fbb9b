#include "analysis/multipath/result_columns.hpp"

#include <gtest/gtest.h>

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
