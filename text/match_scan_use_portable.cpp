// The build's scan is the portable one.
#include "text/match_scan.h"

namespace protowrap::detail {

const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length) {
  return portable::FindFirstMatch(from, end, pattern, length);
}

std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume) {
  return portable::CollectMatches(text, from, end, pattern, length, out, capacity, resume);
}

}  // namespace protowrap::detail
