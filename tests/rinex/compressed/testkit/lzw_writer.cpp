#include "testkit/lzw_writer.hpp"

#include <cstdint>
#include <vector>

namespace skyloam::testing {

namespace {

// (prefix code, byte) -> code, open addressing; cleared by a generation count.
class StringTable {
 public:
  StringTable() : slots_(1 << 18) {}
  void clear() { ++generation_; }
  bool find(std::uint32_t key, std::uint32_t& code) const {
    const Slot& slot = slots_[probe(key)];
    if (slot.generation != generation_) return false;
    code = slot.code;
    return true;
  }
  void insert(std::uint32_t key, std::uint32_t code) { slots_[probe(key)] = Slot{generation_, key, code}; }

 private:
  struct Slot {
    std::uint32_t generation = 0;
    std::uint32_t key = 0;
    std::uint32_t code = 0;
  };
  // The slot holding `key`, or the free slot where it belongs.
  std::size_t probe(std::uint32_t key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = (key * 2654435761u) >> 14 & mask;
    while (slots_[i].generation == generation_ && slots_[i].key != key) i = (i + 1) & mask;
    return i;
  }
  std::vector<Slot> slots_;
  std::uint32_t generation_ = 1;
};

class CodeWriter {
 public:
  explicit CodeWriter(std::string& out) : out_(out) {}
  void put(std::uint32_t code, unsigned width) {
    bits_ |= std::uint64_t{code} << count_;
    count_ += width;
    while (count_ >= 8) {
      out_ += static_cast<char>(bits_ & 0xFF);
      bits_ >>= 8;
      count_ -= 8;
    }
    ++segment_codes_;
    width_ = width;
  }
  void pad_group() {
    const unsigned in_group = segment_codes_ % 8;
    if (in_group != 0) {
      for (unsigned i = in_group; i < 8; ++i) put(0, width_);
    }
    segment_codes_ = 0;
  }
  void flush() {
    if (count_ > 0) out_ += static_cast<char>(bits_ & 0xFF);
    bits_ = 0;
    count_ = 0;
  }

 private:
  std::string& out_;
  std::uint64_t bits_ = 0;
  unsigned count_ = 0;
  unsigned segment_codes_ = 0;
  unsigned width_ = 9;
};

class Compressor {
 public:
  Compressor(const LzwWriterOptions& options, std::string& out)
      : options_(options), writer_(out), capacity_(std::uint32_t{1} << options.max_bits) {
    reset();
  }

  void run(std::string_view data) {
    if (data.empty()) return;
    std::uint32_t prefix = static_cast<unsigned char>(data[0]);
    for (std::size_t i = 1; i < data.size(); ++i) {
      const auto byte = static_cast<unsigned char>(data[i]);
      const std::uint32_t key = prefix << 8 | byte;
      if (table_.find(key, prefix)) continue;
      emit(prefix);
      if (next_ < capacity_) {
        table_.insert(key, next_++);
      } else if (options_.block_mode && options_.clear_when_full) {
        clear();
      }
      if (options_.block_mode && options_.clear_every != 0 && ++since_clear_ >= options_.clear_every) {
        clear();
      }
      prefix = byte;
    }
    emit(prefix);
    writer_.flush();
  }

 private:
  void reset() {
    table_.clear();
    next_ = options_.block_mode ? 257 : 256;
    width_ = 9;
    limit_ = 511;
    since_clear_ = 0;
  }

  void emit(std::uint32_t code) {
    writer_.put(code, width_);
    if (next_ > limit_) {
      writer_.pad_group();
      ++width_;
      limit_ = width_ == options_.max_bits ? capacity_ : (std::uint32_t{1} << width_) - 1;
    }
  }

  void clear() {
    writer_.put(256, width_);
    writer_.pad_group();
    reset();
  }

  const LzwWriterOptions& options_;
  CodeWriter writer_;
  StringTable table_;
  std::uint32_t capacity_;
  std::uint32_t next_ = 257;
  unsigned width_ = 9;
  std::uint32_t limit_ = 511;
  std::size_t since_clear_ = 0;
};

}  // namespace

std::string write_unix_compress(std::string_view data, const LzwWriterOptions& options) {
  std::string out;
  out += '\x1F';
  out += '\x9D';
  out += static_cast<char>((options.block_mode ? 0x80 : 0) | options.max_bits);
  Compressor(options, out).run(data);
  return out;
}

}  // namespace skyloam::testing
