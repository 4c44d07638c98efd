// Splits a wrap header into the tokens a C++ compiler sees.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/char_class.h"

namespace protowrap::check {

enum class TokenKind : std::uint8_t {
  kEnd,
  kIdentifier,
  kNumber,              ///< a preprocessing number: 10, 0x1F, 1'000, 1e+3, 5ull
  kLiteral,             ///< a string or character literal, raw strings and prefixes included
  kPunctuator,          ///< one byte of punctuation: '(' ':' ',' ...
  kDirective,           ///< a line that begins with '#' or "%:": in a wrap header, an include or
                        ///< a digraph directive, which the rules leave live
  kCommentedDirective,  ///< a line that begins with "//#": a directive that the rules commented out
  kEndedComment,        ///< (wrap headers) what the rules made of a block comment with "*#" in it:
                        ///< its "*/" then the rest of the header's comment, up to its own "*/"
};

/// What a lexer reads.
enum class TextKind : std::uint8_t {
  kHeader,  ///< a header's text, or another file's
  kWrap,    ///< a wrap header: a '#' right after '*' in a block comment became "*//#", whose
            ///< "*/" ends the comment there (kEndedComment)
};

/// A token: its kind and where it stands in the text, [begin, end).
struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::int32_t begin = 0;
  std::int32_t end = 0;
};

/// The first line end (CR or LF) at or after `from`, or `length`. A CR, a LF and a CR LF each end
/// a line, as for the compilers.
std::int32_t FindLineEnd(const char* text, std::int32_t length, std::int32_t from);

/// The first byte of the line after the line end at `end` (CR LF counts as one), or `length`.
std::int32_t SkipLineEnd(const char* text, std::int32_t length, std::int32_t end);

/// When a line splice starts at `at` (a backslash, blanks, a line end: the compilers join the two
/// lines, blanks and all), the first byte after it; otherwise -1.
std::int32_t SpliceEnd(const char* text, std::int32_t length, std::int32_t at);

/// The end of a line comment whose text starts at `from`: its line end, where a line splice does
/// not carry it on to the next line.
std::int32_t LineCommentEnd(const char* text, std::int32_t length, std::int32_t from);

/// The first token of `text` when it is an identifier (a directive's operand), without line
/// splices (in `*scratch` when it has some); empty otherwise.
std::string_view FirstIdentifier(std::string_view text, std::string* scratch);

/// The length of a directive's mark, which its first byte tells: 1 for '#', 2 for the digraph "%:".
constexpr std::int32_t DirectiveMarkLength(char first) {
  return first == '#' ? 1 : 2;
}

/// A directive's text (a kDirective token's) after its mark.
constexpr std::string_view DirectiveBody(std::string_view directive) {
  return directive.substr(static_cast<std::size_t>(DirectiveMarkLength(directive.front())));
}

/// `text` without its line splices (the text itself when it has none, in `*scratch` otherwise).
std::string_view WithoutSplices(std::string_view text, std::string* scratch);

/// Reads tokens left to right, skipping blanks, line ends, line splices and comments; a UTF-8
/// byte-order mark at the very start is skipped as the compilers skip it. In a wrap header, a
/// comment that the rules ended early comes as one kEndedComment. Every byte is looked at
/// a bounded number of times, whatever the text: the lexer's cost is linear in what it reads.
class Lexer {
 public:
  Lexer(const char* text, std::int32_t length, TextKind kind = TextKind::kHeader);

  /// The next token; kEnd (at `length`) once the text is used up.
  Token Next();

  /// Goes on reading at `at`, in the middle of a line.
  void Seek(std::int32_t at);

  /// Where the lexer stands.
  std::int32_t Position() const { return at_; }

  /// The token's bytes (with any line splice in them).
  std::string_view TextOf(const Token& token) const {
    return {text_ + token.begin, static_cast<std::size_t>(token.end - token.begin)};
  }

  /// Where a block comment that ran to the end of the text without its "*/" opened, or -1.
  std::int32_t UnclosedComment() const { return unclosedComment_; }

  /// Whether a string or character literal ran to the end of the text without its quote.
  bool UnclosedLiteral() const { return unclosedLiteral_; }

 private:
  std::int32_t BlockCommentEnd(std::int32_t from);
  bool EndedByTheRules(std::int32_t end) const;
  std::int32_t QuotedEnd(std::int32_t from, char quote);
  std::int32_t RawStringEnd(std::int32_t quote) const;
  std::int32_t DirectiveEnd(std::int32_t from);
  std::int32_t WordEnd(std::int32_t from, bool number) const;

  const char* text_;
  std::int32_t length_;
  TextKind kind_;
  std::int32_t at_ = 0;
  bool lineStart_ = true;
  std::int32_t unclosedComment_ = -1;
  bool unclosedLiteral_ = false;
};

/// Skips a parenthesized group whose '(' is the lexer's next token, to just past its ')' (or to
/// the end of the text); false, having read nothing, when the next token is no '('.
bool SkipParenthesized(Lexer& lexer);

}  // namespace protowrap::check
