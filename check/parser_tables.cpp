// The parser's tables: PROTOCOL_STRUCT s<name>[] = { entries }; what follows the last of them,
// and the uses of the client's names that a header which redefines them breaks.
#include <algorithm>
#include <string>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

// PROTOCOL_STRUCT s<name>[] = { entries };
void Parser::Table() {
  const Token head = token_;
  if (firstTable_ < 0) {
    firstTable_ = head.begin;
  }
  inTable_ = true;
  Advance();
  if (token_.kind != TokenKind::kIdentifier) {
    SkipStatement();
    inTable_ = false;
    return;
  }
  const std::string_view name = Text(token_);
  bool noArray = false;
  Advance();
  if (IsPunct('[')) {
    Advance();
    TryConsume(']');
    TryConsume('=');
    if (IsPunct(':')) {
      Broken(token_.begin, HeaderProblem::kUnderlyingType);
    } else if (token_.kind == TokenKind::kIdentifier || token_.kind == TokenKind::kNumber) {
      Broken(head.begin, HeaderProblem::kNameGoesOn);
    } else if (!IsPunct('{')) {
      Broken(head.begin, HeaderProblem::kOther);
    }
  } else {
    // No "[] =": one object initialized with the list, which only an empty list can do.
    noArray = true;
    if (IsPunct(':')) {
      Broken(token_.begin, HeaderProblem::kUnderlyingType);
    }
  }
  // On to the list, whatever the head was: its entries have causes of their own.
  if (!SkipUntil(kAtOpenBrace | kAtSemicolon | kAtCloseBrace) || !IsPunct('{')) {
    TryConsume(';');
    inTable_ = token_.kind == TokenKind::kEnd;
    return;
  }
  if (!tables_.insert({Scope(), name}).second) {
    Broken(head.begin, HeaderProblem::kTableTwice);
  }
  Advance();
  if (noArray && !(IsPunct('}') && IsPunct(Peek(1), ';'))) {
    // One object initialized with a list of entries: the compilers blame the entries.
    Broken(token_.begin, HeaderProblem::kNoArray);
  }
  numbering_.Restart();
  tableStart_ = token_.begin;
  ++tableNumber_;
  tableEntries_ = 0;
  tableClosed_ = false;
  tableConditional_ = false;
  TableEntries();
}

// Where the table ends without the closing entry that rule 8 writes before "};" (its enumeration
// ended in "} ;", or a macro closed it): a client that looks for the closing entry reads past the
// table, one that leaves out the last entry drops an enumerator. The wrap header still compiles.
void Parser::TableEnds(std::int32_t at) {
  if (!tableClosed_ && tableEntries_ > 0) {
    Broken(at, HeaderProblem::kNoClosingEntry);
  }
}

// The first directive inside the table: from here on its entries' names are kept, the names of
// its entries so far too (compiled everywhere, or no directive would be the first), so that a name
// that two branches declare is found listed twice.
void Parser::TableGoesConditional(std::int32_t at) {
  tableConditional_ = true;
  if (names_.Keeping()) {
    return;  // they are kept already
  }
  Lexer lexer(text_, at, TextKind::kWrap);
  lexer.Seek(tableStart_);
  Token before;
  Token previous;
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kIdentifier && previous.kind == TokenKind::kPunctuator &&
        text_[previous.begin] == '(' && before.kind == TokenKind::kIdentifier &&
        lexer.TextOf(before) == kEntryMacro) {
      names_.KeepFrom(tableStart_);
      names_.Entry(WithoutSplices(lexer.TextOf(t), &scratch), before.begin, 0, Truth::Always(),
                   tableNumber_);
    }
    before = previous;
    previous = t;
  }
}

// The entries of a table, up to its closing "};".
void Parser::TableEntries() {
  for (;;) {
    if (token_.kind == TokenKind::kEnd) {
      return;  // the header's enumeration goes on past the wrap header's end
    }
    if (IsEnd()) {
      tableClosed_ = true;
      if (firstEnd_ < 0) {
        firstEnd_ = token_.begin;
      }
      Advance();
      if (IsPunct('(')) {
        SkipParentheses();
      }
    } else if (IsPunct('}')) {
      const std::int32_t close = token_.begin;
      Advance();
      inTable_ = token_.kind == TokenKind::kEnd;  // the wrap header ends before the table's ';'
      if (IsPunct(';')) {
        TableEnds(close);
      }
      if (!TryConsume(';')) {
        // "} name;": the enumeration declares something else too, now after a table.
        if (token_.kind != TokenKind::kEnd) {
          Broken(token_.begin, HeaderProblem::kOther);
        }
        SkipStatement();
      }
      return;
    } else if (IsEntry()) {
      if (options_.plainEntries) {
        PlainEntriesFromText();
      }
      if (IsEntry() && Entry()) {
        // An entry that ran on past the table's end, as the compiler collects its arguments,
        // closed before a ';': the compiler's table ends there.
        TryConsume(';');
        inTable_ = false;
        return;
      }
    } else if (token_.kind == TokenKind::kIdentifier && MayBeMacro(token_)) {
      // The header's macro, which the compilers expand here as in the header: "};" closes the
      // table (ENUM_END), nothing leaves it; what else it stands for, the check does not judge.
      const std::string_view body = TeamMacroBody(token_);
      const std::int32_t at = token_.begin;
      Advance();
      if (body == "};" || (body == "}" && IsPunct(';'))) {
        TableEnds(at);
        inTable_ = false;
        TryConsume(';');
        return;
      }
      if (body.data() == nullptr) {
        SkipUntil(kAtSemicolon | kAtCloseBrace);  // the rest of the table, unjudged
        if (TryConsume('}')) {
          inTable_ = false;
          TryConsume(';');
          return;
        }
      }
    } else if (token_.kind == TokenKind::kIdentifier) {
      // An enumerator without CG_ or CW_ ends at its comma, now "), ": a ')' without '('.
      Broken(token_.begin, HeaderProblem::kNoPrefix);
      Unnumbered();
      Advance();
      SkipUntil(kAtEntry | kAtSemicolon | kAtCloseBrace | kAtComma);
      TryConsume(',');
    } else if (IsPunct(')')) {
      Broken(token_.begin, HeaderProblem::kOther);  // one cause for a run of them
      while (IsPunct(')')) {
        Advance();
      }
    } else {
      Advance();
    }
  }
}

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
    for (int arguments = 1; arguments <= 4; ++arguments) {
      if (entry.kind == Kind::kUndefined ||
          (entry.kind == Kind::kFunction && (entry.variadic  ? arguments < entry.parameters
                                             : arguments < 4 ? arguments != entry.parameters
                                                             : entry.parameters < 4))) {
        fails(firstEntry_[arguments - 1]);
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
  for (int c = 0; c < kMaxConfigurations; ++c) {
    if ((inUse & Only(c)) == 0) {
      continue;
    }
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
