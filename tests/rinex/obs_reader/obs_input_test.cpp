#include "rinex/obs_reader/obs_input.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gzip_text.hpp"
#include "rinex_text.hpp"
#include "support/temp_folder.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::field;
using testing::gzip_member;
using testing::header_line;
using testing::read_text;
using testing::version_line;

namespace fs = std::filesystem;

std::string small_rinex3() {
  return version_line("3.04") + header_line("G    1 S1C", "SYS / # / OBS TYPES") + end_of_header() +
         "> 2024 01 15 00 00 30.0000000  0  1\n" + "G01" + field("45.0") + "\n";
}

class ObsFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    return folder_.write(name, bytes).string();
  }

  testing::TempFolder folder_;
};

TEST(ObsInput, ExtensionRule) {
  EXPECT_TRUE(has_gzip_extension("ESBC.rnx.gz"));
  EXPECT_TRUE(has_gzip_extension("/data/x.24o.gz"));
  EXPECT_TRUE(has_gzip_extension("dir.d/file.gz/"));
  EXPECT_FALSE(has_gzip_extension("x.24o.GZ"));
  EXPECT_FALSE(has_gzip_extension("x.gzip"));
  EXPECT_FALSE(has_gzip_extension(".gz"));
  EXPECT_FALSE(has_gzip_extension("dir.gz/.gz"));
  EXPECT_FALSE(has_gzip_extension("dir.gz/plain"));
  EXPECT_FALSE(has_gzip_extension(""));
  EXPECT_TRUE(has_gzip_extension("..gz"));
  EXPECT_EQ(file_extension("a.b.c"), "c");
  EXPECT_EQ(file_extension("name."), "");
  EXPECT_FALSE(file_extension(".."));
  EXPECT_EQ(last_path_component("a/b/c.rnx"), "c.rnx");
}

TEST_F(ObsFiles, PlainAndGzipFilesByName) {
  const std::string text = small_rinex3();
  for (const std::string& path : {write("a.24o", text), write("a.24o.gz", gzip_member(text))}) {
    const auto data = read_obs_file(path);
    ASSERT_TRUE(data) << path << ": " << data.error().display();
    EXPECT_EQ(data->observation_count(), 1u);
  }
  // Gzip data under an upper-case extension is read as text.
  const auto upper = read_obs_file(write("a.24o.GZ", gzip_member(text)));
  ASSERT_FALSE(upper);
  EXPECT_EQ(upper.error().display(), "I/O error: stream did not contain valid UTF-8");
  // Plain text named .gz fails in the decompressor.
  const auto plain_gz = read_obs_file(write("b.24o.gz", text));
  ASSERT_FALSE(plain_gz);
  EXPECT_EQ(plain_gz.error().kind(), ErrorKind::Io);
}

TEST_F(ObsFiles, MissingFilesAndDirectories) {
  const std::string missing = (folder_.path() / "none.rnx").string();
  const auto absent = read_obs_file(missing);
  ASSERT_FALSE(absent);
  EXPECT_EQ(absent.error().display(), "File not found: " + missing);
  EXPECT_EQ(read_obs_file(std::string("a\0b", 3)).error().kind(), ErrorKind::FileNotFound);

  const auto directory = read_obs_file(folder_.path().string());
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().kind(), ErrorKind::Io);
  EXPECT_EQ(directory.error().display().rfind("I/O error: ", 0), 0u);
}

TEST_F(ObsFiles, MultiMemberGzipIsReadWhole) {
  const std::string text = small_rinex3();
  const std::size_t body = text.find('>');
  const std::string path =
      write("two.rnx.gz", gzip_member(text.substr(0, body)) + gzip_member(text.substr(body)));
  const auto data = read_obs_file(path);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->epochs().size(), 1u);
}

TEST(ObsBytes, ParsedInMemoryWithTheNameDecidingGzip) {
  const std::string text = small_rinex3();
  const std::string zipped = gzip_member(text);
  auto data = read_obs_bytes(std::span<const char>(zipped), "site.24o.gz");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->observation_count(), 1u);
  data = read_obs_bytes(std::span<const char>(zipped), "site.24o");
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().display(), "I/O error: stream did not contain valid UTF-8");

  const auto empty = read_text("", "empty.rnx");
  ASSERT_TRUE(empty);
  EXPECT_EQ(to_string(empty->header().version), "3.05");
  EXPECT_TRUE(empty->epochs().empty());
}

TEST(ObsBytes, FileNamesNeverTouchTheFileSystem) {
  const testing::TempFolder folder;
  const fs::path target = folder.path() / "probe.rnx";
  for (const std::string& name :
       {target.string(), (folder.path() / "x" / ".." / "probe.rnx.gz").string(),
        (folder.path() / "no/such/dir/x.rnx.gz").string()}) {
    const std::string text = small_rinex3();
    const auto data = has_gzip_extension(name) ? read_text(gzip_member(text), name) : read_text(text, name);
    EXPECT_TRUE(data) << name;
  }
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace skyloam
