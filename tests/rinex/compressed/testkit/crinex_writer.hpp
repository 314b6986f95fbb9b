// A test-only compact RINEX (CRINEX) writer: turns RINEX observation text
// into CRINEX 1.0 (RINEX 2) or 3.0 (RINEX 3/4) so that the decoder can be
// checked on round trips of every corner case and on large files.
//
// It writes as the format's writers do: complete epoch lines at the start,
// after events and every `reinitialise_every` epochs; arcs of `order` for
// observables and `clock_order` for the clock; v3.0 flag differences spell
// blanks as `&` and send `&&` when an observation vanishes, v1.0 ones do not.
// RINEX it cannot represent throws std::runtime_error.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skyloam::testing {

struct CrinexWriterOptions {
  int order = 3;
  int clock_order = 2;
  std::size_t reinitialise_every = 0;  // epochs; 0: only where required
  std::size_t restart_arcs_every = 0;  // values of an arc; 0: arcs run until a gap
};

std::string write_crinex(std::string_view rinex, const CrinexWriterOptions& options = {});

// The compact difference that turns text `from` into `to`, trailing blanks
// removed.
std::string compact_text_difference(std::string_view from, std::string_view to);

}  // namespace skyloam::testing
