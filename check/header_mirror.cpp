// The walk that finds a wrap header's line in its header, and the header's directive there.
#include "check/header_mirror.h"

#include <cstdint>

#include "check/expression.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

void CountLines(const char* text, std::int32_t from, std::int32_t to, std::int32_t* line) {
  for (std::int32_t at = from; at < to; ++at) {
    if (text[at] == '\n' || (text[at] == '\r' && !(at + 1 < to && text[at + 1] == '\n'))) {
      ++*line;
    }
  }
}

HeaderMirror::HeaderMirror(const char* wrap, std::int32_t wrapLength, const char* header,
                           std::int32_t headerLength)
    : wrap_(wrap),
      wrapLength_(wrapLength),
      header_(header),
      headerLength_(header != nullptr ? headerLength : 0),
      lexer_(header != nullptr ? header : "", header != nullptr ? headerLength : 0) {}

std::int32_t HeaderMirror::WrapLineOf(std::int32_t offset) {
  if (offset < wrapAt_) {
    wrapAt_ = 0;
    wrapLine_ = 1;
  }
  CountLines(wrap_, wrapAt_, offset < wrapLength_ ? offset : wrapLength_, &wrapLine_);
  wrapAt_ = offset;
  return wrapLine_;
}

bool HeaderMirror::DirectiveOnLineOf(std::int32_t wrapOffset, std::string_view* text) {
  if (header_ == nullptr) {
    return false;
  }
  const std::int32_t line = WrapLineOf(wrapOffset);
  if (line < askedLine_) {
    // An earlier line than the last one asked for: the walk starts again.
    lexer_ = Lexer(header_, headerLength_);
    headerAt_ = 0;
    headerLine_ = 1;
    nextLine_ = 0;
  }
  askedLine_ = line;
  while (nextLine_ < line) {
    Token t = lexer_.Next();
    while (t.kind != TokenKind::kDirective && t.kind != TokenKind::kEnd) {
      t = lexer_.Next();
    }
    if (t.kind == TokenKind::kEnd) {
      return false;  // no directive is left (the lexer stays at the end)
    }
    CountLines(header_, headerAt_, t.begin, &headerLine_);
    headerAt_ = t.begin;
    next_ = t;
    nextLine_ = headerLine_;
  }
  if (nextLine_ != line) {
    return false;
  }
  const std::int32_t skip = DirectiveMarkLength(header_[next_.begin]);
  *text = std::string_view(header_ + next_.begin + skip,
                           static_cast<std::size_t>(next_.end - next_.begin - skip));
  return true;
}

bool HeaderDirective(HeaderMirror* mirror, const char* wrap, const Token& token,
                     std::string* scratch, std::string_view* directive) {
  const std::string_view raw(wrap + token.begin, static_cast<std::size_t>(token.end - token.begin));
  const bool commented = token.kind == TokenKind::kCommentedDirective;
  if (commented && raw.starts_with(kCommentedInclude)) {
    return false;  // a comment of the header's
  }
  if (mirror != nullptr && mirror->Available()) {
    if (mirror->DirectiveOnLineOf(token.begin, directive)) {
      *directive = WithoutSplices(*directive, scratch);
      return true;
    }
    if (commented) {
      return false;  // a line inside a comment of the header's
    }
  }
  *directive = HeaderTextOf(commented ? raw.substr(kCommentedDirective.size()) : DirectiveBody(raw),
                            scratch);
  return true;
}

}  // namespace protowrap::check
