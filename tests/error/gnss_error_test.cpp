#include "error/gnss_error.hpp"

#include <gtest/gtest.h>

namespace skyloam {
namespace {

TEST(GnssError, DisplaysPayloadInItsFixedText) {
  EXPECT_EQ(GnssError::rinex_parse(12, "Epoch line too short").display(),
            "RINEX parsing error at line 12: Epoch line too short");
  EXPECT_EQ(GnssError::message("Integer parse error: invalid digit found in string").display(),
            "Integer parse error: invalid digit found in string");
  EXPECT_EQ(GnssError(ErrorKind::InvalidSystem, "X").display(), "Invalid GNSS system: X");
  EXPECT_EQ(GnssError::convergence(7, "no").display(), "Failed to converge after 7 iterations: no");
  EXPECT_EQ(GnssError::invalid_format("RINEX", "SP3").display(),
            "Invalid file format: expected RINEX, got SP3");
  EXPECT_EQ(GnssError::satellite_not_found("G01", "2024").display(),
            "Satellite G01 not found in ephemeris at epoch 2024");
  EXPECT_EQ(GnssError::file_not_found("/x").display(), "File not found: /x");
  EXPECT_EQ(GnssError(ErrorKind::Plotting, "p").display(), "R plotting error: p");
}

TEST(GnssError, ResultCarriesValueOrError) {
  const Result<int> ok = 3;
  const Result<int> bad = fail(GnssError::io("disk"));
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(*ok, 3);
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(bad.error().kind(), ErrorKind::Io);
  EXPECT_EQ(bad.error().display(), "I/O error: disk");
}

}  // namespace
}  // namespace skyloam
