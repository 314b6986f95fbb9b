// Reading versus analysing real observation files.
#pragma once

#include <string>

namespace skyloam::bench {

// Reads `path`, analyses it with default settings (best of `runs`) and
// prints observations per second and the analysis-to-reading time ratio.
void report_real_file(const std::string& label, const std::string& path, int runs);

// The same for a file of at least `megabytes` made by repeating a real daily
// file in a temporary folder (removed afterwards).
void report_large_file(const std::string& testdata, std::size_t megabytes, int runs);

}  // namespace skyloam::bench
