#include "rinex/compressed/restored_lines.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "rinex/compressed/fixed_point_format.hpp"

namespace skyloam {

namespace {

constexpr std::size_t kFieldWidth = 16;
constexpr int kValueWidth = 14;
constexpr std::size_t kIdsPerLineV2 = 12;
constexpr std::size_t kIdColumnV2 = 32;
constexpr std::size_t kClockColumnV2 = 68;
constexpr std::size_t kClockColumnV3 = 41;

void check_fits(bool written) {
  if (!written) throw std::logic_error("a restored RINEX number was not checked against its column");
}

char* write_observation(char* out, const ObservationSlot& slot, const char* flags) {
  if (slot.present) {
    check_fits(write_f14_3(slot.value, out));
  } else {
    std::memset(out, ' ', kValueWidth);
  }
  out[kValueWidth] = flags[0];
  out[kValueWidth + 1] = flags[1];
  return out + kFieldWidth;
}

// Copies `text` to `out` and pads it with blanks to `width`.
char* write_padded(char* out, std::string_view text, std::size_t width) {
  const std::size_t n = std::min(text.size(), width);
  // An empty view may hold a null pointer, which memcpy must not get.
  if (n != 0) std::memcpy(out, text.data(), n);
  std::memset(out + n, ' ', width - n);
  return out + width;
}

}  // namespace

void write_rinex2_epoch(LineQueue& out, const CompactEpoch& epoch,
                        std::optional<std::int64_t> clock, std::size_t index) {
  const std::size_t count = epoch.count();
  const std::size_t first_ids = std::min(count, kIdsPerLineV2);
  char* line = out.reserve(kClockColumnV2 + kClockWidthV1);
  char* cursor = write_padded(line, epoch.fields(), kIdColumnV2);
  for (std::size_t k = 0; k < first_ids; ++k) cursor = write_padded(cursor, epoch.id(k), 3);
  std::size_t length = static_cast<std::size_t>(cursor - line);
  if (clock) {
    std::memset(cursor, ' ', kClockColumnV2 - length);
    check_fits(write_fixed_point<kClockDecimalsV1, kClockWidthV1>(*clock, line + kClockColumnV2));
    length = kClockColumnV2 + kClockWidthV1;
  }
  out.commit(length, index);
  for (std::size_t k = first_ids; k < count; k += kIdsPerLineV2) {
    char* more = out.reserve(kIdColumnV2 + 3 * kIdsPerLineV2);
    cursor = write_padded(more, {}, kIdColumnV2);
    for (std::size_t i = k; i < std::min(count, k + kIdsPerLineV2); ++i) {
      cursor = write_padded(cursor, epoch.id(i), 3);
    }
    out.commit(static_cast<std::size_t>(cursor - more), index);
  }
}

void write_rinex3_epoch(LineQueue& out, const CompactEpoch& epoch,
                        std::optional<std::int64_t> clock, std::size_t index) {
  if (!clock) {
    out.push(epoch.fields(), index);
    return;
  }
  char* line = out.reserve(kClockColumnV3 + kClockWidthV3);
  write_padded(line, epoch.fields(), kClockColumnV3);
  check_fits(write_fixed_point<kClockDecimalsV3, kClockWidthV3>(*clock, line + kClockColumnV3));
  out.commit(kClockColumnV3 + kClockWidthV3, index);
}

void write_rinex2_observations(LineQueue& out, const std::vector<ObservationSlot>& values,
                               std::string_view flags, std::size_t index) {
  constexpr std::size_t kPerLine = 5;
  for (std::size_t first = 0; first < values.size(); first += kPerLine) {
    const std::size_t last = std::min(values.size(), first + kPerLine);
    char* line = out.reserve(kPerLine * kFieldWidth);
    char* cursor = line;
    for (std::size_t t = first; t < last; ++t) {
      cursor = write_observation(cursor, values[t], flags.data() + 2 * t);
    }
    out.commit(static_cast<std::size_t>(cursor - line), index);
  }
}

void write_rinex3_observations(LineQueue& out, std::string_view satellite,
                               const std::vector<ObservationSlot>& values, std::string_view flags,
                               std::size_t index) {
  char* line = out.reserve(3 + values.size() * kFieldWidth);
  char* cursor = write_padded(line, satellite, 3);
  for (std::size_t t = 0; t < values.size(); ++t) {
    cursor = write_observation(cursor, values[t], flags.data() + 2 * t);
  }
  out.commit(static_cast<std::size_t>(cursor - line), index);
}

}  // namespace skyloam
