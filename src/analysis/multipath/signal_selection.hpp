// Signal selection: which pseudoranges of which satellites are analysed, and
// with which carrier phases.
//
// One SignalPair per (satellite, pseudorange code) that passes the system
// list and the code filters, has a carrier frequency, a carrier phase on its
// own band (`phase1`) and a carrier phase on a second band (`phase2`). Pairs
// come in satellite order, then pseudorange code order (band, attribute), so
// each satellite's pairs are contiguous.
//
// `phase1` prefers the pseudorange's own attribute, then the phase seen in
// more epochs, then the smaller attribute. `phase2` comes from the first
// usable band of the system's second-band list (the phase seen in more
// epochs, then the smaller attribute). The SNR code is the S code of the
// pseudorange's band and attribute, else the band's S code with the smallest
// attribute.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/multipath/analyzer_config.hpp"
#include "analysis/multipath/observation_catalog.hpp"

namespace skyloam {

struct SignalPair {
  ObsCode code;    // the pseudorange; names the signal
  ObsCode phase1;  // carrier phase on the same band
  ObsCode phase2;  // carrier phase on the second band
  std::optional<ObsCode> snr_code;
  Satellite satellite;
  double wavelength1;  // metres
  double wavelength2;  // metres
  double gamma;        // f1² / f2²
};

// The data-set code ids of a pair and its satellite's catalog index, for
// scans that read observations by id.
struct PairCodeIds {
  std::uint32_t satellite;
  CodeId code;
  CodeId phase1;
  CodeId phase2;
  CodeId snr;  // kNoCodeId when the pair has no SNR code
};

struct SignalSelection {
  std::vector<SignalPair> pairs;
  std::vector<PairCodeIds> ids;  // parallel to pairs
  // Pairs of catalog satellite s are pairs[first_pair[s] .. first_pair[s + 1]).
  std::vector<std::uint32_t> first_pair;

  // Position of the pair of (satellite, pseudorange code), if selected.
  std::optional<std::size_t> find(const Satellite& satellite, const ObsCode& code) const;
};

// The second-band carrier phase for `band` of catalog satellite `satellite`.
std::optional<ObsCode> second_phase(const ObservationCatalog& catalog, std::uint32_t satellite,
                                    std::uint8_t band);

SignalSelection select_signals(const ObservationCatalog& catalog, const AnalyzerConfig& config);

}  // namespace skyloam
