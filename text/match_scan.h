// The inner loops of the pattern search, in a portable and a vectorised (x86-64) version, and the
// one the build uses. Both give the same answers.
#pragma once

#include <cstddef>
#include <cstdint>

// The vectorised scan is compiled where the compiler targets a processor with SSE2, and it is the
// build's scan there unless PROTOWRAP_PORTABLE_SCAN asks for the portable one (sse2.h).
#include "text/sse2.h"

namespace protowrap::detail {

namespace portable {
const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length);
std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume);
}  // namespace portable

#if PROTOWRAP_HAS_SSE2
namespace sse2 {
const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length);
std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume);
}  // namespace sse2
#endif

// The build's scan. Both scans are declared above under their own names, so that tests can check
// each against a reference.
#if PROTOWRAP_USE_SSE2
namespace used = sse2;
#else
namespace used = portable;
#endif

/// The first p in [from, end) at which the `length` bytes of `pattern` start, or nullptr. Every
/// byte from `from` up to end + length - 1 must be readable; length is at least 1.
inline const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                                  std::size_t length) {
  return used::FindFirstMatch(from, end, pattern, length);
}

/// Finds matches left to right from `from` as FindFirstMatch would, each search resuming right
/// behind the previous match, and stores their offsets from `text` in `out`, at most `capacity`
/// of them (capacity >= 1). Returns how many it stored. `*resume` is where to go on when `out` is
/// full, or nullptr when the scan reached `end`.
inline std::size_t CollectMatches(const char* text, const char* from, const char* end,
                                  const char* pattern, std::size_t length, std::int32_t* out,
                                  std::size_t capacity, const char** resume) {
  return used::CollectMatches(text, from, end, pattern, length, out, capacity, resume);
}

}  // namespace protowrap::detail
