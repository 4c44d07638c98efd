// The lexer of headers and wrap headers.
#include "check/lexer.h"

#include <cstring>

#include "check/byte_runs.h"

namespace protowrap::check {

namespace {

// Identifiers that begin a raw string literal when a '"' follows them.
bool IsRawPrefix(std::string_view word) {
  return word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR";
}

}  // namespace

std::int32_t FindLineEnd(const char* text, std::int32_t length, std::int32_t from) {
  return LineEndFrom(text, from, length);
}

std::int32_t SkipLineEnd(const char* text, std::int32_t length, std::int32_t end) {
  if (end >= length) {
    return length;
  }
  return text[end] == '\r' && end + 1 < length && text[end + 1] == '\n' ? end + 2 : end + 1;
}

std::int32_t SpliceEnd(const char* text, std::int32_t length, std::int32_t at) {
  if (at >= length || text[at] != '\\') {
    return -1;
  }
  std::int32_t end = at + 1;
  while (end < length && IsBlank(text[end])) {
    ++end;
  }
  if (end >= length || !IsLineEnd(text[end])) {
    return -1;
  }
  return SkipLineEnd(text, length, end);
}

std::int32_t LineCommentEnd(const char* text, std::int32_t length, std::int32_t from) {
  for (;;) {
    // At the text's end, a splice before it leaves nothing to join: the next round ends there.
    const std::int32_t end = FindLineEnd(text, length, from);
    std::int32_t last = end - 1;
    while (last >= from && IsBlank(text[last])) {
      --last;
    }
    if (last < from || text[last] != '\\') {
      return end;
    }
    from = SkipLineEnd(text, length, end);
  }
}

std::string_view WithoutSplices(std::string_view text, std::string* scratch) {
  if (text.find('\\') == std::string_view::npos) {
    return text;
  }
  scratch->clear();
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t at = 0; at < length;) {
    const std::int32_t splice = SpliceEnd(text.data(), length, at);
    if (splice >= 0) {
      at = splice;
    } else {
      scratch->push_back(text[static_cast<std::size_t>(at++)]);
    }
  }
  return *scratch;
}

Lexer::Lexer(const char* text, std::int32_t length, TextKind kind)
    : text_(text), length_(length), kind_(kind) {
  if (length_ >= 3 && std::memcmp(text_, "\xEF\xBB\xBF", 3) == 0) {
    at_ = 3;
  }
}

void Lexer::Seek(std::int32_t at) {
  at_ = at;
  lineStart_ = false;
}

// Just after the "*/" of a block comment whose body starts at `from`, or the end of the text.
std::int32_t Lexer::BlockCommentEnd(std::int32_t from) {
  const std::int32_t body = from;
  // Each '*' up to the text's end; no '*' left ends the search (the comment is unclosed).
  for (const void* star;
       from < length_ &&
       (star = std::memchr(text_ + from, '*', static_cast<std::size_t>(length_ - from))) !=
           nullptr;) {
    const auto at = static_cast<std::int32_t>(static_cast<const char*>(star) - text_);
    std::int32_t next = at + 1;
    for (std::int32_t splice = SpliceEnd(text_, length_, next); splice >= 0;
         splice = SpliceEnd(text_, length_, next)) {
      next = splice;  // "*\<line end>/" closes the comment too
    }
    if (next < length_ && text_[next] == '/') {
      return next + 1;
    }
    from = at + 1;
  }
  unclosedComment_ = body - 2;  // a comment's body starts after its "/*"
  return length_;
}

// Whether the block comment that ends just before `end` ended at a "*/" that the rules wrote: the
// '*' of a "*#" in the header, and the "//" that rule 9 put before its '#' ("//#include" was
// already a comment's in the header).
bool Lexer::EndedByTheRules(std::int32_t end) const {
  return kind_ == TextKind::kWrap && end >= 2 && end + 1 < length_ && text_[end - 1] == '/' &&
         text_[end] == '/' && text_[end + 1] == '#' &&
         std::string_view(text_ + end + 1, static_cast<std::size_t>(length_ - end - 1))
                 .substr(0, 8) != "#include";
}

// Just after the closing quote of a string or character literal whose body starts at `from`, or
// its line end when it has none (the compiler's error then stands on that line anyway).
std::int32_t Lexer::QuotedEnd(std::int32_t from, char quote) {
  while (from < length_) {
    const char c = text_[from];
    if (c == quote) {
      return from + 1;
    }
    if (IsLineEnd(c)) {
      return from;
    }
    if (c == '\\') {
      const std::int32_t splice = SpliceEnd(text_, length_, from);
      from = splice >= 0 ? splice : from + 2;
      continue;
    }
    ++from;
  }
  unclosedLiteral_ = true;
  return length_;
}

