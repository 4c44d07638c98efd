// Runs of identifier bytes and of blanks, read a word (or, on x86-64, a vector) at a time: the
// lexer's and the parser's inner loops.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "text/sse2.h"
#if PROTOWRAP_USE_SSE2
#include <emmintrin.h>
#endif

namespace protowrap::check {

namespace detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of each byte of `v` (bytes below 0x80) whose value lies in [low, high].
constexpr std::uint64_t InRange(std::uint64_t v, unsigned low, unsigned high) {
  // Neither sum carries out of its byte: each byte stays below 0x100.
  return (v + (0x80u - low) * kOnes) & ~(v + (0x7Fu - high) * kOnes) & kHighBits;
}

// The high bit of each byte of `word` that may stand in an identifier.
constexpr std::uint64_t IdentifierBytes(std::uint64_t word) {
  const std::uint64_t v = word & ~kHighBits;
  return (word & kHighBits) | InRange(v | 0x20 * kOnes, 'a', 'z') | InRange(v, '0', '9') |
         InRange(v, '_', '_') | InRange(v, '$', '$');
}

// The high bit of each byte of `word` that is a blank (space, tab, vertical tab, form feed).
constexpr std::uint64_t BlankBytes(std::uint64_t word) {
  const std::uint64_t v = word & ~kHighBits;
  return ~word & kHighBits &
         (InRange(v, ' ', ' ') | InRange(v, '\t', '\t') | InRange(v, '\v', '\f'));
}

#if PROTOWRAP_USE_SSE2
// The bits of the sixteen bytes at `p` that may stand in an identifier.
inline unsigned IdentifierBytes16(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // x in [low, low + n) is x - low + 0x80 below -128 + n, compared as signed bytes.
  const auto below = [](__m128i x, char low, int n) {
    return _mm_cmplt_epi8(_mm_add_epi8(x, _mm_set1_epi8(static_cast<char>(0x80 - low))),
                          _mm_set1_epi8(static_cast<char>(-128 + n)));
  };
  const __m128i letters = below(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 26);
  const __m128i others =
      _mm_or_si128(below(bytes, '0', 10), _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')),
                                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('$'))));
  // Bytes from 0x80 have their high bit set: movemask takes it as it is.
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(letters, others)) |
                               _mm_movemask_epi8(bytes));
}
#endif

// The end of the run from `at` of bytes whose high bit `inRun` sets, eight bytes at a time where
// eight are left before `end` (on little-endian machines), then one at a time.
template <std::uint64_t (*InRun)(std::uint64_t)>
std::int32_t RunEnd(const char* text, std::int32_t at, std::int32_t end) {
#if PROTOWRAP_USE_SSE2
  if constexpr (InRun == IdentifierBytes) {
    for (; end - at >= 16; at += 16) {
      const unsigned outside = ~IdentifierBytes16(text + at) & 0xFFFFu;
      if (outside != 0) {
        return at + std::countr_zero(outside);
      }
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    for (; end - at >= 8; at += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, text + at, 8);
      const std::uint64_t outside = ~InRun(word) & kHighBits;
      if (outside != 0) {
        return at + std::countr_zero(outside) / 8;
      }
    }
  }
  for (; at < end; ++at) {
    // One byte in a word of its own: only its high bit may be set.
    if (InRun(static_cast<unsigned char>(text[at])) == 0) {
      break;
    }
  }
  return at;
}

}  // namespace detail

/// The first line end (CR or LF) from `at`, or `end`.
inline std::int32_t LineEndFrom(const char* text, std::int32_t at, std::int32_t end) {
#if PROTOWRAP_USE_SSE2
  for (; end - at >= 16; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    const auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')))));
    if (ends != 0) {
      return at + std::countr_zero(ends);
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time while neither CR nor LF is among them.
    const auto hasZeroByte = [](std::uint64_t word) {
      return ((word - detail::kOnes) & ~word & detail::kHighBits) != 0;
    };
    for (; end - at >= 8; at += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, text + at, 8);
      if (hasZeroByte(word ^ ('\n' * detail::kOnes)) ||
          hasZeroByte(word ^ ('\r' * detail::kOnes))) {
        break;
      }
    }
  }
  while (at < end && text[at] != '\n' && text[at] != '\r') {
    ++at;
  }
  return at;
}

/// The end of the identifier bytes from `at`, at most `end`.
inline std::int32_t IdentifierEnd(const char* text, std::int32_t at, std::int32_t end) {
  return detail::RunEnd<detail::IdentifierBytes>(text, at, end);
}

/// The end of the blanks (not line ends) from `at`, at most `end`.
inline std::int32_t BlanksEnd(const char* text, std::int32_t at, std::int32_t end) {
  return detail::RunEnd<detail::BlankBytes>(text, at, end);
}

}  // namespace protowrap::check
