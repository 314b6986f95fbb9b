// zlib helpers of the CRINEX benchmark: gzip and gunzip in memory. Failures
// throw std::runtime_error (this is benchmark code, not the reader's gzip
// layer).
#pragma once

#include <string>


namespace skyloam::bench {

std::string gunzip(const std::string& compressed);
std::string gzip(const std::string& plain, int level = 6);

}  // namespace skyloam::bench
