// Unix compress (.Z) decoding: the format's worked example, round trips of
// every header variant through the test writer, damaged streams, and the
// real sample.
#include <gtest/gtest.h>

#include <random>

#include "rinex/compressed/byte_source_peek.hpp"
#include "rinex/compressed/lzw_code_reader.hpp"
#include "rinex/compressed/unix_compress_source.hpp"
#include "support/test_data.hpp"
#include "testkit/lzw_writer.hpp"
#include "rinex/obs_reader/file_source.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam {
namespace {

using testing::LzwWriterOptions;
using testing::ChunkedByteSource;

struct Outcome {
  std::string bytes;
  std::optional<GnssError> error;
};

Outcome decode(std::string compressed, std::size_t input_chunk = 1 << 16, std::size_t output_chunk = 8192) {
  UnixCompressSource source(std::make_unique<ChunkedByteSource>(std::move(compressed), input_chunk));
  Outcome out;
  std::string buffer(output_chunk, '\0');
  for (;;) {
    auto got = source.read(buffer);
    if (!got) {
      out.error = got.error();
      return out;
    }
    if (*got == 0) return out;
    out.bytes.append(buffer.data(), *got);
  }
}

std::string decoded_or_error(std::string compressed) {
  const Outcome out = decode(std::move(compressed));
  return out.error ? out.error->display() : out.bytes;
}

// Packs codes as the format does (least significant bit first).
class CodePacker {
 public:
  explicit CodePacker(unsigned char flags) : bytes_{'\x1F', '\x9D', static_cast<char>(flags)} {}
  CodePacker& put(std::uint32_t code, unsigned width) {
    for (unsigned i = 0; i < width; ++i) bit((code >> i) & 1);
    return *this;
  }
  CodePacker& skip(unsigned bits) {
    for (unsigned i = 0; i < bits; ++i) bit(0);
    return *this;
  }
  std::string bytes() const { return bytes_; }

 private:
  void bit(unsigned value) {
    if (count_ % 8 == 0) bytes_ += '\0';
    if (value) bytes_.back() = static_cast<char>(bytes_.back() | (1 << (count_ % 8)));
    ++count_;
  }
  std::string bytes_;
  unsigned count_ = 0;
};

std::string random_bytes(std::size_t size, unsigned seed, int alphabet = 256) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (auto& c : out) c = static_cast<char>(random() % static_cast<unsigned>(alphabet));
  return out;
}

TEST(UnixCompress, WorkedExample) {
  const std::string example("\x1F\x9D\x90\x41\x84\x04\x1C\x08", 8);
  EXPECT_EQ(decoded_or_error(example), "ABABABA");
  const Outcome trickle = decode(example, 1, 1);  // one byte in, one byte out
  EXPECT_FALSE(trickle.error);
  EXPECT_EQ(trickle.bytes, "ABABABA");
  EXPECT_EQ(testing::write_unix_compress("ABABABA"), example);
}

TEST(UnixCompress, HeaderOnlyIsEmpty) {
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D\x90", 3)), "");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D\x10", 3)), "");
}

TEST(UnixCompress, HeaderErrors) {
  const std::string prefix = "I/O error: not readable as Unix-compressed (.Z) data: ";
  EXPECT_EQ(decoded_or_error(""), prefix + "the 3-byte header is cut short");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D", 2)), prefix + "the 3-byte header is cut short");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x8B\x08", 3)), prefix + "wrong magic bytes (expected 1F 9D)");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D\x88", 3)), prefix + "maximum code width 8 bits is outside 9-16");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D\x91", 3)), prefix + "maximum code width 17 bits is outside 9-16");
  EXPECT_EQ(decoded_or_error(std::string("\x1F\x9D\xB0", 3)), prefix + "unknown flag bits 0x60 are set");
}

TEST(UnixCompress, DamagedCodes) {
  const auto message = [](const CodePacker& packer) { return decoded_or_error(packer.bytes()); };
  EXPECT_EQ(message(CodePacker(0x90).put(300, 9)),
            "I/O error: Unix-compressed (.Z) data damaged near byte 5: the first code after a start or "
            "CLEAR is not a byte (code 300, next free code 257)");
  EXPECT_NE(message(CodePacker(0x90).put(65, 9).put(300, 9)).find("beyond the dictionary (code 300, next free code 257)"),
            std::string::npos);
  // CLEAR, then a code that is not a byte.
  EXPECT_NE(message(CodePacker(0x90).put(65, 9).put(256, 9).skip(6 * 9).put(257, 9)).find("first code after"),
            std::string::npos);
  // Without block mode 256 is an ordinary entry, made by the second code.
  EXPECT_EQ(message(CodePacker(0x10).put(65, 9).put(66, 9).put(256, 9)), "ABAB");
  // A full table (maximum 9 bits) cannot take the entry a code equal to next would need.
  CodePacker full(0x09);
  for (int i = 0; i < 257; ++i) full.put(65, 9);
  full.skip(7 * 9).put(512, 10);
  EXPECT_NE(message(full).find("beyond the dictionary (code 512, next free code 512)"), std::string::npos);
}

