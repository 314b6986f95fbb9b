// AnalyzerConfig: every setting of one multipath analysis, plus the rules
// that turn caller-supplied texts into settings.
//
// The record is a plain value; nothing is range-checked. Negative, zero and
// non-finite numbers are stored as given and only ever act through the
// comparisons of the pipeline, which never crash or loop on them: at worst
// they remove every estimate or every slip test.
//
// Fields marked "fixed" have no caller-facing parameter; they keep the value
// shown unless a test sets them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "error/gnss_error.hpp"
#include "rinex/types/gnss_system.hpp"
#include "rinex/types/obs_code.hpp"

namespace skyloam {

struct AnalyzerConfig {
  // Moving window of the bias removal; absent means the whole-arc mean.
  std::optional<double> bias_window_seconds = 1500.0;
  // Epoch thinning limit (see thin_epochs).
  std::optional<std::uint64_t> max_epochs;
  std::vector<GnssSystem> systems = {GnssSystem::GPS, GnssSystem::GLONASS, GnssSystem::Galileo,
                                     GnssSystem::BeiDou};
  // Normalised entries ("C1C" or "GC1C"), see parse_code_filter.
  std::vector<std::string> include_codes;
  std::vector<std::string> exclude_codes;
  double ion_delta_base = 0.10;         // metres
  double ion_delta_rate = 0.003;        // metres per second
  double cp_delta_base = 5.0;           // metres
  double cp_delta_rate = 0.10;          // metres per second
  double slip_max_gap_seconds = 300.0;  // fixed
  bool use_lli = true;                  // fixed
  double elevation_cutoff = 10.0;       // degrees
  double min_arc_seconds = 300.0;
  double arc_gap_factor = 5.0;
  double mp_jump_threshold = 10.0;  // fixed, metres
  bool attach_snr = true;           // fixed
  bool use_weighted_rms = true;     // fixed
  bool detect_cycle_slips = true;
};

// The systems named by the first character of each text (a-z upper-cased):
// C, E, G, I, J, M, R, S. Other first characters and empty texts are skipped
// silently; duplicates are kept, in the caller's order.
std::vector<GnssSystem> parse_systems(std::span<const std::string> texts);

// Normalises code-filter entries: trimmed and upper-cased, each either a
// three-character observation code ("C1C") or a system letter followed by
// one ("GC1C"). The first bad entry fails (Message kind) with
//   "<name> entry '<entry>' must be a 3-char code ('C1C') or system+code ('GC1C')"
//   "<name> entry '<entry>' is not a valid signal code"
//   "<name> entry '<entry>' has an unknown system prefix"
// quoting the entry exactly as given. The code is checked before the prefix.
Result<std::vector<std::string>> parse_code_filter(std::string_view name,
                                                   std::span<const std::string> entries);

// Whether the filters let the pseudorange `code` of a `system` satellite
// through: an exclude entry naming it ("C1C" or "GC1C") drops it; otherwise
// an empty include list keeps it, a non-empty one keeps it only if named.
bool passes_code_filter(const AnalyzerConfig& config, GnssSystem system, const ObsCode& code);

}  // namespace skyloam
