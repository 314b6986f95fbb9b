// SatelliteTracker: the per-satellite decoding state of compact RINEX,
// carried from one epoch to the next.
//
// State (the arcs of every observable and the restored LLI/SSI flag string)
// is matched by satellite id, not by position: a satellite of the previous
// epoch keeps its state wherever it moves in the list; a satellite that was
// missing loses it and comes back new. A satellite listed twice in one
// epoch cannot be matched and is refused. Memory grows with the largest
// epoch seen (at most 999 satellites, each with its types).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rinex/compressed/difference_arc.hpp"

namespace skyloam {

struct SatelliteState {
  std::vector<DifferenceArc> arcs;  // one per observation type
  std::string flags;                // LLI and SSI per type

  // Makes the state fit `types` observables; a state of another size (new
  // satellites have none) starts afresh: no arcs, blank flags.
  void fit(std::size_t types) {
    if (arcs.size() == types) return;
    arcs.assign(types, DifferenceArc{});
    flags.assign(2 * types, ' ');
  }
};

class SatelliteTracker {
 public:
  // Moves to a new epoch listing `count` ids of 3 characters each, back to
  // back in `ids`. Returns the index of an id listed twice, or `count` when
  // all are distinct.
  std::size_t begin_epoch(std::string_view ids, std::size_t count);

  // Forgets every satellite (a complete epoch line, an event).
  void forget_all() { current_ids_.clear(); }

  SatelliteState& state(std::size_t k) { return current_[k]; }

 private:
  static std::uint32_t key(std::string_view id);
  // Finds `key` among the previous epoch's ids, trying `hint` first.
  std::size_t find_previous(std::uint32_t key, std::size_t hint) const;
  bool repeats(std::size_t k) const;

  std::vector<std::uint32_t> previous_ids_;
  std::vector<SatelliteState> previous_;
  std::vector<std::uint32_t> current_ids_;
  std::vector<SatelliteState> current_;
};

}  // namespace skyloam
