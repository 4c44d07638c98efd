// The classes of bytes that the header check's lexer tells apart.
#pragma once

namespace protowrap::check {

enum CharClass : unsigned char {
  kPlain = 0,
  kBlank = 1,    ///< space, tab, vertical tab, form feed
  kLineEnd = 2,  ///< LF, CR
  kWord = 4,     ///< letters, '_', '$', bytes from 0x80 (UTF-8 identifiers), digits
  kDigit = 8,
};

struct CharTable {
  unsigned char classes[256] = {};
  constexpr CharTable() {
    for (int c = 0; c < 256; ++c) {
      unsigned char k = kPlain;
      if (c == ' ' || c == '\t' || c == '\v' || c == '\f') {
        k = kBlank;
      } else if (c == '\n' || c == '\r') {
        k = kLineEnd;
      } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
                 c >= 0x80) {
        k = kWord;
      } else if (c >= '0' && c <= '9') {
        k = kWord | kDigit;
      }
      classes[c] = k;
    }
  }
};

inline constexpr CharTable kChars;

inline unsigned char ClassOf(char c) {
  return kChars.classes[static_cast<unsigned char>(c)];
}

/// Whether `c` may stand in an identifier.
inline bool IsIdentifierByte(char c) {
  return (ClassOf(c) & kWord) != 0;
}

/// Whether `c` is a decimal digit.
inline bool IsDigit(char c) {
  return (ClassOf(c) & kDigit) != 0;
}

}  // namespace protowrap::check
