#include "support/test_data.hpp"

#include <cstdlib>

namespace skyloam::testing {

std::filesystem::path testdata_dir() {
  if (const char* override_dir = std::getenv("SKYLOAM_TESTDATA")) return override_dir;
  return SKYLOAM_TESTDATA_DIR;
}

bool testdata_available() { return std::filesystem::is_directory(testdata_dir()); }

std::string testdata_path(const std::string& relative) { return (testdata_dir() / relative).string(); }

}  // namespace skyloam::testing
