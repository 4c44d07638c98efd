// The parser's tables: PROTOCOL_STRUCT s<name>[] = { entries }; with each entry's macro
// invocation collected as the compiler collects it, the names its entries need declared, and
// their values in every configuration.
#include <cstring>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Whether "MAKE_PROTOCOL_INFO(" starts at p (19 readable bytes), compared as words: every entry
// of every table starts so.
bool IsEntryAt(const char* p) {
  static_assert(kEntryMacro.size() == 18);
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint64_t wantA = 0;
  std::uint64_t wantB = 0;
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 8);
  std::memcpy(&wantA, kEntryMacro.data(), 8);
  std::memcpy(&wantB, kEntryMacro.data() + 8, 8);
  return a == wantA && b == wantB && p[16] == kEntryMacro[16] && p[17] == kEntryMacro[17] &&
         p[18] == '(';
}

// Whether `text` is one integer literal.
bool IsNumber(std::string_view text) {
  if (text.empty() || !IsDigit(text[0])) {
    return false;
  }
  for (const char c : text) {
    if (!IsIdentifierByte(c) && c != '\'') {
      return false;
    }
  }
  return true;
}

}  // namespace

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
  numbering_ = Numbering{};
  TableEntries();
}

// The entries of a table, up to its closing "};".
void Parser::TableEntries() {
  for (;;) {
    if (token_.kind == TokenKind::kEnd) {
      return;  // the header's enumeration goes on past the wrap header's end
    }
    if (IsEnd()) {
      if (firstEnd_ < 0) {
        firstEnd_ = token_.begin;
      }
      Advance();
      if (IsPunct('(')) {
        SkipParentheses();
      }
    } else if (IsPunct('}')) {
      Advance();
      inTable_ = false;
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

void Parser::Declared(std::string_view name, std::int32_t entry) {
  if (!names_.Keeping() && preprocessor_.Active().holds == kEveryConfiguration) {
    return;  // nothing to keep while every entry is compiled everywhere
  }
  std::string scratch;
  names_.Entry(WithoutSplices(name, &scratch), entry, preprocessor_.Region(),
               preprocessor_.Active());
}

void Parser::Unnumbered() {
  if (numbering_.same) {
    for (Evaluation& last : numbering_.last) {
      last = numbering_.last[0];
    }
    numbering_.same = false;
  }
  const ConfigurationSet may = preprocessor_.Active().MayHold();
  for (int c = 0; c < kConfigurationCount; ++c) {
    if ((may & Only(c)) != 0) {
      numbering_.last[c] = Evaluation{};
      numbering_.started |= Only(c);
    }
  }
}

// The entry at `entry` has the value [valueBegin, valueEnd) of the text, or (valueBegin < 0)
// the one after the previous enumerator's, in each configuration that compiles it.
// The usual case, at the cost of one value: an entry that every configuration compiles, where
// every configuration numbers alike, with no value or a number. False when it is not that case.
bool Parser::NumberedEverywhere(std::int32_t entry, std::int32_t valueBegin, std::int32_t valueEnd,
                                bool number) {
  if (!numbering_.same || preprocessor_.Active().holds != kEveryConfiguration) {
    return false;
  }
  Evaluation value;
  const Evaluation& last = numbering_.last[0];
  if (valueBegin >= 0) {
    const std::string_view text(text_ + valueBegin,
                                static_cast<std::size_t>(valueEnd - valueBegin));
    if (!number && !IsNumber(text)) {
      return false;
    }
    value.known = ParseIntegerLiteral(text, &value.value);
  } else if (numbering_.started == 0) {
    value = {true, IntegerValue::OfInt(0)};  // the first enumerator: 0, an int
  } else if (last.known && last.value.rank == 1 && last.value.isSigned &&
             last.value.bits != 0x7FFFFFFF) {
    value = last;  // an int after an int: one more (what bits hold, int's range wraps)
    value.value.bits = (last.value.bits + 1) & 0xFFFFFFFFu;
  } else if (last.known) {
    value.known = NextEnumeratorValue(last.value, &value.value);
  }
  numbering_.started = kEveryConfiguration;
  numbering_.last[0] = value;
  if (value.known && !(value.value.rank == 1 && value.value.isSigned) &&
      !value.value.FitsInInt()) {
    findings_.Add(entry, HeaderProblem::kValueTooLarge, kEveryConfiguration);
  }
  return true;
}

void Parser::Numbered(std::int32_t entry, std::int32_t valueBegin, std::int32_t valueEnd,
                      bool number) {
  if (NumberedEverywhere(entry, valueBegin, valueEnd, number)) {
    return;
  }
  if (numbering_.same) {
    for (Evaluation& last : numbering_.last) {
      last = numbering_.last[0];
    }
    numbering_.same = false;
  }
  const Truth active = preprocessor_.Active();
  const ConfigurationSet may = active.MayHold();
  Evaluation given[kConfigurationCount];
  if (valueBegin >= 0) {
    const std::string_view value(text_ + valueBegin,
                                 static_cast<std::size_t>(valueEnd - valueBegin));
    std::string_view trimmed = value;
    while (!trimmed.empty() && (IsBlank(trimmed.front()) || IsLineEnd(trimmed.front()))) {
      trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && (IsBlank(trimmed.back()) || IsLineEnd(trimmed.back()))) {
      trimmed.remove_suffix(1);
    }
    if (IsNumber(trimmed)) {
      Evaluation literal;
      literal.known = ParseIntegerLiteral(trimmed, &literal.value);
      for (Evaluation& e : given) {
        e = literal;
      }
    } else {
      for (int c = 0; c < kConfigurationCount; ++c) {
        if ((may & Only(c)) != 0) {
          given[c] = values_.Evaluate(value, ExpressionUse::kEnumerator, preprocessor_.Macros(c));
        }
      }
    }
  }
  ConfigurationSet tooLarge = 0;
  for (int c = 0; c < kConfigurationCount; ++c) {
    const ConfigurationSet lane = Only(c);
    if ((may & lane) == 0) {
      continue;  // not compiled here: the numbering goes on without it
    }
    Evaluation value = given[c];
    if (valueBegin < 0) {
      if ((numbering_.started & lane) == 0) {
        value = {true, IntegerValue::OfInt(0)};  // the first enumerator: 0, an int
      } else if (numbering_.last[c].known) {
        value.known = NextEnumeratorValue(numbering_.last[c].value, &value.value);
      } else {
        value = {};
      }
    }
    numbering_.started |= lane;
    if ((active.holds & lane) == 0) {
      numbering_.last[c] = {};  // perhaps compiled: what follows is not known
      continue;
    }
    numbering_.last[c] = value;
    if (value.known && !value.value.FitsInInt()) {
      tooLarge |= lane;
    }
  }
  if (tooLarge != 0) {
    findings_.Add(entry, HeaderProblem::kValueTooLarge, tooLarge);
  }
}

// Reads the common case straight from the text, without tokens: entries
// "MAKE_PROTOCOL_INFO(<name>), " and "MAKE_PROTOCOL_INFO(<name> , <number or name>), " with
// blanks, line ends and line comments between them. Leaves the current token at the first
// entry it could not read that way (or at what follows the last one), for Entry to read.
void Parser::PlainEntriesFromText() {
  if (aheadAt_ < ahead_.size()) {
    return;  // tokens were read ahead: on with them
  }
  constexpr auto kEntryLength = static_cast<std::int32_t>(kEntryMacro.size() + 1);
  const char* text = text_;
  const std::int32_t length = length_;
  // The text ends in a NUL, where the loops below stop, since a NUL is neither an identifier's
  // byte nor a blank.
  const auto identifier = [text](std::int32_t at) {
    while (IsIdentifierByte(text[at])) {
      ++at;
    }
    return at;
  };
  std::int32_t at = token_.begin;
  std::int32_t resume = at;  // after the last entry read
  // No directive stands among the entries read here: where they are compiled is the same for all.
  const bool everywhere = preprocessor_.Active().holds == kEveryConfiguration;
  for (;;) {
    if (length - at < kEntryLength + 3 || !IsEntryAt(text + at)) {
      break;
    }
    const std::int32_t name = at + kEntryLength;
    std::int32_t end = identifier(name);
    if (end == name || IsDigit(text[name]) || length - end < 3) {
      break;
    }
    const std::string_view entryName(text + name, static_cast<std::size_t>(end - name));
    if (text[end] == ')' && text[end + 1] == ',') {
      if (firstEntry_[0] < 0) {
        firstEntry_[0] = at;
      }
      if (!everywhere || names_.Keeping()) {
        Declared(entryName, at);
      }
      Numbered(at, -1, -1);
      end += 2;
    } else if (text[end] == ' ' && text[end + 1] == ',' && text[end + 2] == ' ') {
      const std::int32_t value = end + 3;
      end = identifier(value);
      if (end == value || length - end < 2 || text[end] != ')' || text[end + 1] != ',') {
        break;
      }
      if (firstEntry_[1] < 0) {
        firstEntry_[1] = at;
      }
      if (!everywhere || names_.Keeping()) {
        Declared(entryName, at);
      }
      Numbered(at, value, end, IsDigit(text[value]));
      end += 2;
    } else {
      break;
    }
    resume = at = end;
    // Blanks, line ends and line comments up to the next entry.
    for (;;) {
      while (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n') {
        ++at;
      }
      if (at + 2 >= length || text[at] != '/' || text[at + 1] != '/' || text[at + 2] == '#') {
        break;  // not a comment, or a commented directive: token by token
      }
      const std::int32_t lineEnd = FindLineEnd(text, length, at);
      if (lineEnd >= length || text[lineEnd - 1] == '\\' || IsBlank(text[lineEnd - 1])) {
        break;  // perhaps a continued comment: token by token
      }
      at = lineEnd;
    }
  }
  if (resume != token_.begin) {
    lexer_.Seek(resume);
    Advance();
  }
}

// A macro invocation of an entry, from its name: its arguments as the compiler collects them
// (parentheses only). Where the invocation meets the next entry, the table's end or a ';' before
// its ')', it closes only if the rest of the header closes it: else it stops there, with the
// cause, and the parse goes on from there.
Parser::Invocation Parser::ReadInvocation() {
  Invocation invocation;
  invocation.start = token_;
  Advance();
  const std::int32_t open = token_.begin;
  Advance();
  int depth = 1;
  bool first = true;
  bool haveName = false;
  bool asked = false;
  for (;;) {
    if (token_.kind == TokenKind::kEnd) {
      return invocation;
    }
    if (IsPunct('(')) {
      ++depth;
    } else if (IsPunct(')')) {
      if (--depth == 0) {
        invocation.closed = true;
        if (!first) {
          invocation.valueEnd = token_.begin;
        }
        Advance();
        return invocation;
      }
    } else if (IsPunct(',') && depth == 1) {
      if (first) {
        first = false;
        invocation.valueBegin = token_.end;
      }
      ++invocation.arguments;
    } else if (depth == 1 && !asked &&
               (IsEntry() || IsEnd() || IsPunct('}') || IsPunct(';') ||
                token_.kind == TokenKind::kDirective)) {
      asked = true;
      invocation.crossed = true;
      if (IsEntry() && !first && !OnLaterLine(token_, previous_.end)) {
        invocation.namesEntry = true;
      } else {
        invocation.missingComma = true;
      }
      if (!InvocationCloses(open)) {
        return invocation;
      }
    }
    if (first && !IsPunct(',')) {
      if (!haveName) {
        invocation.name = token_;
        haveName = true;
        invocation.nameOnly = token_.kind == TokenKind::kIdentifier;
        if (invocation.nameOnly) {
          // Declared where the entry begins, before the invocation crosses any directive.
          Declared(Text(token_), invocation.start.begin);
        }
      } else {
        invocation.nameOnly = false;
        invocation.declarator =
            invocation.declarator ||
            std::string_view(text_ + invocation.name.end,
                             static_cast<std::size_t>(length_ - invocation.name.end))
                    .substr(0, 4) == "[] =";
        invocation.moreOnLaterLine =
            invocation.moreOnLaterLine || OnLaterLine(token_, invocation.name.end);
      }
    } else if (IsEntry() && Peek(1).kind == TokenKind::kPunctuator && text_[Peek(1).begin] == '(' &&
               Peek(2).kind == TokenKind::kIdentifier) {
      Declared(Text(Peek(2)), token_.begin);  // an enumerator the invocation swallows
    }
    Advance();
  }
}

// MAKE_PROTOCOL_INFO(<name>), or MAKE_PROTOCOL_INFO(<name> , <value>),. Returns whether the
// entry ran on past its table's end and closed before a ';', which ends the table.
bool Parser::Entry() {
  const Invocation invocation = ReadInvocation();
  const std::int32_t start = invocation.start.begin;
  const bool hasName = invocation.name.kind == TokenKind::kIdentifier;
  if (invocation.closed) {
    const int arguments = invocation.arguments < 4 ? invocation.arguments : 4;
    if (firstEntry_[arguments - 1] < 0) {
      firstEntry_[arguments - 1] = start;
    }
  }
  const HeaderProblem crossing =
      invocation.namesEntry ? HeaderProblem::kValueNamesEnumerator : HeaderProblem::kMissingComma;
  if (invocation.closed && IsPunct(')')) {
    // The entry closed inside its value: a ',' in the value, now "), ", left a ')' over.
    Broken(start, invocation.arguments >= 3 ? HeaderProblem::kCommaInValue
                  : invocation.crossed      ? crossing
                                            : HeaderProblem::kOther);
    Unnumbered();
    Advance();
    SkipToEntry();
    return false;
  }
  if (invocation.closed && invocation.crossed) {
    // It went on past where its entry should have ended, as the compiler collects arguments,
    // and closed later: only the first argument counts, and the list may go on from there.
    Unnumbered();
    if (invocation.nameOnly && hasName && (IsPunct(',') || IsPunct('}'))) {
      TryConsume(',');
      return false;
    }
    Broken(start, crossing);
    return IsPunct(';');
  }
  if (!invocation.closed) {
    Unnumbered();
    if (invocation.namesEntry) {
      // Another CG_/CW_ name inside the value: it opened an entry of its own.
      Broken(start, HeaderProblem::kValueNamesEnumerator);
      Advance();
      if (IsPunct('(')) {
        SkipParentheses();
      }
      TryConsume(',');
      SkipToEntry();
    } else if (invocation.missingComma) {
      Broken(start, HeaderProblem::kMissingComma);
    }
    return false;  // at the end of the text: the header's enumeration goes on past it
  }
  if (!invocation.nameOnly || !hasName) {
    // The first argument, which the client uses as the enumerator, is more than a name.
    Broken(start, invocation.declarator        ? HeaderProblem::kProtocolInEnumerator
                  : invocation.moreOnLaterLine ? HeaderProblem::kMissingComma
                                               : HeaderProblem::kOther);
    Unnumbered();
  } else {
    Numbered(start, invocation.valueBegin, invocation.valueEnd);
  }
  TryConsume(',');
  return false;
}

void Parser::EndOfText() {
  preprocessor_.Finish(options_.cutAtNul);
  // The last token ends a statement: a ';', a '}' (of a body or a block), an include, or a
  // pragma operator's ')'.
  const bool boundary = previous_.kind == TokenKind::kEnd || IsPunct(previous_, ';') ||
                        IsPunct(previous_, '}') || previous_.kind == TokenKind::kDirective ||
                        previous_.begin == pragmaEnd_;
  if (options_.cutAtNul && lexer_.UnclosedComment() >= 0) {
    // The wrap header ends inside a comment, which the compilers blame where it opens.
    findings_.Add(lexer_.UnclosedComment(), HeaderProblem::kNulByte);
  } else if (options_.cutAtNul && (inTable_ || inStatement_ || !boundary || !scopes_.empty() ||
                                   lexer_.UnclosedLiteral())) {
    // The wrap header ends inside something that the header goes on with after its NUL byte.
    findings_.Add(length_, HeaderProblem::kNulByte);
  }
  if (!options_.cutAtNul) {
    names_.Finish(text_, length_, findings_);
  }
  ClientMacros();
}

// A header that defines or undefines the names the client defines: where the wrap header's uses
// of them then fail, in each configuration that compiles the header.
void Parser::ClientMacros() {
  if (preprocessor_.TouchedClientMacros() == 0 || options_.cutAtNul) {
    return;
  }
  using Kind = Preprocessor::ClientMacro::Kind;
  std::int32_t firstFailure[kConfigurationCount];
  for (int c = 0; c < kConfigurationCount; ++c) {
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
  for (int c = 0; c < kConfigurationCount; ++c) {
    ConfigurationSet where = 0;
    for (int d = 0; d < kConfigurationCount; ++d) {
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
