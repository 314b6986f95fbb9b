// FUZZ_CHECK: an invariant of a fuzz target. A broken one prints what broke
// and aborts, which libFuzzer reports as a crash and saves the input for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

namespace skyloam::fuzz {

[[noreturn]] inline void broken(const char* condition, std::string_view what, const char* file,
                                int line) {
  std::fprintf(stderr, "broken invariant at %s:%d: %.*s [%s]\n", file, line,
               static_cast<int>(what.size()), what.data(), condition);
  std::abort();
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline std::span<const char> as_chars(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace skyloam::fuzz

#define FUZZ_CHECK(condition, what)                                         \
  do {                                                                      \
    if (!(condition)) ::skyloam::fuzz::broken(#condition, what, __FILE__, __LINE__); \
  } while (0)
