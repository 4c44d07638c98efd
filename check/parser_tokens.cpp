// The parser's tokens: reading them (with the commented-out directives handed to the
// preprocessor on the way), lookahead, and the one recovery routine that skips to where the
// parse can go on.
#include <algorithm>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

Parser::Parser(const char* text, std::int32_t length, const ParseOptions& options,
               ExpansionBudget& budget, Findings& findings)
    : text_(text),
      length_(length),
      options_(options),
      lexer_(text, length, TextKind::kWrap),
      findings_(findings),
      preprocessor_(text, length, budget, options.guard, options.setup),
      exposedComments_(text, length),
      values_(budget) {
  for (int c = 0; c < kMaxConfigurations; ++c) {
    macros_[c] = &preprocessor_.Macros(c);
  }
  cut_ = options.cutAtNul;
}

std::size_t Parser::ScopedNameHash::operator()(const ScopedName& key) const {
  return std::hash<std::string_view>()(key.name) ^ static_cast<std::size_t>(key.scope);
}

Token Parser::Pull() {
  if (aheadAt_ < ahead_.size()) {
    const Token token = ahead_[aheadAt_++];
    if (aheadAt_ == ahead_.size()) {
      ahead_.clear();
      aheadAt_ = 0;
    }
    return token;
  }
  return lexer_.Next();
}

void Parser::Advance() {
  previous_ = token_;
  for (;;) {
    token_ = Pull();
    if (token_.kind == TokenKind::kDirective) {
      LiveDirective();  // wherever it stands, an include stays a directive
    }
    if (token_.kind == TokenKind::kEndedComment) {
      Blame(token_.begin, HeaderProblem::kCommentEndedEarly);  // then on after the comment
      continue;
    }
    if (token_.kind != TokenKind::kCommentedDirective) {
      return;
    }
    if (inTable_ && !tableConditional_ && tableStart_ >= 0) {
      TableGoesConditional(token_.begin);
    }
    if (cut_ && token_.end == length_) {
      continue;  // the line of the NUL byte: read whole, with the header after it (EndOfText)
    }
    if (!preprocessor_.Directive(token_)) {
      continue;  // a line inside a comment of the header's
    }
    const Exposed exposed = exposedComments_.Of(token_);
    if (exposed.first >= 0) {
      // The rest of the header's comment is code here, up to its "*/": one cause, then past it.
      findings_.Add(exposed.first, HeaderProblem::kExposedComment);
      lexer_.Seek(exposed.end);
      ahead_.clear();
      aheadAt_ = 0;
    }
  }
}

Token Parser::Peek(int n) {
  std::size_t at = aheadAt_;
  for (;;) {
    if (at == ahead_.size()) {
      ahead_.push_back(lexer_.Next());
    }
    const Token& token = ahead_[at++];
    if (token.kind != TokenKind::kCommentedDirective && token.kind != TokenKind::kEndedComment &&
        --n == 0) {
      return token;
    }
    if (token.kind == TokenKind::kEnd) {
      return token;
    }
  }
}

bool Parser::IsIdent(std::string_view word) const {
  return token_.kind == TokenKind::kIdentifier && Text(token_) == word;
}

bool Parser::TryConsume(char c) {
  if (!IsPunct(c)) {
    return false;
  }
  Advance();
  return true;
}

bool Parser::IsEntry() const {
  return IsIdent(kEntryMacro);
}

bool Parser::IsEnd() const {
  return IsIdent(kEndMacro);
}

// What the rules wrote into a statement: a ',' (now "), "), an entry, or a closing entry, glued
// perhaps to the name, number or literal before the "};" ("{kOne};" became
// "{kOneMAKE_PROTOCOL_INFO_EOR() };", one token that no one declares). Every name of the header's
// that ends so is broken by "_PROTOCOL[] = ", so each of them in the wrap header is rule 8's.
bool Parser::IsRewritten() const {
  return IsPunct(',') || IsEntry() || Text(token_).ends_with(kEndMacro);
}

bool Parser::OnLaterLine(const Token& t, std::int32_t after) const {
  return FindLineEnd(text_, t.begin, after) < t.begin;
}

