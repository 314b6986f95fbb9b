// ObsCode: a three-character observation code such as C1C or S2W.
//
// Kind letter (C pseudorange, L carrier phase, D Doppler, S SNR, X channel),
// band digit and attribute character (a-z stored upper-cased).
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace skyloam {

enum class ObsKind : std::uint8_t { Pseudorange, CarrierPhase, Doppler, Snr, Channel };

char kind_letter(ObsKind kind);

struct ObsCode {
  ObsKind kind = ObsKind::Pseudorange;
  std::uint8_t band = 0;
  char attribute = ' ';

  friend bool operator==(const ObsCode&, const ObsCode&) = default;
};

// Orders codes by their text (kind letter, band digit, attribute), which is
// also "by band, then attribute" among codes of one kind.
inline std::strong_ordering compare_text(const ObsCode& a, const ObsCode& b) {
  if (const auto c = kind_letter(a.kind) <=> kind_letter(b.kind); c != 0) return c;
  if (const auto c = a.band <=> b.band; c != 0) return c;
  return static_cast<unsigned char>(a.attribute) <=> static_cast<unsigned char>(b.attribute);
}

inline bool text_less(const ObsCode& a, const ObsCode& b) { return compare_text(a, b) < 0; }

// A key that sorts like the code's text.
inline std::uint64_t text_key(const ObsCode& c) {
  return (std::uint64_t{static_cast<unsigned char>(kind_letter(c.kind))} << 16) |
         (std::uint64_t{c.band} << 8) | static_cast<unsigned char>(c.attribute);
}

// Packs a code into 24 bits (kind, band, attribute) for tables and hashing.
inline std::uint32_t pack(const ObsCode& c) {
  return (static_cast<std::uint32_t>(c.kind) << 16) | (static_cast<std::uint32_t>(c.band) << 8) |
         static_cast<unsigned char>(c.attribute);
}

// Exactly three bytes after trimming: kind letter (any case), digit,
// attribute. Nothing otherwise.
std::optional<ObsCode> parse_obs_code(std::string_view text);

std::string to_string(const ObsCode& code);

}  // namespace skyloam

template <>
struct std::hash<skyloam::ObsCode> {
  std::size_t operator()(const skyloam::ObsCode& c) const noexcept {
    return std::hash<std::uint32_t>()(skyloam::pack(c));
  }
};
