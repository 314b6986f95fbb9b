#include "navigation/broadcast/nav_text.hpp"

#include <cmath>
#include <cstdio>

namespace skyloam::testing {
namespace {

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// One 19-column field.
std::string field(const std::optional<double>& value, NumberStyle style) {
  if (!value) return std::string(19, ' ');
  char buffer[64];
  if (style != NumberStyle::BareD || *value == 0.0) {
    std::snprintf(buffer, sizeof buffer, "%19.12E", *value);
    std::string text = buffer;
    if (style != NumberStyle::E) text[text.find('E')] = 'D';
    return text;
  }
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(*value)))) + 1;
  std::snprintf(buffer, sizeof buffer, "%.12f", std::fabs(*value) / std::pow(10.0, exponent));
  std::string mantissa = std::string(buffer).substr(1);  // ".579084269702"
  std::snprintf(buffer, sizeof buffer, "D%+03d", exponent);
  return padded((*value < 0 ? "-" : "") + mantissa + buffer, 19);
}

std::string lines_after(const std::string& first, const RecordNumbers& numbers, const char* indent,
                        NumberStyle style) {
  std::string text = first;
  for (std::size_t i = 0; i < numbers.size() && i < 3; ++i) text += field(numbers[i], style);
  for (std::size_t i = 3; i < numbers.size(); ++i) {
    if ((i - 3) % 4 == 0) text += std::string("\n") + indent;
    text += field(numbers[i], style);
  }
  return text + "\n";
}

}  // namespace

std::string nav_header(const std::string& version, char type, char system,
                       const std::vector<std::string>& lines) {
  std::string first =
      padded(version, 9) + std::string(11, ' ') + type + std::string(19, ' ') + system;
  std::string text = header_line(first, "RINEX VERSION / TYPE");
  for (const std::string& line : lines) text += line;
  return text + end_of_header();
}

std::string record_v3(const std::string& satellite, const Epoch& e, const RecordNumbers& numbers,
                      NumberStyle style) {
  char first[64];
  std::snprintf(first, sizeof first, "%s %04d %02u %02u %02u %02u %02d", satellite.c_str(), e.year,
                e.month, e.day, e.hour, e.minute, static_cast<int>(e.second));
  return lines_after(first, numbers, "    ", style);
}

std::string record_v2(int prn, const Epoch& e, const RecordNumbers& numbers, NumberStyle style) {
  char first[64];
  std::snprintf(first, sizeof first, "%2d %02d %2u %2u %2u %2u%5.1f", prn, e.year % 100, e.month,
                e.day, e.hour, e.minute, e.second);
  return lines_after(first, numbers, "   ", style);
}

RecordNumbers keplerian_numbers(double toe, double health, double fit) {
  return {1.5e-4,       2.0e-12, 0.0,               // clock
          56.0,         20.5,    4.5e-9,  0.2,      // IODE Crs delta-n M0
          1.0e-6,       0.01,    5.0e-6,  5153.7,   // Cuc e Cus sqrtA
          toe,          1.0e-7,  1.0,     -1.0e-7,  // toe Cic Omega0 Cis
          0.96,         200.0,   0.5,     -8.0e-9,  // i0 Crc omega OmegaDot
          1.0e-10,      1.0,     2111.0,  0.0,      // IDOT codes week flag
          2.0,          health,  -1.0e-8, 56.0,     // accuracy health TGD IODC
          toe - 7200.0, fit};                       // transmission time, fit
}

RecordNumbers glonass_numbers(double health) {
  return {6.4e-5,       0.0,           342000.0,          // -TauN GammaN frame time
          10900.0,      1.4,           -1.9e-9,  health,  // x (km), rate, acceleration, health
          -2880.0,      2.8,           0.0,      1.0,     // y, frequency number
          22880.0,      -0.32,         -2.8e-9,  0.0,     // z, age
          std::nullopt, 999999999.999, 15.0,     std::nullopt};
}

RecordNumbers sbas_numbers(double health, double ura) {
  return {0.0,     0.0,     345600.0, 35900.0,
          0.0001,  0.0,     health,           // x (km), rate, acceleration, health
          22100.0, -0.0002, 0.0,      ura,    // y, URA
          1.0,     0.0,     0.0,      92.0};  // z, IODN
}

}  // namespace skyloam::testing
