// GnssError: the one failure value of the core.
//
// Every fallible core operation returns `Result<T>` (an expected value or a
// GnssError). The kinds, their order and their display texts are fixed: the
// Python boundary turns `display()` into the message of one exception. Nothing
// in the core throws for bad input; exceptions mean a broken invariant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "error/expected.hpp"

namespace skyloam {

enum class ErrorKind : std::uint8_t {
  Io,
  RinexParse,
  UnsupportedVersion,
  InvalidHeader,
  MissingHeaderField,
  Sp3Parse,
  Navigation,
  InvalidEpoch,
  InvalidSatellite,
  InvalidObsCode,
  InvalidSystem,
  InsufficientData,
  Computation,
  Convergence,
  FileNotFound,
  InvalidFormat,
  Config,
  Plotting,
  CoordinateTransform,
  Download,
  Serialization,
  TimeScale,
  SatelliteNotFound,
  InvalidFrequencyBand,
  CycleSlipDetected,
  Message,
};

class GnssError {
 public:
  // Kinds whose payload is one text (InvalidSystem takes its character as a
  // one-character text).
  GnssError(ErrorKind kind, std::string text) : kind_(kind), first_(std::move(text)) {}

  static GnssError io(std::string description) { return {ErrorKind::Io, std::move(description)}; }
  static GnssError message(std::string text) { return {ErrorKind::Message, std::move(text)}; }
  static GnssError rinex_parse(std::size_t line, std::string message) {
    return {ErrorKind::RinexParse, line, std::move(message)};
  }
  static GnssError sp3_parse(std::size_t line, std::string message) {
    return {ErrorKind::Sp3Parse, line, std::move(message)};
  }
  static GnssError convergence(std::size_t iterations, std::string message) {
    return {ErrorKind::Convergence, iterations, std::move(message)};
  }
  static GnssError file_not_found(std::string path) {
    return {ErrorKind::FileNotFound, std::move(path)};
  }
  static GnssError invalid_format(std::string expected, std::string got) {
    return {ErrorKind::InvalidFormat, std::move(expected), std::move(got)};
  }
  static GnssError satellite_not_found(std::string satellite, std::string epoch) {
    return {ErrorKind::SatelliteNotFound, std::move(satellite), std::move(epoch)};
  }
  static GnssError cycle_slip_detected(std::string satellite, std::string epoch) {
    return {ErrorKind::CycleSlipDetected, std::move(satellite), std::move(epoch)};
  }

  ErrorKind kind() const { return kind_; }
  // The line or iteration count of the kinds that carry one, else 0.
  std::size_t number() const { return number_; }
  // The (first) text payload.
  const std::string& text() const { return first_; }

  // The fixed display text of the kind with its payload.
  std::string display() const;

 private:
  GnssError(ErrorKind kind, std::size_t number, std::string text)
      : kind_(kind), number_(number), first_(std::move(text)) {}
  GnssError(ErrorKind kind, std::string first, std::string second)
      : kind_(kind), first_(std::move(first)), second_(std::move(second)) {}

  ErrorKind kind_;
  std::size_t number_ = 0;
  std::string first_;
  std::string second_;
};

template <class T>
using Result = expected<T, GnssError>;

// Shorthand for returning a failure from a function that returns Result<T>.
inline unexpected<GnssError> fail(GnssError error) { return unexpected<GnssError>(std::move(error)); }

}  // namespace skyloam
