// Candidates come from memchr on the pattern's first byte and are filtered on its last byte
// before the full comparison.
#include <cstring>

#include "text/match_scan.h"

namespace protowrap::detail::portable {

const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length) {
  const unsigned char first = static_cast<unsigned char>(pattern[0]);
  const char last = pattern[length - 1];
  while (from < end) {
    const void* hit = std::memchr(from, first, static_cast<std::size_t>(end - from));
    if (hit == nullptr) {
      return nullptr;
    }
    from = static_cast<const char*>(hit);
    if (from[length - 1] == last && std::memcmp(from + 1, pattern + 1, length - 1) == 0) {
      return from;
    }
    ++from;
  }
  return nullptr;
}

std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume) {
  std::size_t count = 0;
  while (const char* match = FindFirstMatch(from, end, pattern, length)) {
    out[count++] = static_cast<std::int32_t>(match - text);
    from = match + length;
    if (count == capacity) {
      *resume = from;
      return count;
    }
  }
  *resume = nullptr;
  return count;
}

}  // namespace protowrap::detail::portable
