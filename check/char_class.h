// The classes of bytes that the header check's lexer tells apart, looked up in one table.
#pragma once

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

/// Whether `c` is a blank or a line end.
inline bool IsBlankOrLineEnd(char c) {
  return (static_cast<unsigned char>(ClassOf(c)) &
          (static_cast<unsigned char>(CharClass::kBlank) |
           static_cast<unsigned char>(CharClass::kLineEnd))) != 0;
}

/// Whether `c` ends a line.
inline bool IsLineEnd(char c) {
  return ClassOf(c) == CharClass::kLineEnd;
}

}  // namespace protowrap::check
