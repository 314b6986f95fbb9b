#include "analysis/multipath/signal_selection.hpp"

#include <algorithm>

namespace skyloam {
namespace {

bool attribute_less(const CodeCount& a, const CodeCount& b) {
  return static_cast<unsigned char>(a.code.attribute) <
         static_cast<unsigned char>(b.code.attribute);
}

// Among the satellite's codes of `kind` on `band`, the one seen in most
// epochs, ties to the smaller attribute; a code with attribute `preferred`
// wins outright.
const CodeCount* pick_code(std::span<const CodeCount> codes, ObsKind kind, std::uint8_t band,
                           std::optional<char> preferred = std::nullopt) {
  const CodeCount* best = nullptr;
  for (const CodeCount& c : codes) {
    if (c.code.kind != kind || c.code.band != band) continue;
    if (preferred && c.code.attribute == *preferred) return &c;
    if (!best || c.epochs > best->epochs ||
        (c.epochs == best->epochs && attribute_less(c, *best))) {
      best = &c;
    }
  }
  return best;
}

const CodeCount* find_code(std::span<const CodeCount> codes, const ObsCode& code) {
  for (const CodeCount& c : codes) {
    if (c.code == code) return &c;
  }
  return nullptr;
}

const CodeCount* pick_snr(std::span<const CodeCount> codes, const ObsCode& pseudorange) {
  if (const CodeCount* same =
          find_code(codes, {ObsKind::Snr, pseudorange.band, pseudorange.attribute})) {
    return same;
  }
  const CodeCount* best = nullptr;
  for (const CodeCount& c : codes) {
    if (c.code.kind == ObsKind::Snr && c.code.band == pseudorange.band &&
        (!best || attribute_less(c, *best))) {
      best = &c;
    }
  }
  return best;
}

const CodeCount* pick_second_phase(const ObservationCatalog& catalog, std::uint32_t satellite,
                                   std::uint8_t band) {
  const auto codes = catalog.codes(satellite);
  const SecondBands candidates =
      second_bands(catalog.satellite(satellite).system, band, catalog.frequencies(satellite));
  for (const std::uint8_t candidate : candidates.list()) {
    if (const CodeCount* phase = pick_code(codes, ObsKind::CarrierPhase, candidate)) return phase;
  }
  return nullptr;
}

void select_for_satellite(const ObservationCatalog& catalog, std::uint32_t s,
                          const AnalyzerConfig& config, SignalSelection& out) {
  const Satellite& satellite = catalog.satellite(s);
  const BandFrequencies& frequencies = catalog.frequencies(s);
  const auto codes = catalog.codes(s);
  for (const CodeCount& pseudorange : codes) {
    const ObsCode& code = pseudorange.code;
    if (code.kind != ObsKind::Pseudorange) continue;
    if (!passes_code_filter(config, satellite.system, code)) continue;
    if (!frequencies.has(code.band)) continue;
    const CodeCount* phase1 = pick_code(codes, ObsKind::CarrierPhase, code.band, code.attribute);
    if (!phase1) continue;
    const CodeCount* phase2 = pick_second_phase(catalog, s, code.band);
    if (!phase2) continue;
    const CodeCount* snr = config.attach_snr ? pick_snr(codes, code) : nullptr;

    const std::uint8_t band2 = phase2->code.band;
    SignalPair pair{
        code,
        phase1->code,
        phase2->code,
        snr ? std::optional<ObsCode>(snr->code) : std::nullopt,
        satellite,
        frequencies.wavelength(code.band),
        frequencies.wavelength(band2),
        frequency_ratio_squared(frequencies.frequency(code.band), frequencies.frequency(band2))};
    out.pairs.push_back(pair);
    out.ids.push_back({s, pseudorange.id, phase1->id, phase2->id, snr ? snr->id : kNoCodeId});
  }
}

}  // namespace

std::optional<ObsCode> second_phase(const ObservationCatalog& catalog, std::uint32_t satellite,
                                    std::uint8_t band) {
  if (const CodeCount* phase = pick_second_phase(catalog, satellite, band)) return phase->code;
  return std::nullopt;
}

SignalSelection select_signals(const ObservationCatalog& catalog, const AnalyzerConfig& config) {
  SignalSelection out;
  out.first_pair.reserve(catalog.satellite_count() + 1);
  for (std::uint32_t s = 0; s < catalog.satellite_count(); ++s) {
    out.first_pair.push_back(static_cast<std::uint32_t>(out.pairs.size()));
    const GnssSystem system = catalog.satellite(s).system;
    if (std::find(config.systems.begin(), config.systems.end(), system) != config.systems.end()) {
      select_for_satellite(catalog, s, config, out);
    }
  }
  out.first_pair.push_back(static_cast<std::uint32_t>(out.pairs.size()));
  return out;
}

std::optional<std::size_t> SignalSelection::find(const Satellite& satellite,
                                                 const ObsCode& code) const {
  const auto before = [](const SignalPair& pair,
                         const std::pair<const Satellite*, const ObsCode*>& key) {
    if (pair.satellite != *key.first) return sort_key(pair.satellite) < sort_key(*key.first);
    return text_less(pair.code, *key.second);
  };
  const auto it =
      std::lower_bound(pairs.begin(), pairs.end(), std::pair{&satellite, &code}, before);
  if (it == pairs.end() || it->satellite != satellite || it->code != code) return std::nullopt;
  return static_cast<std::size_t>(it - pairs.begin());
}

}  // namespace skyloam
