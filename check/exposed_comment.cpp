// Block comments that a directive opens, which the wrap header shows as code.
#include "check/exposed_comment.h"

#include <string_view>

#include "check/expression.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

Exposed ExposedComments::Of(const Token& token) {
  const std::string_view raw(wrap_ + token.begin,
                             static_cast<std::size_t>(token.end - token.begin));
  if (raw.starts_with(kCommentedInclude) || raw.find("/*") == std::string_view::npos) {
    return {};
  }
  // The header's directive, as its lexer reads it: does a block comment open and stay open?
  const std::string_view directive =
      HeaderTextOf(raw.substr(kCommentedDirective.size()), &scratch_);
  Lexer words(directive.data(), static_cast<std::int32_t>(directive.size()));
  while (words.Next().kind != TokenKind::kEnd) {
  }
  if (words.UnclosedComment() < 0) {
    return {};
  }
  const std::int32_t close = CommentEnd(token.end);
  if (close < 0) {
    return {};
  }
  // What the wrap header reads before the "*/" is code; so is the "*/" itself, unless a comment
  // of the wrap header's own swallows it.
  Lexer lexer(wrap_, close + 2, TextKind::kWrap);
  lexer.Seek(token.end);
  std::int32_t first = -1;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective || t.kind == TokenKind::kEndedComment) {
      continue;
    }
    if (first < 0) {
      first = t.begin;
    }
    if (t.begin == close && t.kind == TokenKind::kPunctuator) {
      return {first, close + 2};
    }
  }
  return {};
}

// The header's comment ends at the next "*/" that the rules did not write: a '#' after '*' in it
// became "*//#" (but "#include", which rule 10 gave back its '#').
std::int32_t ExposedComments::CommentEnd(std::int32_t from) {
  if (searchedFrom_ >= 0 && from >= searchedFrom_ &&
      (searchedClose_ < 0 || from <= searchedClose_)) {
    return searchedClose_;
  }
  const std::string_view text(wrap_, static_cast<std::size_t>(length_));
  std::int32_t close = -1;
  for (std::size_t at = static_cast<std::size_t>(from);;) {
    const std::size_t found = text.find("*/", at);
    if (found == std::string_view::npos) {
      break;
    }
    const std::string_view after = text.substr(found + 1);
    if (after.starts_with(kCommentedDirective) && !after.starts_with(kCommentedInclude)) {
      at = found + 2;
      continue;
    }
    close = static_cast<std::int32_t>(found);
    break;
  }
  searchedFrom_ = from;
  searchedClose_ = close;
  return close;
}

}  // namespace protowrap::check
