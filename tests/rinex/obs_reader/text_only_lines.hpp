// TextOnlyLines: the lines of another source as text alone, hiding any
// decoded records it could hand out, so that a reader takes the text path.
#pragma once

#include <memory>
#include <optional>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam::testing {

class TextOnlyLines final : public LineSource {
 public:
  explicit TextOnlyLines(std::unique_ptr<LineSource> inner) : inner_(std::move(inner)) {}
  Result<std::optional<Line>> next() override { return inner_->next(); }

 private:
  std::unique_ptr<LineSource> inner_;
};

}  // namespace skyloam::testing
