#include "rinex/compressed/crinex_detect.hpp"

#include <optional>
#include <string>

#include "rinex/compressed/crinex_header.hpp"
#include "rinex/compressed/crinex_line_source.hpp"

namespace skyloam {

namespace {

// Yields one saved line, then the rest of the inner source.
class FirstLineReplay final : public LineSource {
 public:
  FirstLineReplay(std::unique_ptr<LineSource> rest, std::optional<Line> first)
      : rest_(std::move(rest)), pending_(first.has_value()) {
    if (first) {
      index_ = first->index;
      text_.assign(first->text);
    }
  }

  Result<std::optional<Line>> next() override {
    if (pending_) {
      pending_ = false;
      return std::optional<Line>{Line{index_, text_}};
    }
    return rest_->next();
  }

 private:
  std::unique_ptr<LineSource> rest_;
  bool pending_;
  std::size_t index_ = 0;
  std::string text_;
};

}  // namespace

Result<std::unique_ptr<LineSource>> decode_if_crinex(std::unique_ptr<LineSource> lines) {
  auto first = lines->next();
  if (!first) return fail(std::move(first).error());
  if (*first && is_crinex_first_line((*first)->text)) {
    auto crinex = CrinexLineSource::open(std::move(lines), **first);
    if (!crinex) return fail(std::move(crinex).error());
    return std::unique_ptr<LineSource>(std::move(*crinex));
  }
  return std::unique_ptr<LineSource>(std::make_unique<FirstLineReplay>(std::move(lines), *first));
}

}  // namespace skyloam
