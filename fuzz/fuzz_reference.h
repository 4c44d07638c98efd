// The plain reference the fuzz targets check against: left-to-right, non-overlapping, literal
// replacement written with std::string::find, independent of the code under test.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

namespace protowrap::fuzz {

inline std::string ReplaceReference(const std::string& text, const std::string& pattern,
                                    const std::string& replacement) {
  if (pattern.empty()) {
    return text;
  }
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(pattern, from)) != std::string::npos;
       from = at + pattern.size()) {
    out.append(text, from, at - from).append(replacement);
  }
  return out.append(text, from, std::string::npos);
}

/// A heap block holding exactly `s` and, when `terminate`, one NUL: reads past it are caught.
inline char* ExactBlock(const std::string& s, bool terminate) {
  auto* block =
      static_cast<char*>(std::malloc(s.size() + (terminate ? 1 : 0) + (s.empty() ? 1 : 0)));
  std::memcpy(block, s.data(), s.size());
  if (terminate) {
    block[s.size()] = '\0';
  }
  return block;
}

/// Stops the fuzzer with a message: a broken contract is a finding like a crash.
[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "contract broken: %s\n", what);
  std::abort();
}

}  // namespace protowrap::fuzz