TEST(UnixCompress, NineBitStreamsWidenOnceTheTableIsFull) {
  CodePacker full(0x09);
  for (int i = 0; i < 257; ++i) full.put(65, 9);
  full.skip(7 * 9).put(66, 10).put(511, 10);
  const Outcome out = decode(full.bytes());
  ASSERT_FALSE(out.error) << out.error->display();
  // Every entry was made from two single-byte codes: entry 511 is "AA".
  EXPECT_EQ(out.bytes, std::string(257, 'A') + "BAA");
}

struct Variant {
  unsigned max_bits;
  bool block_mode;
  bool clear_when_full;
  std::size_t clear_every;
};

TEST(UnixCompress, PaddingThatFillsTheWholeBitBufferIsSkipped) {
  // One 16-bit code, then the padding of its group of 8 (14 bytes, here all
  // bits set): the second half of the padding arrives as one full 64-bit
  // load, all of which must be dropped before the next code.
  ChunkedByteSource input("\x01\x02" + std::string(14, '\xFF') + "\x34\x12");
  LzwCodeReader reader(input);
  const auto first = reader.read_code(16);
  ASSERT_TRUE(first && *first);
  EXPECT_EQ(**first, 0x0201u);
  ASSERT_TRUE(reader.end_segment());
  const auto next = reader.read_code(16);
  ASSERT_TRUE(next && *next);
  EXPECT_EQ(**next, 0x1234u);
}

