#include "wrap/check/lexer.h"

#include <cstring>

namespace protowrap::check {

namespace {

// Whether any byte of `word` is zero (the classic bit trick, eight bytes at a time).
bool HasZeroByte(std::uint64_t word) {
  return ((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull) != 0;
}

// Identifiers that begin a raw string literal when a '"' follows them.
bool IsRawPrefix(std::string_view word) {
  return word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR";
}

}  // namespace

std::int32_t FindLineEnd(const char* text, std::int32_t length, std::int32_t from) {
  std::int32_t at = from;
  // Eight bytes at a time while neither CR nor LF is among them, then byte by byte.
  while (length - at >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text + at, 8);
    if (HasZeroByte(word ^ 0x0a0a0a0a0a0a0a0aull) || HasZeroByte(word ^ 0x0d0d0d0d0d0d0d0dull)) {
      break;
    }
    at += 8;
  }
  while (at < length && ClassOf(text[at]) != kLineEnd) {
    ++at;
  }
  return at;
}

std::int32_t SkipLineEnd(const char* text, std::int32_t length, std::int32_t end) {
  if (end >= length) {
    return length;
  }
  return text[end] == '\r' && end + 1 < length && text[end + 1] == '\n' ? end + 2 : end + 1;
}

Lexer::Lexer(const char* text, std::int32_t length) : text_(text), length_(length) {
  if (length_ >= 3 && std::memcmp(text_, "\xEF\xBB\xBF", 3) == 0) {
    at_ = 3;
  }
}

void Lexer::Seek(std::int32_t at) {
  at_ = at;
  lineStart_ = false;
}

// The end of a line comment that starts at `from`: its line end, where a backslash right before
// the line end continues it onto the next line.
std::int32_t Lexer::CommentEnd(std::int32_t from) const {
  for (;;) {
    const std::int32_t end = FindLineEnd(text_, length_, from);
    if (end >= length_ || end == 0 || text_[end - 1] != '\\') {
      return end;
    }
    from = SkipLineEnd(text_, length_, end);
  }
}

// Just after the "*/" of a block comment whose body starts at `from`, or the end of the text.
std::int32_t Lexer::BlockCommentEnd(std::int32_t from) const {
  while (from < length_) {
    const void* star = std::memchr(text_ + from, '*', static_cast<std::size_t>(length_ - from));
    if (star == nullptr) {
      break;
    }
    const auto at = static_cast<std::int32_t>(static_cast<const char*>(star) - text_);
    if (at + 1 < length_ && text_[at + 1] == '/') {
      return at + 2;
    }
    from = at + 1;
  }
  return length_;
}

// Just after the closing quote of a string or character literal whose body starts at `from`, or
// its line end when it has none (the compiler's error then stands on that line anyway).
std::int32_t Lexer::QuotedEnd(std::int32_t from, char quote) const {
  while (from < length_) {
    const char c = text_[from];
    if (c == quote) {
      return from + 1;
    }
    if (ClassOf(c) == kLineEnd) {
      return from;
    }
    from += c == '\\' && from + 1 < length_ ? 2 : 1;
  }
  return length_;
}

// Just after a raw string literal whose opening quote stands at `quote`: R"delimiter( ...
// )delimiter". Returns -1 when the delimiter is not one (the literal is then read as an ordinary
// one).
std::int32_t Lexer::RawStringEnd(std::int32_t quote) const {
  std::int32_t open = quote + 1;
  while (open < length_ && open - quote <= 17 && text_[open] != '(') {
    const char c = text_[open];
    if (c == ')' || c == '\\' || c == '"' || ClassOf(c) == kBlank || ClassOf(c) == kLineEnd) {
      return -1;
    }
    ++open;
  }
  if (open >= length_ || text_[open] != '(') {
    return -1;
  }
  const std::string_view delimiter(text_ + quote + 1, static_cast<std::size_t>(open - quote - 1));
  std::int32_t from = open + 1;
  while (from < length_) {
    const void* close = std::memchr(text_ + from, ')', static_cast<std::size_t>(length_ - from));
    if (close == nullptr) {
      break;
    }
    const auto at = static_cast<std::int32_t>(static_cast<const char*>(close) - text_);
    const std::int32_t quoteAt = at + 1 + static_cast<std::int32_t>(delimiter.size());
    if (quoteAt < length_ && text_[quoteAt] == '"' &&
        std::string_view(text_ + at + 1, delimiter.size()) == delimiter) {
      return quoteAt + 1;
    }
    from = at + 1;
  }
  return length_;
}

Token Lexer::Next() {
  for (;;) {
    if (at_ >= length_) {
      return {TokenKind::kEnd, length_, length_};
    }
    const char c = text_[at_];
    const unsigned char k = ClassOf(c);
    if (k == kLineEnd) {
      ++at_;
      lineStart_ = true;
    } else if (k == kBlank) {
      ++at_;
    } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '/') {
      const std::int32_t begin = at_;
      at_ = CommentEnd(at_ + 2);
      if (lineStart_ && begin + 2 < length_ && text_[begin + 2] == '#') {
        lineStart_ = false;
        return {TokenKind::kCommentedDirective, begin, at_};
      }
    } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '*') {
      const std::int32_t begin = at_;
      at_ = BlockCommentEnd(at_ + 2);
      if (FindLineEnd(text_, at_, begin) < at_) {
        lineStart_ = true;  // a directive may follow a comment that ended a line
      }
    } else {
      break;
    }
  }
  const std::int32_t begin = at_;
  const bool firstOnLine = lineStart_;
  lineStart_ = false;
  const char c = text_[at_];
  const unsigned char k = ClassOf(c);
  if (k & kDigit || (c == '.' && at_ + 1 < length_ && ClassOf(text_[at_ + 1]) & kDigit)) {
    // Digits, letters, '.', digit separators, and a sign after an exponent.
    ++at_;
    while (at_ < length_) {
      const char d = text_[at_];
      const char before = text_[at_ - 1];
      if (ClassOf(d) & kWord || d == '.' || d == '\'') {
        ++at_;
      } else if ((d == '+' || d == '-') &&
                 (before == 'e' || before == 'E' || before == 'p' || before == 'P')) {
        ++at_;
      } else {
        break;
      }
    }
    return {TokenKind::kNumber, begin, at_};
  }
  if (k & kWord) {
    while (at_ < length_ && ClassOf(text_[at_]) & kWord) {
      ++at_;
    }
    if (at_ < length_ && text_[at_] == '"' &&
        IsRawPrefix(std::string_view(text_ + begin, static_cast<std::size_t>(at_ - begin)))) {
      const std::int32_t end = RawStringEnd(at_);
      if (end >= 0) {
        at_ = end;
        return {TokenKind::kLiteral, begin, at_};
      }
    }
    return {TokenKind::kIdentifier, begin, at_};
  }
  if (c == '"' || c == '\'') {
    at_ = QuotedEnd(at_ + 1, c);
    return {TokenKind::kLiteral, begin, at_};
  }
  if (c == '#' && firstOnLine) {
    at_ = CommentEnd(at_ + 1);
    return {TokenKind::kDirective, begin, at_};
  }
  ++at_;
  return {TokenKind::kPunctuator, begin, at_};
}

}  // namespace protowrap::check
