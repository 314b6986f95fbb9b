// The single pass over the analysed epochs shared by the slip detector and
// the series collector: each satellite entry is loaded once into
// EntryValues and handed to every visitor as
//   visitor.observe(epoch index, catalog satellite index, values).
#pragma once

#include <cstdint>
#include <span>

#include "analysis/multipath/entry_values.hpp"
#include "analysis/multipath/observation_catalog.hpp"

namespace skyloam {

template <class... Visitors>
void scan_epochs(std::span<const ObsEpoch* const> epochs, const ObservationCatalog& catalog,
                 Visitors&... visitors) {
  EntryValues values(catalog.code_id_count());
  for (std::size_t e = 0; e < epochs.size(); ++e) {
    const auto epoch = static_cast<std::uint32_t>(e);
    for (const SatelliteEntry& entry : epochs[e]->satellites()) {
      // The catalog was built from these epochs, so every satellite has an index.
      const std::uint32_t satellite = catalog.index_of(entry.satellite);
      values.load(entry.observations());
      (visitors.observe(epoch, satellite, values), ...);
    }
  }
}

}  // namespace skyloam