bool Parser::SkipUntil(unsigned stops) {
  int depth = 0;
  while (token_.kind != TokenKind::kEnd) {
    if (IsPunct('{')) {
      if ((stops & kAtOpenBrace) != 0 && depth == 0) {
        return true;
      }
      SkipBalanced('{');
      continue;
    }
    if (depth == 0 && (((stops & kAtStatementEnd) != 0 && (IsPunct(';') || IsPunct('}'))) ||
                       ((stops & kAtEntry) != 0 && (IsEntry() || IsEnd())) ||
                       ((stops & kAtCloseParen) != 0 && IsPunct(')')) ||
                       ((stops & kAtComma) != 0 && IsPunct(',')))) {
      return true;
    }
    // The '(' that rules 1 and 2 write after the entry macro (also inside a name:
    // "eMAKE_PROTOCOL_INFO(") closes only when a comma followed, so it opens nothing here; the
    // ')' of one that closed is then passed over as a stray one.
    if ((IsPunct('(') &&
         !(previous_.kind == TokenKind::kIdentifier && Text(previous_).ends_with(kEntryMacro))) ||
        IsPunct('[')) {
      ++depth;
    } else if ((IsPunct(')') || IsPunct(']')) && depth > 0) {
      --depth;
    }
    Advance();
  }
  return false;
}

// Skips a bracketed group, from its opening bracket (or from inside it, `depth` levels deep)
// to just past its closing one: every bracket loop of the parser. '{' groups count what a macro
// of the header's opens or closes (Braces). Returns whether the rules rewrote something inside (a
// ',' became "), ", a table's entry or its end).
bool Parser::SkipBalanced(char open, int depth) {
  const char close = open == '{' ? '}' : open == '[' ? ']' : ')';
  bool rewritten = false;
  do {
    depth += open == '{' ? Braces() : IsPunct(open) ? 1 : IsPunct(close) ? -1 : 0;
    rewritten = rewritten || IsRewritten();
    Advance();
  } while (depth > 0 && token_.kind != TokenKind::kEnd);
  return rewritten;
}

void Parser::SkipParentheses() {
  Advance();
  SkipUntil(kAtCloseParen);
  TryConsume(')');
}

void Parser::SkipStatement() {
  SkipUntil(kAtStatementEnd | kAtOpenBrace);
  if (IsPunct('{')) {
    SkipBalanced('{');
    SkipUntil(kAtStatementEnd);  // the declarators after a body
  }
  TryConsume(';');
}

void Parser::SkipToEntry() {
  SkipUntil(kAtEntry | kAtStatementEnd);
  TryConsume(';');
}

bool Parser::InvocationCloses(std::int32_t open) {
  if (unclosedFrom_ < 0) {
    // Once, from the first invocation asked for to the end: the invocations whose ')' never
    // comes, as the compiler collects arguments (parentheses only).
    unclosedFrom_ = open;
    struct Open {
      std::int64_t depth;
      std::int32_t at;
    };
    std::vector<Open> invocations;
    Lexer lexer(text_, length_, TextKind::kWrap);
    lexer.Seek(open);
    std::int64_t depth = 0;
    Token before;
    for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
      if (t.kind == TokenKind::kPunctuator && text_[t.begin] == '(') {
        ++depth;
        if (t.begin == open ||
            (before.kind == TokenKind::kIdentifier &&
             (lexer.TextOf(before) == kEntryMacro || lexer.TextOf(before) == kEndMacro))) {
          invocations.push_back({depth, t.begin});
        }
      } else if (t.kind == TokenKind::kPunctuator && text_[t.begin] == ')') {
        --depth;
        while (!invocations.empty() && invocations.back().depth > depth) {
          invocations.pop_back();
        }
      }
      if (t.kind != TokenKind::kCommentedDirective && t.kind != TokenKind::kDirective) {
        before = t;
      }
    }
    for (const Open& invocation : invocations) {
      unclosed_.push_back(invocation.at);
    }
  }
  return !std::binary_search(unclosed_.begin(), unclosed_.end(), open);
}

}  // namespace protowrap::check
