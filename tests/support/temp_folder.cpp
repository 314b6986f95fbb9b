#include "support/temp_folder.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace skyloam::testing {

TempFolder::TempFolder() {
  std::filesystem::path unique_name = ::testing::TempDir();
  unique_name /= "skyloam_XXXXXX";  // mkdtemp replaces the X's
  std::string pattern = unique_name.string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + pattern);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::write(std::string_view name, std::string_view bytes) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

}  // namespace skyloam::testing
