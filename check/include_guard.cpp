// The walk over the header's top-level blocks that finds its include guard.
#include "check/include_guard.h"

#include <string>
#include <string_view>

#include "check/lexer.h"

namespace protowrap::check {

namespace {

bool IsPunct(std::string_view text, const Token& token, char c) {
  return token.kind == TokenKind::kPunctuator && text[static_cast<std::size_t>(token.begin)] == c;
}

// X of "!defined(X)" or "!defined X", the forms of a guard's #if; empty otherwise.
std::string_view GuardOfCondition(std::string_view condition) {
  Lexer lexer(condition.data(), static_cast<std::int32_t>(condition.size()));
  Token t = lexer.Next();
  if (!IsPunct(condition, t, '!')) {
    return {};
  }
  t = lexer.Next();
  if (t.kind != TokenKind::kIdentifier || lexer.TextOf(t) != "defined") {
    return {};
  }
  t = lexer.Next();
  const bool parenthesized = IsPunct(condition, t, '(');
  if (parenthesized) {
    t = lexer.Next();
  }
  if (t.kind != TokenKind::kIdentifier) {
    return {};
  }
  const std::string_view name = lexer.TextOf(t);
  if (parenthesized && !IsPunct(condition, lexer.Next(), ')')) {
    return {};
  }
  return lexer.Next().kind == TokenKind::kEnd ? name : std::string_view{};
}

// The walk over the header's top level: the last block there, and how far it got.
class GuardWalk {
 public:
  enum class Stage : std::uint8_t { kNone, kOpened, kDefined, kClosed };

  // A directive of the header (its text after '#'), live in the wrap header or not.
  void Directive(std::string_view directive, std::int32_t end, bool live) {
    std::string scratch;
    Lexer lexer(directive.data(), static_cast<std::int32_t>(directive.size()));
    const Token first = lexer.Next();
    const std::string_view word =
        first.kind == TokenKind::kIdentifier ? lexer.TextOf(first) : std::string_view{};
    const std::string_view rest = directive.substr(static_cast<std::size_t>(first.end));
    const bool opens = word == "if" || word == "ifdef" || word == "ifndef";
    if (opens && depth_++ == 0) {
      // A new block at the top: the guard, if any, is the last one.
      name_ = live               ? std::string()
              : word == "ifndef" ? std::string(FirstIdentifier(rest, &scratch))
              : word == "if"     ? std::string(GuardOfCondition(rest))
                                 : std::string();
      stage_ = name_.empty() ? Stage::kNone : Stage::kOpened;
      open_ = end;
      return;
    }
    if (stage_ == Stage::kOpened) {
      if (word == "define" && FirstIdentifier(rest, &scratch) == name_) {
        stage_ = Stage::kDefined;
      } else if (!(word == "pragma" && FirstIdentifier(rest, &scratch) == "once")) {
        stage_ = Stage::kNone;  // something else between the #ifndef and its #define
      }
      return;
    }
    if (opens) {
      return;  // a block inside
    }
    if (word == "endif" && depth_ > 0) {
      --depth_;
      if (depth_ == 0 && stage_ == Stage::kDefined) {
        stage_ = Stage::kClosed;
      }
    } else if (depth_ == 1 && (word == "else" || word.starts_with("elif"))) {
      stage_ = Stage::kNone;  // a guard has no other branch
    } else if (depth_ == 0) {
      stage_ = Stage::kNone;  // a directive after the last block
    }
  }

  // Code: between the #ifndef and its #define, or after the #endif, there is no guard.
  void Code() {
    if (stage_ == Stage::kOpened || (stage_ == Stage::kClosed && depth_ == 0)) {
      stage_ = Stage::kNone;
    }
  }

  std::int32_t Guard(bool cut) const {
    const bool closed = stage_ == Stage::kClosed && depth_ == 0;
    const bool goesOn = cut && stage_ == Stage::kDefined;
    return closed || goesOn ? open_ : -1;
  }

 private:
  std::string name_;
  Stage stage_ = Stage::kNone;
  int depth_ = 0;
  std::int32_t open_ = -1;
};

}  // namespace

std::int32_t FindIncludeGuard(const char* wrap, std::int32_t length, HeaderMirror* mirror,
                              bool cut) {
  GuardWalk walk;
  Lexer lexer(wrap, length, TextKind::kWrap);
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kEndedComment) {
      continue;  // a comment of the header's
    }
    if (t.kind == TokenKind::kCommentedDirective || t.kind == TokenKind::kDirective) {
      std::string_view directive;
      if (HeaderDirective(mirror, wrap, t, &scratch, &directive)) {
        walk.Directive(directive, t.end, t.kind == TokenKind::kDirective);
      }
    } else {
      walk.Code();
    }
  }
  return walk.Guard(cut);
}

}  // namespace protowrap::check
