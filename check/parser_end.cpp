// The end of the wrap header: what the header holds after a NUL byte, what is left unfinished,
// and the uses of the client's names that a header which redefines them breaks.
#include <algorithm>
#include <string>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

// The header after the NUL byte where the wrap header ended: the compilers read it on. Its
// directives settle which configurations compile the header, as if the wrap header had not ended;
// the names it mentions (CG_, CW_) may be declared there, and their entries are not judged.
bool Parser::ReadHeaderAfterNul() {
  if (options_.header == nullptr) {
    return false;
  }
  const std::string_view header(options_.header, static_cast<std::size_t>(options_.headerLength));
  const std::size_t nul = header.find('\0');
  if (nul == std::string_view::npos) {
    return false;
  }
  // The compilers take a NUL byte for a blank: a directive that it splits ("#\0endif") is still
  // one, so the tail is read from the start of the NUL's line when that line is a directive.
  const std::size_t lineStart = header.find_last_of("\r\n", nul) + 1;  // npos + 1 is 0
  const std::size_t first = header.find_first_not_of(" \t", lineStart);
  const bool directive = first < nul && header[first] == '#';
  std::string& tail = headerAfterNul_;
  tail.assign(header.substr(directive ? lineStart : nul + 1));
  std::replace(tail.begin(), tail.end(), '\0', ' ');
  Lexer lexer(tail.data(), static_cast<std::int32_t>(tail.size()));
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kDirective) {
      preprocessor_.HeaderDirectiveAfterEnd(lexer.TextOf(t));
    } else if (t.kind == TokenKind::kIdentifier) {
      std::string_view name = lexer.TextOf(t);
      const std::size_t family = std::min(name.find("CG_"), name.find("CW_"));
      if (family != std::string_view::npos) {
        namesAfterNul_.insert(name.substr(family));
      }
    }
  }
  return true;
}

void Parser::EndOfText() {
  if (options_.cutAtNul && ReadHeaderAfterNul()) {
    cut_ = false;  // the header's end is known after all
  }
  preprocessor_.Finish(cut_);
  // The last token ends a statement: a ';', a '}' (of a body or a block), an include, or the
  // last token of a statement without ';' (a pragma operator, a macro's invocation).
  const bool boundary = previous_.kind == TokenKind::kEnd || IsPunct(previous_, ';') ||
                        IsPunct(previous_, '}') || previous_.kind == TokenKind::kDirective ||
                        previous_.begin == statementEnd_;
  if (options_.cutAtNul && lexer_.UnclosedComment() >= 0) {
    // The wrap header ends inside a comment, which the compilers blame where it opens.
    findings_.Add(lexer_.UnclosedComment(), HeaderProblem::kNulByte);
  } else if (options_.cutAtNul && (inTable_ || inStatement_ || !boundary || !scopes_.empty() ||
                                   lexer_.UnclosedLiteral())) {
    // The wrap header ends inside something that the header goes on with after its NUL byte.
    findings_.Add(length_, HeaderProblem::kNulByte);
  }
  if (!cut_) {
    names_.Finish(findings_, namesAfterNul_);
  }
  ClientMacros();
}

// A header that defines or undefines the names the client defines: where the wrap header's uses
// of them then fail, in each configuration that compiles the header.
void Parser::ClientMacros() {
  if (preprocessor_.TouchedClientMacros() == 0 || cut_) {
    return;
  }
  using Kind = Preprocessor::ClientMacro::Kind;
  std::int32_t firstFailure[kMaxConfigurations];
  for (int c = 0; c < kMaxConfigurations; ++c) {
    std::int32_t& failsAt = firstFailure[c];
    failsAt = -1;
    const auto fails = [&failsAt](std::int32_t at) {
      if (at >= 0 && (failsAt < 0 || at < failsAt)) {
        failsAt = at;
      }
    };
    const Preprocessor::ClientMacro entry = preprocessor_.ClientMacroIn(kEntryMacro, c);
    for (const auto& [arguments, at] : firstEntry_) {
      if (entry.kind == Kind::kUndefined ||
          (entry.kind == Kind::kFunction &&
           (entry.variadic ? arguments < entry.parameters : arguments != entry.parameters))) {
        fails(at);
      }
    }
    const Preprocessor::ClientMacro end = preprocessor_.ClientMacroIn(kEndMacro, c);
    if (end.kind == Kind::kUndefined ||
        (end.kind == Kind::kFunction && !end.variadic && end.parameters >= 2)) {
      fails(firstEnd_);
    }
    if (preprocessor_.ClientMacroIn(kTableType, c).kind == Kind::kUndefined) {
      fails(firstTable_);  // the client form that makes it a macro (inline constexpr) fails
    }
  }
  // One finding per place, with the configurations in which it fails.
  const ConfigurationSet inUse = preprocessor_.InUse();
  for (int c : Each(inUse)) {
    ConfigurationSet where = 0;
    for (int d = 0; d < kMaxConfigurations; ++d) {
      if (firstFailure[d] == firstFailure[c]) {
        where |= Only(d);
      }
    }
    if (firstFailure[c] >= 0 && (where & (Only(c) - 1)) == 0) {
      findings_.Add(firstFailure[c], HeaderProblem::kClientMacro, where);
    }
  }
}

}  // namespace protowrap::check
