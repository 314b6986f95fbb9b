// A folder of the test's own, unique to this process and this object, under
// the test temporary folder; removed with everything in it when the object
// goes. Tests run in parallel and beside other runs, so none may share a
// fixed name there.
#pragma once

#include <filesystem>
#include <string_view>

namespace skyloam::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` to a file of that name in the folder; returns its path.
  std::filesystem::path write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace skyloam::testing
