// The parser's tables: PROTOCOL_STRUCT s<name>[] = { entries }, and their ends.
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
      Blame(token_.begin, HeaderProblem::kUnderlyingType);
    } else if (token_.kind == TokenKind::kIdentifier || token_.kind == TokenKind::kNumber) {
      Blame(head.begin, HeaderProblem::kNameGoesOn);
    } else if (!IsPunct('{')) {
      Blame(head.begin, HeaderProblem::kOther);
    }
  } else {
    // No "[] =": one object initialized with the list, which only an empty list can do.
    noArray = true;
    if (IsPunct(':')) {
      Blame(token_.begin, HeaderProblem::kUnderlyingType);
    }
  }
  // On to the list, whatever the head was: its entries have causes of their own.
  if (!SkipUntil(kAtOpenBrace | kAtStatementEnd) || !IsPunct('{')) {
    TryConsume(';');
    inTable_ = token_.kind == TokenKind::kEnd;
    return;
  }
  if (!tables_.insert({Scope(), name}).second) {
    Blame(head.begin, HeaderProblem::kTableTwice);
  }
  // The table starts after its '{', before a directive that may stand first in it.
  numbering_.Restart();
  tableStart_ = token_.end;
  ++tableNumber_;
  tableEntries_ = 0;
  tableClosed_ = false;
  tableConditional_ = false;
  Advance();
  if (noArray && !(IsPunct('}') && IsPunct(Peek(1), ';'))) {
    // One object initialized with a list of entries: the compilers blame the entries.
    Blame(token_.begin, HeaderProblem::kNoArray);
  }
  TableEntries();
  names_.Table(tableStart_, previous_.end, Scope());
}

// Where the table ends without the closing entry that rule 8 writes before "};" (its enumeration
// ended in "} ;", or a macro closed it): a client that looks for the closing entry reads past the
// table, one that leaves out the last entry drops an enumerator. The wrap header still compiles.
void Parser::TableEnds(std::int32_t at) {
  if (!tableClosed_ && tableEntries_ > 0) {
    Blame(at, HeaderProblem::kNoClosingEntry);
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
                   tableNumber_, Scope());
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
          Blame(token_.begin, HeaderProblem::kOther);
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
        statementEnd_ = previous_.begin;  // the macro's "};" ended the statement
        return;
      }
      if (body.data() == nullptr) {
        SkipUntil(kAtStatementEnd);  // the rest of the table, unjudged
        if (TryConsume('}')) {
          inTable_ = false;
          TryConsume(';');
          return;
        }
      }
    } else if (token_.kind == TokenKind::kIdentifier) {
      // An enumerator without CG_ or CW_ ends at its comma, now "), ": a ')' without '('.
      Blame(token_.begin, HeaderProblem::kNoPrefix);
      ForgetNumbering();
      Advance();
      SkipUntil(kAtEntry | kAtStatementEnd | kAtComma);
      TryConsume(',');
    } else if (IsPunct(')')) {
      Blame(token_.begin, HeaderProblem::kOther);  // one cause for a run of them
      while (IsPunct(')')) {
        Advance();
      }
    } else {
      Advance();
    }
  }
}

}  // namespace protowrap::check
