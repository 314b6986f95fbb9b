#include "analysis/multipath/analysed_epochs.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "rinex/obs_reader/obs_file.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

constexpr auto kFirstYear = static_cast<std::int32_t>(kMinCalendarYear);
constexpr auto kLastYear = static_cast<std::int32_t>(kMaxCalendarYear);

// An estimate keeps only its milliseconds; its ISO text must be the one its
// calendar time gives.
void expect_same_text(const CalendarTime& time) {
  ASSERT_EQ(format_iso(calendar_from_millis(calendar_millis(time))), format_iso(time));
}

TEST(CalendarFromMillis, NamesTheSameIsoTextAsTheCalendarTime) {
  const Epoch epochs[] = {
      {1970, 1, 1, 0, 0, 0.0},           {1969, 12, 31, 23, 59, 59.9996},
      {1900, 3, 1, 0, 0, 0.0005},        {-1, 12, 31, 23, 59, 59.999},
      {-4, 2, 29, 12, 0, 0.001},         {kFirstYear, 1, 1, 0, 0, 0.0},
      {2024, 2, 29, 23, 59, 59.9999},    {2000, 2, 29, 0, 0, 0.0},
      {2100, 3, 1, 0, 0, 0.0},           {kLastYear, 12, 31, 23, 59, 59.9999999},
      {2024, 1, 15, 0, 0, 30.25},
  };
  for (const Epoch& epoch : epochs) expect_same_text(to_calendar_time(epoch));
  EXPECT_EQ(format_iso(calendar_from_millis(-1)), "1969-12-31T23:59:59.999Z");
  EXPECT_EQ(format_iso(calendar_from_millis(951868799999)), "2000-02-29T23:59:59.999Z");
}

TEST(CalendarFromMillis, EveryEpochOfTheRealFiles) {
  SKYLOAM_REQUIRE_TESTDATA();
  std::size_t epochs = 0;
  for (const char* folder : {"rinex2", "rinex3", "rinex4", "misc"}) {
    for (const auto& entry : std::filesystem::directory_iterator(testing::testdata_path(folder))) {
      const auto data = read_obs_file(entry.path().string());
      if (!data) continue;
      const std::vector<const ObsEpoch*> all = thin_epochs(*data, std::nullopt);
      const EpochTimes times(all);
      for (std::size_t i = 0; i < times.size(); ++i, ++epochs) {
        ASSERT_EQ(format_iso(calendar_from_millis(times.millis(i))),
                  format_iso(times.calendar(i)))
            << entry.path() << " epoch " << i;
      }
    }
  }
  EXPECT_GT(epochs, 15000u);
}

}  // namespace
}  // namespace skyloam