// Just after a raw string literal whose opening quote stands at `quote`: R"delimiter( ...
// )delimiter". Returns -1 when the delimiter is not one (the literal is then read as an ordinary
// one).
std::int32_t Lexer::RawStringEnd(std::int32_t quote) const {
  constexpr std::int32_t kMaxDelimiter = 16;  // the longest delimiter C++ allows
  std::int32_t open = quote + 1;
  while (open < length_ && open - quote - 1 <= kMaxDelimiter && text_[open] != '(') {
    const char c = text_[open];
    if (c == ')' || c == '\\' || c == '"' || IsBlank(c) || IsLineEnd(c)) {
      return -1;
    }
    ++open;
  }
  if (open >= length_ || open - quote - 1 > kMaxDelimiter || text_[open] != '(') {
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

// The end of a directive that starts at `from`: its line's end, where neither a line splice nor a
// block comment carries it on (a comment that a directive opens ends it only where it closes).
std::int32_t Lexer::DirectiveEnd(std::int32_t from) {
  std::int32_t at = from;
  while (at < length_) {
    const char c = text_[at];
    if (IsLineEnd(c)) {
      return at;
    }
    if (c == '\\') {
      const std::int32_t splice = SpliceEnd(text_, length_, at);
      at = splice >= 0 ? splice : at + 1;
    } else if (c == '/' && at + 1 < length_ && text_[at + 1] == '/') {
      return LineCommentEnd(text_, length_, at + 2);
    } else if (c == '/' && at + 1 < length_ && text_[at + 1] == '*') {
      at = BlockCommentEnd(at + 2);
    } else if (c == '"' || c == '\'') {
      at = QuotedEnd(at + 1, c);
    } else {
      ++at;
    }
  }
  return length_;
}

// The end of an identifier or a preprocessing number from `from` (past its first byte), across
// line splices.
std::int32_t Lexer::WordEnd(std::int32_t from, bool number) const {
  std::int32_t at = from;
  while (at < length_) {
    at = IdentifierEnd(text_, at, length_);
    if (at >= length_) {
      break;
    }
    const char d = text_[at];
    if (number && (d == '.' || d == '\'')) {
      ++at;
    } else if (number && (d == '+' || d == '-') &&
               (text_[at - 1] == 'e' || text_[at - 1] == 'E' || text_[at - 1] == 'p' ||
                text_[at - 1] == 'P')) {
      ++at;
    } else if (d == '\\') {
      const std::int32_t splice = SpliceEnd(text_, length_, at);
      if (splice < 0 || splice >= length_ ||
          !(IsIdentifierByte(text_[splice]) ||
            (number && (text_[splice] == '.' || text_[splice] == '\'')))) {
        break;
      }
      at = splice;
    } else {
      break;
    }
  }
  return at;
}

Token Lexer::Next() {
  for (;;) {
    if (at_ >= length_) {
      return {TokenKind::kEnd, length_, length_};
    }
    const char c = text_[at_];
    if (IsLineEnd(c)) {
      ++at_;
      lineStart_ = true;
    } else if (IsBlank(c)) {
      at_ = BlanksEnd(text_, at_ + 1, length_);
    } else if (c == '\\' && SpliceEnd(text_, length_, at_) >= 0) {
      at_ = SpliceEnd(text_, length_, at_);
    } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '/') {
      const std::int32_t begin = at_;
      at_ = LineCommentEnd(text_, length_, at_ + 2);
      if (lineStart_ && begin + 2 < length_ && text_[begin + 2] == '#') {
        // It runs to a line end (or the text's end), which starts the next line again.
        return {TokenKind::kCommentedDirective, begin, at_};
      }
    } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '*') {
      const std::int32_t begin = at_;
      at_ = BlockCommentEnd(at_ + 2);
      if (EndedByTheRules(at_)) {
        // The header's comment goes on to its own "*/": one token from where the rules ended it.
        const std::int32_t ended = at_ - 2;
        while (EndedByTheRules(at_)) {
          at_ = BlockCommentEnd(at_);
        }
        if (unclosedComment_ >= 0) {
          unclosedComment_ = begin;  // the header's comment opened there
        }
        lineStart_ = false;
        return {TokenKind::kEndedComment, ended, at_};
      }
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
  if (IsDigit(c) || (c == '.' && at_ + 1 < length_ && IsDigit(text_[at_ + 1]))) {
    at_ = WordEnd(at_ + 1, true);
    return {TokenKind::kNumber, begin, at_};
  }
  if (IsIdentifierByte(c)) {
    at_ = WordEnd(at_ + 1, false);
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
  if (firstOnLine && (c == '#' || (c == '%' && at_ + 1 < length_ && text_[at_ + 1] == ':'))) {
    // A directive: '#', or the digraph "%:", first on its line.
    at_ = DirectiveEnd(at_ + DirectiveMarkLength(c));
    return {TokenKind::kDirective, begin, at_};
  }
  ++at_;
  return {TokenKind::kPunctuator, begin, at_};
}

bool SkipParenthesized(Lexer& lexer) {
  const std::int32_t at = lexer.Position();
  Token t = lexer.Next();
  if (t.kind != TokenKind::kPunctuator || lexer.TextOf(t) != "(") {
    lexer.Seek(at);
    return false;
  }
  for (int depth = 1; depth > 0 && (t = lexer.Next()).kind != TokenKind::kEnd;) {
    if (t.kind == TokenKind::kPunctuator) {
      depth += lexer.TextOf(t) == "(" ? 1 : lexer.TextOf(t) == ")" ? -1 : 0;
    }
  }
  return true;
}

std::string_view FirstIdentifier(std::string_view text, std::string* scratch) {
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  const Token t = lexer.Next();
  if (t.kind != TokenKind::kIdentifier) {
    return {};
  }
  return WithoutSplices(lexer.TextOf(t), scratch);
}

}  // namespace protowrap::check
