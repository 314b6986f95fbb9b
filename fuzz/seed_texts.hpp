// Small, well-formed inputs of every kind the fuzz targets read, written the
// way the tests write theirs. They start the fuzzers off inside each
// grammar; real files from the shared test data are added at run time.
#pragma once

#include <string>
#include <vector>

namespace skyloam::fuzz {

struct SeedOptions {
  int epochs = 12;
  bool events = true;      // event epochs with special records, a flag-6 epoch
  bool clock = false;      // receiver clock offsets on RINEX 3 epoch lines
  bool crlf = false;       // CR LF line ends
};

// RINEX 3.04 (or 4.00 with `version` "4.00"): GPS, GLONASS and Galileo
// satellites with code, phase, Doppler and SNR on two bands.
std::string rinex3_text(const SeedOptions& options, const std::string& version = "3.04");

// RINEX 2.11: 7 observation types (two lines per satellite) and 14
// satellites (a satellite-list continuation line).
std::string rinex2_text(const SeedOptions& options);

// SP3-c: 12 epochs, 15 minutes apart, of three satellites; a bad clock, a
// missing position and a velocity record among them.
std::string sp3_text(bool crlf = false);

// Navigation files: RINEX 3.05 with a record of every system, RINEX 2.11
// GPS and GLONASS, RINEX 4.00 with announced records and STO/ION blocks.
std::vector<std::string> nav_texts();

std::vector<std::string> epoch_texts();
std::vector<std::string> identifier_texts();
// Code-filter lists, one entry a line.
std::vector<std::string> code_filter_texts();

// `text` as one gzip member.
std::string gzip(const std::string& text);

}  // namespace skyloam::fuzz
