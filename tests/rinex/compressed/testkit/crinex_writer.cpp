#include "testkit/crinex_writer.hpp"

#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>

#include "testkit/rinex_body_model.hpp"

namespace skyloam::testing {

namespace {

std::string padded(std::string text, std::size_t width) {
  text.resize(std::max(text.size(), width), ' ');
  return text;
}

std::string without_trailing_blanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

class ArcEncoder {
 public:
  void end() { order_ = -1; }
  std::string encode(std::int64_t value, int order, std::size_t restart_every) {
    if (order_ >= 0 && restart_every != 0 && ++values_ % restart_every == 0) order_ = -1;
    if (order_ < 0) {
      order_ = order;
      taken_ = 0;
      last_[0] = value;
      return std::to_string(order) + "&" + std::to_string(value);
    }
    taken_ = std::min(taken_ + 1, order_);
    std::array<std::int64_t, 10> now{};
    now[0] = value;
    for (int j = 1; j <= taken_; ++j) now[j] = now[j - 1] - last_[j - 1];
    last_ = now;
    return std::to_string(now[taken_]);
  }

 private:
  int order_ = -1;
  int taken_ = 0;
  std::size_t values_ = 0;
  std::array<std::int64_t, 10> last_{};
};

struct SatelliteEncoder {
  std::vector<ArcEncoder> arcs;
  std::string flags;
  bool fresh = true;  // not in the previous epoch
};

class Writer {
 public:
  Writer(const RinexModel& model, const CrinexWriterOptions& options) : model_(model), options_(options) {}

  std::string run() {
    line(padded(model_.rinex2 ? "1.0" : "3.0", 20) + padded("COMPACT RINEX FORMAT", 40) + "CRINEX VERS   / TYPE");
    line(padded("skyloam test writer", 40) + padded("01-Jan-24 00:00", 20) + "CRINEX PROG / DATE");
    for (const auto& header_line : model_.header) line(header_line);
    for (std::size_t e = 0; e < model_.epochs.size(); ++e) write_epoch(model_.epochs[e], e);
    return std::move(out_);
  }

 private:
  void line(const std::string& text) { out_ += text + "\n"; }

  // Version 1.0 marks a complete epoch line with '&' on its first blank.
  std::string complete(std::string text) const {
    if (model_.rinex2 && !text.empty()) text.front() = '&';
    return text;
  }

  void write_event(const RinexEpoch& epoch) {
    const std::string text = without_trailing_blanks(epoch.line);
    line(complete(text));
    for (const auto& record : epoch.records) line(record);
    reference_ = text;
    satellites_.clear();
    clock_.end();
    must_initialise_ = true;
  }

  void write_epoch(const RinexEpoch& epoch, std::size_t number) {
    if (epoch.is_event()) return write_event(epoch);
    std::string text = padded(epoch.fields, model_.rinex2 ? 32 : 41);
    for (const auto& id : epoch.ids) text += id;
    text = without_trailing_blanks(text);
    const bool initialise = must_initialise_ || (options_.reinitialise_every != 0 &&
                                                 number % options_.reinitialise_every == 0);
    if (initialise) {
      satellites_.clear();
      clock_.end();
    }
    line(initialise ? complete(text) : compact_text_difference(reference_, text));
    reference_ = text;
    must_initialise_ = false;
    if (epoch.clock) {
      line(clock_.encode(*epoch.clock, options_.clock_order, 0));
    } else {
      clock_.end();
      line("");
    }
    std::map<std::string, SatelliteEncoder> now;
    for (std::size_t s = 0; s < epoch.ids.size(); ++s) {
      SatelliteEncoder state = take_state(epoch.ids[s], epoch.observations[s].size());
      line(data_line(epoch.observations[s], state));
      now[epoch.ids[s]] = std::move(state);
    }
    satellites_ = std::move(now);
  }

  SatelliteEncoder take_state(const std::string& id, std::size_t types) {
    const auto found = satellites_.find(id);
    if (found != satellites_.end()) return std::move(found->second);
    SatelliteEncoder fresh;
    fresh.arcs.resize(types);
    fresh.flags.assign(2 * types, ' ');
    return fresh;
  }

  std::string flag_difference(const std::vector<RinexField>& fields, SatelliteEncoder& state) {
    std::string flags;
    for (const auto& field : fields) {
      flags += field.present ? field.lli : ' ';
      flags += field.present ? field.ssi : ' ';
    }
    std::string diff(flags.size(), ' ');
    for (std::size_t i = 0; i < flags.size(); ++i) {
      const bool vanished = !fields[i / 2].present;
      if (model_.rinex2 && vanished) continue;  // left to the decoder's blanking
      if (!model_.rinex2 && state.fresh) {
        diff[i] = flags[i] == ' ' ? '&' : flags[i];
      } else if (flags[i] != state.flags[i]) {
        diff[i] = flags[i] == ' ' ? '&' : flags[i];
      }
    }
    state.flags = flags;
    state.fresh = false;
    return without_trailing_blanks(diff);
  }

  std::string data_line(const std::vector<RinexField>& fields, SatelliteEncoder& state) {
    std::string text;
    for (std::size_t t = 0; t < fields.size(); ++t) {
      if (t > 0) text += ' ';
      if (fields[t].present) {
        text += state.arcs[t].encode(fields[t].value, options_.order, options_.restart_arcs_every);
      } else {
        state.arcs[t].end();
      }
    }
    text += ' ';
    text += flag_difference(fields, state);
    return without_trailing_blanks(text);
  }

  const RinexModel& model_;
  const CrinexWriterOptions& options_;
  std::string out_;
  std::string reference_;
  bool must_initialise_ = true;
  ArcEncoder clock_;
  std::map<std::string, SatelliteEncoder> satellites_;
};

}  // namespace

std::string compact_text_difference(std::string_view from, std::string_view to) {
  std::string diff(std::max(from.size(), to.size()), ' ');
  for (std::size_t i = 0; i < diff.size(); ++i) {
    const char a = i < from.size() ? from[i] : ' ';
    const char b = i < to.size() ? to[i] : ' ';
    if (a != b) diff[i] = b == ' ' ? '&' : b;
  }
  return without_trailing_blanks(diff);
}

std::string write_crinex(std::string_view rinex, const CrinexWriterOptions& options) {
  const RinexModel model = parse_rinex(rinex);
  return Writer(model, options).run();
}

}  // namespace skyloam::testing
