#include "rinex/types/obs_code.hpp"

#include "utils/text/trim.hpp"

namespace skyloam {

char kind_letter(ObsKind kind) {
  static constexpr char kLetters[] = {'C', 'L', 'D', 'S', 'X'};
  return kLetters[static_cast<std::size_t>(kind)];
}

namespace {

char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::optional<ObsKind> kind_from_letter(char letter) {
  switch (upper_ascii(letter)) {
    case 'C': return ObsKind::Pseudorange;
    case 'L': return ObsKind::CarrierPhase;
    case 'D': return ObsKind::Doppler;
    case 'S': return ObsKind::Snr;
    case 'X': return ObsKind::Channel;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<ObsCode> parse_obs_code(std::string_view text) {
  const std::string_view t = trim(text);
  if (t.size() != 3) return std::nullopt;
  const auto kind = kind_from_letter(t[0]);
  if (!kind || t[1] < '0' || t[1] > '9') return std::nullopt;
  return ObsCode{*kind, static_cast<std::uint8_t>(t[1] - '0'), upper_ascii(t[2])};
}

std::string to_string(const ObsCode& code) {
  std::string text(3, ' ');
  text[0] = kind_letter(code.kind);
  text[1] = static_cast<char>('0' + code.band);
  text[2] = code.attribute;
  return text;
}

}  // namespace skyloam
