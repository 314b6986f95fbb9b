// Access to the shared real-world test files. Tests that need them call
// SKYLOAM_REQUIRE_TESTDATA() first, which skips with a clear message when the
// folder is absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace skyloam::testing {

// The shared test-data folder (may not exist).
std::filesystem::path testdata_dir();
bool testdata_available();
// testdata_dir() / relative.
std::string testdata_path(const std::string& relative);

}  // namespace skyloam::testing

#define SKYLOAM_REQUIRE_TESTDATA()                                                        \
  do {                                                                                    \
    if (!::skyloam::testing::testdata_available())                                        \
      GTEST_SKIP() << "shared test data not found at "                                    \
                   << ::skyloam::testing::testdata_dir() << " (needs ../shared/testdata)"; \
  } while (0)
