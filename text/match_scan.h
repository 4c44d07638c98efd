// The inner loops of the pattern search, in a portable and a vectorised (x86-64) version; the
// build picks one. Both give the same answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protowrap::detail {

// The scan of the build: the vectorised one where the compiler targets x86-64 (SSE2), the
// portable one elsewhere or when PROTOWRAP_PORTABLE_SCAN asks for it. Both are also declared
// below under their own names, so that tests can check each against a reference.

/// The first p in [from, end) at which the `length` bytes of `pattern` start, or nullptr. Every
/// byte from `from` up to end + length - 1 must be readable; length is at least 1.
const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length);

/// Finds matches left to right from `from` as FindFirstMatch would, each search resuming right
/// behind the previous match, and stores their offsets from `text` in `out`, at most `capacity`
/// of them (capacity >= 1). Returns how many it stored. `*resume` is where to go on when `out` is
/// full, or nullptr when the scan reached `end`.
std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume);

namespace portable {
const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length);
std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume);
}  // namespace portable

namespace sse2 {  // x86-64 only
const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length);
std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume);
}  // namespace sse2

}  // namespace protowrap::detail