TEST(UnixCompress, RoundTripsOfEveryHeaderVariant) {
  const std::string inputs[] = {
      random_bytes(150'000, 1),                  // fills every table
      random_bytes(100'000, 2, 3),               // long repeats: KwKwK codes
      std::string(70'000, 'x'),
      "", "z",
  };
  std::vector<Variant> variants;
  for (unsigned bits = 9; bits <= 16; ++bits) {
    variants.push_back({bits, true, false, 0});
    variants.push_back({bits, false, false, 0});
    variants.push_back({bits, true, true, 0});
  }
  variants.push_back({16, true, false, 1});
  variants.push_back({16, true, false, 7});
  variants.push_back({12, true, false, 1000});
  for (const auto& variant : variants) {
    const LzwWriterOptions options{variant.max_bits, variant.block_mode, variant.clear_when_full, variant.clear_every};
    for (std::size_t i = 0; i < std::size(inputs); ++i) {
      const std::string compressed = testing::write_unix_compress(inputs[i], options);
      const Outcome out = decode(compressed, 4093, 1021);
      ASSERT_FALSE(out.error) << "bits " << variant.max_bits << " input " << i << ": " << out.error->display();
      ASSERT_EQ(out.bytes, inputs[i]) << "bits " << variant.max_bits << " block " << variant.block_mode
                                      << " clear " << variant.clear_every << " input " << i;
    }
  }
}

// Every cut of a stream gives the start of the data or an error; a cut in
// the middle of a wide code leaves eight bits or more and is reported.
TEST(UnixCompress, CutStreamsNeverGiveWrongData) {
  const std::string data = random_bytes(3000, 3, 40);
  const std::string compressed = testing::write_unix_compress(data, {.max_bits = 12});
  int errors = 0;
  for (std::size_t cut = 3; cut < compressed.size(); ++cut) {
    const Outcome out = decode(compressed.substr(0, cut));
    ASSERT_EQ(data.compare(0, out.bytes.size(), out.bytes), 0) << "cut at " << cut;
    if (out.error) {
      ++errors;
      EXPECT_NE(out.error->display().find("truncated or damaged"), std::string::npos);
    }
  }
  EXPECT_GT(errors, 100);
  const std::string big = random_bytes(200'000, 4);
  const std::string wide = testing::write_unix_compress(big);
  EXPECT_TRUE(decoded_or_error(wide.substr(0, wide.size() - 1))
                  .starts_with("I/O error: Unix-compressed (.Z) data truncated or damaged: "));
}

TEST(UnixCompress, GarbageAfterAValidHeaderEndsCleanly) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    std::string stream("\x1F\x9D", 2);
    stream += static_cast<char>(0x80 | (9 + random() % 8));
    stream += random_bytes(1 + random() % 3000, static_cast<unsigned>(round) + 100);
    const Outcome out = decode(stream);
    if (out.error) {
      EXPECT_EQ(out.error->kind(), ErrorKind::Io);
    }
  }
}

TEST(UnixCompress, ErrorsOfTheInnerSourcePassThroughAndStay) {
  const std::string compressed = testing::write_unix_compress(random_bytes(200'000, 6));
  UnixCompressSource source(std::make_unique<testing::FailingByteSource>(compressed.substr(0, 1000)));
  std::string buffer(1 << 20, '\0');
  auto first = source.read(buffer);
  while (first && *first != 0) first = source.read(buffer);
  ASSERT_FALSE(first);
  EXPECT_EQ(first.error().display(), "I/O error: device unplugged");
  auto again = source.read(buffer);
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().display(), "I/O error: device unplugged");
}

TEST(UnixCompress, ContentTestPicksTheDecoderOnlyForTheMagic) {
  for (const std::string& plain : {std::string(""), std::string("\x1F"), std::string("plain text\n"),
                                   std::string("\x1F\x8B\x08gzip")}) {
    auto source = decompress_if_unix_compressed(std::make_unique<ChunkedByteSource>(plain, 1));
    ASSERT_TRUE(source);
    std::string bytes;
    char buffer[4];
    for (auto got = (*source)->read(buffer); got && *got > 0; got = (*source)->read(buffer)) {
      bytes.append(buffer, *got);
    }
    EXPECT_EQ(bytes, plain);
  }
  auto packed = decompress_if_unix_compressed(
      std::make_unique<ChunkedByteSource>(testing::write_unix_compress("line one\nline two\n"), 1));
  ASSERT_TRUE(packed);
  testing::LineSplitter lines(std::move(*packed));
  EXPECT_EQ(testing::drain(lines), (std::vector<std::string>{"line one", "line two"}));
}

TEST(UnixCompress, RealSampleHoldsARinex2File) {
  SKYLOAM_REQUIRE_TESTDATA();
  auto file = FileByteSource::open(testing::testdata_path("misc/ac660270.18o.Z"));
  ASSERT_TRUE(file);
  auto source = decompress_if_unix_compressed(std::move(*file));
  ASSERT_TRUE(source);
  testing::LineSplitter splitter(std::move(*source));
  std::string error;
  const auto lines = testing::drain(splitter, &error);
  ASSERT_EQ(error, "");
  ASSERT_GT(lines.size(), 100u);
  EXPECT_TRUE(lines[0].starts_with("     2.11           OBSERVATION DATA    M"));
  EXPECT_TRUE(lines[0].ends_with("RINEX VERSION / TYPE"));
  const auto label = [](const std::string& line) { return line.size() > 60 ? line.substr(60) : ""; };
  const auto marker = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return label(l).starts_with("MARKER NAME"); });
  ASSERT_NE(marker, lines.end());
  EXPECT_TRUE(marker->starts_with("AC66"));
  const auto types = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return label(l).starts_with("# / TYPES OF OBSERV"); });
  ASSERT_NE(types, lines.end());
  EXPECT_TRUE(types->starts_with("     7    L1    L2    C1    P2    P1    S1    S2"));
  // The RINEX 2 epoch-line test finds the 23 epochs of 2018-01-27.
  int epochs = 0;
  for (const auto& line : lines) {
    EXPECT_LE(line.size(), 80u);
    for (const char c : line) EXPECT_TRUE(c >= ' ' && c <= '~') << "byte " << int(c) << " in " << line;
    const bool epoch_line = line.size() >= 29 && line[0] == ' ' && line[3] == ' ' && line[6] == ' ' &&
                            line[9] == ' ' && line[12] == ' ' && std::isdigit(static_cast<unsigned char>(line[2])) &&
                            line[18] == '.';
    if (epoch_line) {
      EXPECT_TRUE(line.starts_with(" 18  1 27")) << line;
      ++epochs;
    }
  }
  EXPECT_EQ(epochs, 23);
}

}  // namespace
}  // namespace skyloam
