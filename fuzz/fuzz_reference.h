// Helpers of the fuzz targets, and the plain reference they check against.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/replace_reference.h"

namespace protowrap::fuzz {

using protowrap::reference::ReplaceReference;

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
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "contract broken: %s\n", what);
  std::abort();
}

}  // namespace protowrap::fuzz
