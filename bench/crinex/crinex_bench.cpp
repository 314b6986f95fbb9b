// Decoding speed of compact RINEX (CRINEX) and Unix compress (.Z), set
// against gunzip of the same observation data.
//
// Inputs are made in memory from the shared test data: a daily RINEX 3 file
// and a daily RINEX 2 file (both .gz) are gunzipped, turned into CRINEX by
// the test writer, gzipped again (.crx.gz, as data centres ship them) and
// LZW-compressed by the test .Z writer. Nothing is written to disk for
// these; each figure is the best of a few runs; throughput is counted in
// bytes of restored text (line ends included).
//
// Last, whole reads as archives ship a day: the ESBC day is written as
// .crx.gz into a fresh temporary folder (removed afterwards) and read with
// read_obs_file in a child process, against `zcat > /dev/null` of its
// .rnx.gz twin from the test data.
//
// Usage: crinex_bench [shared test-data folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "gzip_memory.hpp"
#include "read_runs.hpp"
#include "rinex/obs_reader/gzip_source.hpp"
#include "rinex/compressed/crinex_detect.hpp"
#include "rinex/compressed/unix_compress_source.hpp"
#include "testkit/crinex_writer.hpp"
#include "testkit/lzw_writer.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam::bench {
namespace {

using testing::LineSplitter;
using testing::ChunkedByteSource;

constexpr int kRuns = 5;

double best_seconds(const std::function<std::size_t()>& work, std::size_t& bytes) {
  double best = 1e300;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    bytes = work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

std::size_t count_bytes(LineSource& lines) {
  std::size_t bytes = 0;
  for (;;) {
    auto line = lines.next();
    if (!line) throw std::runtime_error(line.error().display());
    if (!*line) return bytes;
    bytes += (*line)->text.size() + 1;
  }
}

std::size_t read_all(ByteSource& source) {
  std::string buffer(1 << 16, '\0');
  std::size_t bytes = 0;
  for (;;) {
    auto got = source.read(buffer);
    if (!got) throw std::runtime_error(got.error().display());
    if (*got == 0) return bytes;
    bytes += *got;
  }
}

std::size_t split(const std::string& text) {
  LineSplitter lines(std::make_unique<ChunkedByteSource>(text));
  return count_bytes(lines);
}

std::size_t decode_crinex(std::unique_ptr<ByteSource> bytes) {
  auto lines = decode_if_crinex(std::make_unique<LineSplitter>(std::move(bytes)));
  if (!lines) throw std::runtime_error(lines.error().display());
  return count_bytes(**lines);
}

void report(const char* what, double seconds, std::size_t bytes) {
  std::printf("  %-52s %8.1f MB/s  %7.3f s  (%.1f MB)\n", what, bytes / seconds / 1e6, seconds, bytes / 1e6);
}

void measure(const std::string& name, const std::string& rnx_gz) {
  std::size_t bytes = 0;
  const std::string plain = gunzip(rnx_gz);
  std::printf("\n%s: %.1f MB of RINEX, %.1f MB as .gz\n", name.c_str(), plain.size() / 1e6, rnx_gz.size() / 1e6);

  const auto encode_start = std::chrono::steady_clock::now();
  const std::string crx = testing::write_crinex(plain);
  const std::chrono::duration<double> encode_took = std::chrono::steady_clock::now() - encode_start;
  const std::string crx_gz = gzip(crx);
  const std::string dot_z = testing::write_unix_compress(plain, {.max_bits = 16, .clear_when_full = true});
  std::printf("  made in memory: .crx %.1f MB (test writer, %.2f s), .crx.gz %.1f MB, .Z %.1f MB\n",
              crx.size() / 1e6, encode_took.count(), crx_gz.size() / 1e6, dot_z.size() / 1e6);

  const double gunzip_rnx = best_seconds([&] { return gunzip(rnx_gz).size(); }, bytes);
  report("gunzip .rnx.gz (zlib, into memory)", gunzip_rnx, bytes);
  const double split_rnx = best_seconds([&] { return split(plain); }, bytes);
  report("line splitting of the plain RINEX", split_rnx, bytes);
  const double split_crx = best_seconds([&] { return split(crx); }, bytes);
  report("line splitting of the .crx (input side)", split_crx, bytes);
  const double crinex = best_seconds([&] { return decode_crinex(std::make_unique<ChunkedByteSource>(crx)); }, bytes);
  report("CRINEX decode: .crx in memory -> restored lines", crinex, bytes);
  report("CRINEX layer alone (decode minus splitting the .crx)", crinex - split_crx, bytes);

  const double rnx_gz_stack = best_seconds(
      [&] {
        LineSplitter lines(std::make_unique<GzipByteSource>(std::make_unique<ChunkedByteSource>(rnx_gz)));
        return count_bytes(lines);
      },
      bytes);
  report(".rnx.gz stack: gunzip + split", rnx_gz_stack, bytes);
  const double crx_gz_stack = best_seconds(
      [&] { return decode_crinex(std::make_unique<GzipByteSource>(std::make_unique<ChunkedByteSource>(crx_gz))); },
      bytes);
  report(".crx.gz stack: gunzip + split + CRINEX", crx_gz_stack, bytes);

  const double lzw = best_seconds(
      [&] {
        UnixCompressSource source(std::make_unique<ChunkedByteSource>(dot_z));
        return read_all(source);
      },
      bytes);
  report(".Z (LZW) decode into memory", lzw, bytes);
  const double lzw_stack = best_seconds(
      [&] {
        LineSplitter lines(std::make_unique<UnixCompressSource>(std::make_unique<ChunkedByteSource>(dot_z)));
        return count_bytes(lines);
      },
      bytes);
  report(".Z stack: LZW + split", lzw_stack, bytes);

  std::printf("  CRINEX layer costs %.2fx the gunzip of the same RINEX (goal: at most 1x)\n",
              (crinex - split_crx) / gunzip_rnx);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path.string());
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

// Reading the day as .crx.gz, made here, against zcat of the .rnx.gz twin.
void compare_crx_gz_with_zcat(const std::filesystem::path& rnx_gz) {
  char pattern[] = "/tmp/skyloam_crinex_bench_XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  const std::filesystem::path folder = pattern;
  const std::filesystem::path crx_gz = folder / "ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz";
  try {
    write_file(crx_gz, gzip(testing::write_crinex(gunzip(read_file(rnx_gz)))));
    const std::string self = this_program();
    const ReadFigures read = best_read(self, crx_gz.string(), kRuns);
    const ChildRun zcat = best_zcat(rnx_gz.string(), kRuns);
    std::printf("\nThe ESBC day as .crx.gz (%.1f MB, made here), read whole, against zcat of its .rnx.gz twin:\n",
                static_cast<double>(std::filesystem::file_size(crx_gz)) / 1e6);
    std::printf("  read_obs_file .crx.gz wall %6.3f s | cpu %6.3f s (%zu observations)\n", read.seconds,
                read.cpu_seconds, read.observations);
    std::printf("  zcat .rnx.gz >/dev/null wall %6.3f s | cpu %6.3f s\n", zcat.wall_seconds, zcat.cpu_seconds);
    std::printf("  .crx.gz read / zcat: wall %.2f, cpu %.2f (target: at most 0.5)\n",
                read.seconds / zcat.wall_seconds, read.cpu_seconds / zcat.cpu_seconds);
  } catch (...) {
    std::filesystem::remove_all(folder);
    throw;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace skyloam::bench

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--read") return skyloam::bench::read_in_this_process(argv[2]);
  const std::filesystem::path data = argc > 1 ? argv[1] : SKYLOAM_DEFAULT_TESTDATA;
  const char* day = "rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz";
  try {
    std::printf("CRINEX and .Z decoding, best of %d runs each\n", skyloam::bench::kRuns);
    for (const char* file : {day, "rinex2/ZIMM2360.15O.gz"}) {
      skyloam::bench::measure(file, skyloam::bench::read_file(data / file));
    }
    skyloam::bench::compare_crx_gz_with_zcat(data / day);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "crinex_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
