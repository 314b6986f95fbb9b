// fuzz_seed_writer <folder>: writes the seed inputs of every fuzz target
// into <folder>/<target>/, one file per seed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seed_texts.hpp"
#include "testkit/crinex_writer.hpp"
#include "testkit/lzw_writer.hpp"

namespace fs = std::filesystem;
using namespace skyloam;
using namespace skyloam::fuzz;

namespace {

class SeedFolder {
 public:
  SeedFolder(const fs::path& root, const std::string& target) : folder_(root / target) {
    fs::create_directories(folder_);
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder_ / name).string());
  }
  void write_all(const std::string& stem, const std::vector<std::string>& texts) const {
    for (std::size_t i = 0; i < texts.size(); ++i) write(stem + std::to_string(i), texts[i]);
  }

 private:
  fs::path folder_;
};

void write_seeds(const fs::path& root) {
  const std::string r3 = rinex3_text({});
  const std::string r3_clock_crlf = rinex3_text({.epochs = 6, .clock = true, .crlf = true});
  const std::string r3_long = rinex3_text({.epochs = 40, .events = false});
  const std::string r4 = rinex3_text({.epochs = 4, .events = false}, "4.00");
  const std::string r2 = rinex2_text({});
  const std::string r2_short = rinex2_text({.epochs = 3, .events = false, .crlf = true});
  const std::string c3 = testing::write_crinex(rinex3_text({.events = false}));
  const std::string c3_clock = testing::write_crinex(rinex3_text({.epochs = 6, .clock = true}));
  const std::string c1 = testing::write_crinex(r2_short);

  const SeedFolder rinex(root, "fuzz_rinex");
  rinex.write("rinex3.rnx", r3);
  rinex.write("rinex3_clock_crlf.rnx", r3_clock_crlf);
  rinex.write("rinex3_long.rnx", r3_long);
  rinex.write("rinex4.rnx", r4);
  rinex.write("rinex2.rnx", r2);
  rinex.write("rinex2_crlf.rnx", r2_short);

  const SeedFolder crinex(root, "fuzz_crinex");
  crinex.write("crinex3.crx", c3);
  crinex.write("crinex3_clock.crx", c3_clock);
  crinex.write("crinex1.crx", c1);

  const SeedFolder gz(root, "fuzz_gzip");
  gz.write("rinex3.gz", gzip(r3));
  gz.write("rinex2.gz", gzip(r2_short));
  gz.write("crinex3.gz", gzip(c3));
  gz.write("two_members.gz", gzip(r4.substr(0, r4.size() / 2)) + gzip(r4.substr(r4.size() / 2)));

  const SeedFolder unix_z(root, "fuzz_unix_compress");
  unix_z.write("rinex3.Z", testing::write_unix_compress(r3));
  unix_z.write("rinex2_12bit.Z", testing::write_unix_compress(r2_short, {.max_bits = 12}));
  unix_z.write("crinex3_9bit.Z",
               testing::write_unix_compress(c3, {.max_bits = 9, .clear_when_full = true}));
  unix_z.write("rinex4_plain.Z", testing::write_unix_compress(r4, {.block_mode = false}));
  unix_z.write("rinex4_clears.Z", testing::write_unix_compress(r4, {.clear_every = 100}));

  const SeedFolder sp3(root, "fuzz_sp3");
  sp3.write("orbits.sp3", sp3_text());
  sp3.write("orbits_crlf.sp3", sp3_text(true));

  SeedFolder(root, "fuzz_nav").write_all("nav", nav_texts());
  SeedFolder(root, "fuzz_epoch").write_all("epoch", epoch_texts());
  SeedFolder(root, "fuzz_identifiers").write_all("identifier", identifier_texts());
  SeedFolder(root, "fuzz_code_filter").write_all("filter", code_filter_texts());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  try {
    write_seeds(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fuzz_seed_writer: %s\n", error.what());
    return 1;
  }
  return 0;
}
