// The parser's entries: each one's macro invocation collected as the compiler collects it (the
// common case read straight from the text), the names its entries need declared, and their
// values in every configuration.
#include <cstring>

#include "check/byte_runs.h"
#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// The eight bytes at p, as one word.
std::uint64_t EightBytesAt(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Whether "MAKE_PROTOCOL_INFO(" starts at p (19 readable bytes), compared as words: every entry
// of every table starts so.
bool IsEntryAt(const char* p) {
  static_assert(kEntryMacro.size() == 18);
  return EightBytesAt(p) == EightBytesAt(kEntryMacro.data()) &&
         EightBytesAt(p + 8) == EightBytesAt(kEntryMacro.data() + 8) && p[16] == kEntryMacro[16] &&
         p[17] == kEntryMacro[17] && p[18] == '(';
}

}  // namespace

void Parser::Declare(std::string_view name, std::int32_t entry, bool listed) {
  if (!names_.Keeping() && preprocessor_.Active().holds == kEveryConfiguration) {
    return;  // nothing to keep while every entry is compiled everywhere
  }
  std::string scratch;
  // A name that another entry's invocation swallows is declared by the header, but the wrap
  // header never compiles its entry: there is nothing of it to judge.
  if (names_.Entry(WithoutSplices(name, &scratch), entry, preprocessor_.Region(),
                   preprocessor_.Active(), listed ? tableNumber_ : -1, Scope(),
                   listed && preprocessor_.WrapActive().holds == kEveryConfiguration)) {
    // Two branches declare it, and the table, which keeps both, lists it twice.
    Blame(entry, HeaderProblem::kListedTwice);
  }
}
std::string_view Parser::HeaderTextAt(std::int32_t begin, std::int32_t end) {
  if (options_.header == nullptr) {
    return {};
  }
  if (headerMap_ == nullptr) {
    headerMap_ =
        std::make_unique<PositionMap>(options_.header, options_.headerLength, text_, length_);
  }
  const std::int32_t from = headerMap_->InputOffset(begin);
  const std::int32_t to = headerMap_->InputOffset(end);
  if (from < 0 || to < from) {
    return {};
  }
  return {options_.header + from, static_cast<std::size_t>(to - from)};
}

void Parser::ForgetNumbering() {
  numbering_.Unknown(preprocessor_.Active());
}
// The entry at `entry` has the value [valueBegin, valueEnd) of the text (`number`: one integer
// literal), or (valueBegin < 0) the one after the previous enumerator's.
void Parser::Number(std::int32_t entry, std::int32_t valueBegin, std::int32_t valueEnd,
                    bool number) {
  const bool given = valueBegin >= 0;
  std::string_view value =
      given ? std::string_view(text_ + valueBegin, static_cast<std::size_t>(valueEnd - valueBegin))
            : std::string_view{};
  const bool headerText =
      value.find('\'') != std::string_view::npos || value.find('"') != std::string_view::npos;
  if (headerText) {
    // A literal, in which the rules rewrote ',' and '=' ("'='" is "','" now): read it as the
    // header wrote it, or not at all.
    value = HeaderTextAt(valueBegin, valueEnd);
    if (value.data() == nullptr) {
      ForgetNumbering();
      return;
    }
  }
  const ConfigurationSet tooLarge =
      numbering_.Next(preprocessor_.Active(), given, value, number, values_, headerText);
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
  const auto identifier = [text, length](std::int32_t at) {
    return IdentifierEnd(text, at, length);
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
    ++tableEntries_;
    if (text[end] == ')' && text[end + 1] == ',') {
      firstEntry_.try_emplace(1, at);
      if (!everywhere || names_.Keeping()) {
        Declare(entryName, at);
      }
      if (!numbering_.NextPlainInt(preprocessor_.Active())) {
        Number(at, -1, -1);
      }
      end += 2;
    } else if (text[end] == ' ' && text[end + 1] == ',' && text[end + 2] == ' ') {
      const std::int32_t value = end + 3;
      end = identifier(value);
      if (end == value || length - end < 2 || text[end] != ')' || text[end + 1] != ',') {
        break;
      }
      firstEntry_.try_emplace(2, at);
      if (!everywhere || names_.Keeping()) {
        Declare(entryName, at);
      }
      if (!numbering_.NextSmallDecimal(
              preprocessor_.Active(),
              std::string_view(text + value, static_cast<std::size_t>(end - value)))) {
        Number(at, value, end, IsDigit(text[value]));
      }
      end += 2;
    } else {
      break;
    }
    ++plainEntries_;
    resume = at = end;
    // Blanks, line ends and line comments up to the next entry.
    for (;;) {
      // The text ends in a NUL, where this loop stops, since a NUL is no blank.
      while (IsBlankOrLineEnd(text[at])) {
        ++at;
      }
      if (at + 2 >= length || text[at] != '/' || text[at + 1] != '/' || text[at + 2] == '#') {
        break;  // not a comment, or a commented directive: token by token
      }
      // A comment that runs to the text's end leaves too little for an entry: the loop stops.
      const std::int32_t lineEnd = FindLineEnd(text, length, at);
      if (text[lineEnd - 1] == '\\' || IsBlank(text[lineEnd - 1])) {
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
          Declare(Text(token_), invocation.start.begin);
          ++tableEntries_;
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
      Declare(Text(Peek(2)), token_.begin, false);  // an enumerator the invocation swallows
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
    firstEntry_.try_emplace(invocation.arguments, start);
  }
  const HeaderProblem crossing =
      invocation.namesEntry ? HeaderProblem::kValueNamesEnumerator : HeaderProblem::kMissingComma;
  if (invocation.closed && IsPunct(')')) {
    // The entry closed inside its value: a ',' in the value, now "), ", left a ')' over.
    Blame(start, invocation.arguments >= 3 ? HeaderProblem::kCommaInValue
                 : invocation.crossed      ? crossing
                                           : HeaderProblem::kOther);
    ForgetNumbering();
    SkipToEntry();  // the stray ')' too
    return false;
  }
  if (invocation.closed && invocation.crossed) {
    // It went on past where its entry should have ended, as the compiler collects arguments,
    // and closed later: only the first argument counts, and the list may go on from there.
    ForgetNumbering();
    if (invocation.nameOnly && hasName && (IsPunct(',') || IsPunct('}'))) {
      return false;  // the table goes on at its ',' or ends at its '}'
    }
    Blame(start, crossing);
    return IsPunct(';');
  }
  if (!invocation.closed) {
    ForgetNumbering();
    if (invocation.namesEntry) {
      // Another CG_/CW_ name inside the value: it opened an entry of its own.
      Blame(start, HeaderProblem::kValueNamesEnumerator);
      Advance();
      if (IsPunct('(')) {
        SkipParentheses();
      }
      SkipToEntry();
    } else if (invocation.missingComma) {
      Blame(start, HeaderProblem::kMissingComma);
    }
    return false;  // at the end of the text: the header's enumeration goes on past it
  }
  if (!invocation.nameOnly || !hasName) {
    // The first argument, which the client uses as the enumerator, is more than a name.
    Blame(start, invocation.declarator        ? HeaderProblem::kProtocolInEnumerator
                 : invocation.moreOnLaterLine ? HeaderProblem::kMissingComma
                                              : HeaderProblem::kOther);
    ForgetNumbering();
  } else {
    Number(start, invocation.valueBegin, invocation.valueEnd);
  }
  return false;  // at the ',' after the entry, which the table passes by
}

}  // namespace protowrap::check
