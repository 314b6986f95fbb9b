#include "rinex/compressed/data_line_decoder.hpp"

#include <string>

#include "rinex/compressed/compact_field.hpp"
#include "rinex/compressed/text_difference.hpp"

namespace skyloam {

namespace {

// The widest values an F14.3 column holds: "-999999999.999", "9999999999.999".
constexpr std::int64_t kLowestValue = -999'999'999'999;
constexpr std::int64_t kHighestValue = 9'999'999'999'999;

GnssError field_error(const DataLineContext& where, std::size_t type, std::string_view text,
                      const std::string& problem) {
  return GnssError::rinex_parse(
      where.index, "compact data line of " + std::string(where.satellite) + ": field " +
                       std::to_string(type + 1) + " (\"" + std::string(text.substr(0, 40)) +
                       "\") " + problem);
}

Result<void> decode_field(const expected<CompactField, CompactFieldError>& field, std::string_view text,
                          SatelliteState& state, std::size_t type, ObservationSlot& slot,
                          const DataLineContext& where) {
  if (!field) return fail(field_error(where, type, text, describe(field.error())));
  switch (field->kind) {
    case CompactField::Kind::Empty:
      if (state.arc_running(type)) state.arcs[type].end();
      slot.present = false;
      return {};
    case CompactField::Kind::ArcStart:
      state.arc(type).start(field->order, field->number);
      break;
    case CompactField::Kind::Difference:
      if (!state.arc_running(type)) {
        return fail(field_error(where, type, text,
                                "is a difference, but no arc is running for it (expected n&v)"));
      }
      if (!state.arcs[type].advance(field->number)) {
        return fail(field_error(where, type, text, "makes the value leave the 64-bit range"));
      }
      break;
  }
  const std::int64_t value = state.arcs[type].value();
  if (value < kLowestValue || value > kHighestValue) {
    return fail(field_error(where, type, text,
                            "gives the value " + std::to_string(value) +
                                " thousandths, too wide for a RINEX observation (F14.3)"));
  }
  slot.present = true;
  slot.value = value;
  return {};
}

Result<void> apply_flags(std::string_view difference, SatelliteState& state,
                         const std::vector<ObservationSlot>& values, const DataLineContext& where) {
  const std::size_t width = state.flags.size();
  if (difference.size() > width) {
    // Blanks past the end change nothing; anything else has no type to go to.
    if (difference.find_first_not_of(' ', width) != std::string_view::npos) {
      return fail(GnssError::rinex_parse(
          where.index, "compact data line of " + std::string(where.satellite) +
                           ": the flag string is longer than 2 characters for each of its " +
                           std::to_string(values.size()) + " observation types"));
    }
    difference = difference.substr(0, width);
  }
  apply_text_difference(state.flags, difference);
  for (std::size_t t = 0; t < values.size(); ++t) {
    if (!values[t].present) {
      state.flags[2 * t] = ' ';
      state.flags[2 * t + 1] = ' ';
    }
  }
  return {};
}

}  // namespace

Result<void> decode_data_line(std::string_view line, SatelliteState& state,
                              std::vector<ObservationSlot>& values, const DataLineContext& where) {
  const std::size_t types = state.types;
  values.resize(types);
  const char* cursor = line.data();
  const char* const end = line.data() + line.size();
  bool ended = false;  // the line ran out before the flags
  for (std::size_t t = 0; t < types; ++t) {
    const char* const begin = cursor;
    const auto field = ended ? CompactField{} : scan_compact_field(cursor, end);
    const std::string_view text(begin, static_cast<std::size_t>(cursor - begin));
    if (auto decoded = decode_field(field, text, state, t, values[t], where); !decoded) return decoded;
    if (cursor == end) {
      ended = true;
    } else {
      ++cursor;  // the blank after the field
    }
  }
  const std::string_view flags = ended ? std::string_view{} : std::string_view(cursor, static_cast<std::size_t>(end - cursor));
  return apply_flags(flags, state, values, where);
}

}  // namespace skyloam
