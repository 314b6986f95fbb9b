#include "error/gnss_error.hpp"

namespace skyloam {

std::string GnssError::display() const {
  switch (kind_) {
    case ErrorKind::Io: return "I/O error: " + first_;
    case ErrorKind::RinexParse:
      return "RINEX parsing error at line " + std::to_string(number_) + ": " + first_;
    case ErrorKind::UnsupportedVersion: return "Unsupported RINEX version: " + first_;
    case ErrorKind::InvalidHeader: return "Invalid RINEX header: " + first_;
    case ErrorKind::MissingHeaderField: return "Missing required header field: " + first_;
    case ErrorKind::Sp3Parse:
      return "SP3 parsing error at line " + std::to_string(number_) + ": " + first_;
    case ErrorKind::Navigation: return "Navigation file error: " + first_;
    case ErrorKind::InvalidEpoch: return "Invalid epoch format: " + first_;
    case ErrorKind::InvalidSatellite: return "Invalid satellite identifier: " + first_;
    case ErrorKind::InvalidObsCode: return "Invalid observation code: " + first_;
    case ErrorKind::InvalidSystem: return "Invalid GNSS system: " + first_;
    case ErrorKind::InsufficientData: return "Insufficient data: " + first_;
    case ErrorKind::Computation: return "Computation error: " + first_;
    case ErrorKind::Convergence:
      return "Failed to converge after " + std::to_string(number_) + " iterations: " + first_;
    case ErrorKind::FileNotFound: return "File not found: " + first_;
    case ErrorKind::InvalidFormat:
      return "Invalid file format: expected " + first_ + ", got " + second_;
    case ErrorKind::Config: return "Configuration error: " + first_;
    case ErrorKind::Plotting: return "R plotting error: " + first_;
    case ErrorKind::CoordinateTransform: return "Coordinate transformation error: " + first_;
    case ErrorKind::Download: return "Download error: " + first_;
    case ErrorKind::Serialization: return "Serialization error: " + first_;
    case ErrorKind::TimeScale: return "Time scale error: " + first_;
    case ErrorKind::SatelliteNotFound:
      return "Satellite " + first_ + " not found in ephemeris at epoch " + second_;
    case ErrorKind::InvalidFrequencyBand: return "Invalid frequency band: " + first_;
    case ErrorKind::CycleSlipDetected:
      return "Cycle slip detected for " + first_ + " at epoch " + second_;
    case ErrorKind::Message: return first_;
  }
  return first_;
}

}  // namespace skyloam
