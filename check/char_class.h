// The classes of bytes that the header check's lexer tells apart, looked up in one table.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace protowrap::check {

/// A byte's class: bits, since a digit is also a byte of a word.
enum class CharClass : unsigned char {
  kPlain = 0,
  kBlank = 1,    ///< space, tab, vertical tab, form feed
  kLineEnd = 2,  ///< LF, CR
  kWord = 4,     ///< letters, '_', '$', bytes from 0x80 (UTF-8 identifiers), digits
  kDigit = 8,
};

struct CharTable {
  CharClass classes[256] = {};
  constexpr CharTable() {
    for (int c = 0; c < 256; ++c) {
      CharClass k = CharClass::kPlain;
      if (c == ' ' || c == '\t' || c == '\v' || c == '\f') {
        k = CharClass::kBlank;
      } else if (c == '\n' || c == '\r') {
        k = CharClass::kLineEnd;
      } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
                 c >= 0x80) {
        k = CharClass::kWord;
      } else if (c >= '0' && c <= '9') {
        k = static_cast<CharClass>(static_cast<unsigned char>(CharClass::kWord) |
                                   static_cast<unsigned char>(CharClass::kDigit));
      }
      classes[c] = k;
    }
  }
};

inline constexpr CharTable kChars;

inline CharClass ClassOf(char c) {
  return kChars.classes[static_cast<unsigned char>(c)];
}

/// Whether `c` may stand in an identifier.
inline bool IsIdentifierByte(char c) {
  return (static_cast<unsigned char>(ClassOf(c)) & static_cast<unsigned char>(CharClass::kWord)) !=
         0;
}

/// Whether `c` is a decimal digit.
inline bool IsDigit(char c) {
  return (static_cast<unsigned char>(ClassOf(c)) & static_cast<unsigned char>(CharClass::kDigit)) !=
         0;
}

/// Whether `c` is a blank within a line (not a line end).
inline bool IsBlank(char c) {
  return ClassOf(c) == CharClass::kBlank;
}

/// Whether `c` ends a line.
inline bool IsLineEnd(char c) {
  return ClassOf(c) == CharClass::kLineEnd;
}

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

// The end of the run from `at` of bytes whose high bit `inRun` sets, eight bytes at a time where
// eight are left before `end` (on little-endian machines), then one at a time.
template <std::uint64_t (*InRun)(std::uint64_t)>
std::int32_t RunEnd(const char* text, std::int32_t at, std::int32_t end) {
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
    std::uint64_t word = static_cast<unsigned char>(text[at]);
    if ((InRun(word) & 0x80) == 0) {
      break;
    }
  }
  return at;
}

}  // namespace detail

/// The end of the identifier bytes from `at`, at most `end`.
inline std::int32_t IdentifierEnd(const char* text, std::int32_t at, std::int32_t end) {
  return detail::RunEnd<detail::IdentifierBytes>(text, at, end);
}

/// The end of the blanks (not line ends) from `at`, at most `end`.
inline std::int32_t BlanksEnd(const char* text, std::int32_t at, std::int32_t end) {
  return detail::RunEnd<detail::BlankBytes>(text, at, end);
}

}  // namespace protowrap::check
