// SatelliteTracker: the per-satellite decoding state of compact RINEX,
// carried from one epoch to the next.
//
// State (the arcs of every observable and the restored LLI/SSI flag string)
// is matched by satellite id, not by position: a satellite of the previous
// epoch keeps its state wherever it moves in the list; a satellite that was
// missing loses it and comes back new. A satellite listed twice in one
// epoch cannot be matched and is refused. Memory grows with the largest
// epoch seen (at most 999 satellites) and the values it carries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rinex/compressed/difference_arc.hpp"

namespace skyloam {

struct SatelliteState {
  std::size_t types = 0;            // observation types of the satellite's system
  std::vector<DifferenceArc> arcs;  // up to the last type that has had a value
  std::string flags;                // LLI and SSI per type
  bool fresh = true;                // not carried over from the previous epoch

  // Makes the state fit `count` observables; a new satellite, or one whose
  // type count changed, starts afresh: no arcs, blank flags. Arcs are added
  // only as values come, so an epoch of empty lines costs no memory.
  void fit(std::size_t count) {
    if (!fresh && types == count) return;
    types = count;
    arcs.clear();
    flags.assign(2 * count, ' ');
    fresh = false;
  }

  // The arc of type t, made when it is first needed.
  DifferenceArc& arc(std::size_t t) {
    if (t >= arcs.size()) arcs.resize(t + 1);
    return arcs[t];
  }
  bool arc_running(std::size_t t) const { return t < arcs.size() && arcs[t].running(); }
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
