#include "wrap/check/grammar.h"

#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "wrap/check/conditionals.h"
#include "wrap/check/constant_value.h"
#include "wrap/check/lexer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Where SkipUntil stops, outside brackets of the skipped text.
enum Stop : unsigned {
  kAtSemicolon = 1,
  kAtCloseBrace = 2,   // a '}' of the enclosing block
  kAtOpenBrace = 4,    // otherwise a { ... } is skipped whole
  kAtEntry = 8,        // MAKE_PROTOCOL_INFO or MAKE_PROTOCOL_INFO_EOR
  kAtCloseParen = 16,  // a ')' without its '(': otherwise a stray ')' (the rules leave them) is
                       // passed over
  kAtComma = 32,
};

// A table's name in its namespace. A namespace is known by a 64-bit hash of its path from the
// global one, so that nesting and reopening cost no memory of their own.
struct ScopedName {
  std::uint64_t scope;
  std::string_view name;
  bool operator==(const ScopedName& other) const = default;
};

struct ScopedNameHash {
  std::size_t operator()(const ScopedName& key) const {
    return std::hash<std::string_view>()(key.name) ^ static_cast<std::size_t>(key.scope);
  }
};

// The namespace `name` inside the namespace `parent` (FNV-1a over the name, seeded by the parent).
std::uint64_t NestedScope(std::uint64_t parent, std::string_view name) {
  std::uint64_t hash = (parent ^ 0xcbf29ce484222325ull) * 0x100000001b3ull;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  }
  return (hash ^ name.size()) * 0x100000001b3ull;
}

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

// A declaration that names a type or a function and defines nothing may be repeated; the words
// between "class" and the name of "class PROTO_API Name;" are export macros, written in capitals.
bool LooksLikeMacro(std::string_view word) {
  if (word.size() < 2) {
    return false;
  }
  if (word.substr(0, 2) == "__") {
    return true;
  }
  for (const char c : word) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
      return false;
    }
  }
  return true;
}

class Parser {
 public:
  Parser(const char* text, std::int32_t length, ProblemSink& sink)
      : text_(text), length_(length), lexer_(text, length), sink_(sink), conditionals_(sink) {}

  void Run() {
    Advance();
    while (token_.kind != TokenKind::kEnd) {
      if (IsPunct('}')) {
        if (!scopes_.empty()) {
          scopes_.pop_back();
        } else {
          Report(token_.begin, HeaderProblem::kOther);  // closes nothing
        }
        Advance();
      } else {
        Statement();
      }
    }
    conditionals_.Finish();
  }

 private:
  // ---- Tokens ----

  Token Pull() {
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

  // Moves to the next token; the commented-out directives on the way go to the conditionals.
  void Advance() {
    previous_ = token_;
    for (;;) {
      token_ = Pull();
      if (token_.kind != TokenKind::kCommentedDirective) {
        return;
      }
      conditionals_.Directive(lexer_.TextOf(token_), token_.begin);
    }
  }

  // The n-th token after the current one (n >= 1), directives left for Advance.
  Token Peek(int n) {
    std::size_t at = aheadAt_;
    for (;;) {
      if (at == ahead_.size()) {
        ahead_.push_back(lexer_.Next());
      }
      const Token& token = ahead_[at++];
      if (token.kind != TokenKind::kCommentedDirective && --n == 0) {
        return token;
      }
      if (token.kind == TokenKind::kEnd) {
        return token;
      }
    }
  }

  std::string_view Text(const Token& t) const { return lexer_.TextOf(t); }
  bool IsIdent(std::string_view word) const {
    return token_.kind == TokenKind::kIdentifier && Text(token_) == word;
  }
  bool IsPunct(char c) const {
    return token_.kind == TokenKind::kPunctuator && text_[token_.begin] == c;
  }
  static bool IsPunct(const Token& t, const char* text, char c) {
    return t.kind == TokenKind::kPunctuator && text[t.begin] == c;
  }
  bool IsEntry() const { return IsIdent(kEntryMacro); }
  bool IsEnd() const { return IsIdent(kEndMacro); }
  // Where an entry of a table can begin: the place to resume after a bad one.
  bool AtEntryBoundary() const {
    return IsEntry() || IsEnd() || IsPunct('}') || IsPunct(';') || token_.kind == TokenKind::kEnd;
  }

  void Report(std::int32_t offset, HeaderProblem problem) { sink_.Report(offset, problem); }

  // ---- Recovery ----

  // Skips tokens up to the first of `stops` outside the brackets that the skipped text opens, or
  // to the end; returns whether it found one. Parentheses and square brackets nest; a { ... }
  // that is not a stop is skipped whole.
  bool SkipUntil(unsigned stops) {
    int depth = 0;
    while (token_.kind != TokenKind::kEnd) {
      if (IsPunct('{')) {
        if ((stops & kAtOpenBrace) != 0 && depth == 0) {
          return true;
        }
        SkipBraces();
        continue;
      }
      if (depth == 0 && (((stops & kAtSemicolon) != 0 && IsPunct(';')) ||
                         ((stops & kAtCloseBrace) != 0 && IsPunct('}')) ||
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

  // At a '{': skips to just after its '}' (or the end).
  void SkipBraces() {
    int depth = 0;
    do {
      if (IsPunct('{')) {
        ++depth;
      } else if (IsPunct('}')) {
        --depth;
      }
      Advance();
    } while (depth > 0 && token_.kind != TokenKind::kEnd);
  }

  // At a '(': skips to just after its ')' (or the end).
  void SkipParentheses() {
    Advance();
    SkipUntil(kAtCloseParen);
    if (IsPunct(')')) {
      Advance();
    }
  }

  // To the end of a statement: its ';' (consumed), a '}' that closes the enclosing block (not
  // consumed), or after a { ... } block, with the declarators that may follow a type's body
  // when `declarators`. Returns whether the statement held a block.
  bool SkipStatement(bool declarators = true) {
    SkipUntil(kAtSemicolon | kAtCloseBrace | kAtOpenBrace);
    const bool block = IsPunct('{');
    if (block) {
      SkipBraces();
      if (declarators) {
        SkipUntil(kAtSemicolon | kAtCloseBrace);
      }
    }
    if (IsPunct(';')) {
      Advance();
    }
    return block;
  }

  // To where the next entry of a table may begin; a ';' there is passed ("CG_A = 1;" inside an
  // enumeration is no C++ in the header either).
  void SkipToEntry() {
    SkipUntil(kAtEntry | kAtSemicolon | kAtCloseBrace);
    if (IsPunct(';')) {
      Advance();
    }
  }

  // ---- Statements ----

  void Statement() {
    if (token_.kind == TokenKind::kDirective) {
      Include();
      Advance();
    } else if (IsPunct(';')) {
      Advance();
    } else if (IsIdent("namespace")) {
      Namespace();
    } else if (IsIdent("inline") && Peek(1).kind == TokenKind::kIdentifier &&
               Text(Peek(1)) == "namespace") {
      Advance();
      Namespace();
    } else if (IsIdent("extern") && Peek(1).kind == TokenKind::kLiteral &&
               IsPunct(Peek(2), text_, '{')) {
      Advance();
      Advance();
      Advance();
      scopes_.push_back(Scope());  // extern "C" { ... }: the same namespace
    } else if (IsIdent(kTableType)) {
      Table();
    } else if (IsIdent("typedef") && Peek(1).kind == TokenKind::kIdentifier &&
               Text(Peek(1)) == kTableType) {
      Report(token_.begin, HeaderProblem::kTypedefEnum);
      SkipStatement();
    } else if (IsIdent("enum")) {
      Enum();
    } else if (IsEnd()) {
      // A "};" that closed a namespace, a struct or an initializer, now a table's end.
      Report(token_.begin, HeaderProblem::kStrayEnd);
      Advance();
      if (IsPunct('(')) {
        SkipParentheses();
      }
    } else {
      Declaration();
    }
  }

  std::uint64_t Scope() const { return scopes_.empty() ? 0 : scopes_.back(); }

  // namespace a { ... }, namespace a::b { ... }, namespace { ... }
  void Namespace() {
    const Token start = token_;
    Advance();
    std::uint64_t scope = Scope();
    bool named = false;
    while (token_.kind == TokenKind::kIdentifier || IsPunct(':')) {
      if (token_.kind == TokenKind::kIdentifier) {
        scope = NestedScope(scope, Text(token_));
        named = true;
      }
      Advance();
    }
    if (!IsPunct('{')) {
      Report(start.begin, HeaderProblem::kDefinition);  // namespace a = b, now "a , b"
      SkipStatement();
      return;
    }
    Advance();
    scopes_.push_back(named ? scope : NestedScope(scope, {}));
  }

  // An enum that the rules did not turn into a table.
  void Enum() {
    const Token start = token_;
    Advance();
    if (IsIdent("class") || IsIdent("struct")) {
      // enum class Name : std::uint8_t; declares it again, which is allowed; anything else has a
      // body, or what the rules made of its name.
      Advance();
      while (token_.kind == TokenKind::kIdentifier || IsPunct(':')) {
        Advance();
      }
      if (IsPunct(';')) {
        Advance();
      } else {
        Report(start.begin, HeaderProblem::kScopedEnum);
        SkipStatement();
      }
      return;
    }
    if (IsEntry()) {
      Report(start.begin, HeaderProblem::kNoEPrefix);
      SkipStatement();
      return;
    }
    if (token_.kind == TokenKind::kIdentifier && Text(token_).size() == kEntryMacro.size() + 1 &&
        Text(token_)[0] == 'e' && Text(token_).substr(1) == kEntryMacro) {
      // "enum\teCG_...": rule 1 wrote its entry macro into the name, and rule 3 did not undo it.
      Report(token_.begin, HeaderProblem::kEnumSpacing);
      SkipStatement();
      return;
    }
    if (token_.kind == TokenKind::kIdentifier) {
      // A named enumeration: harmless as a declaration, defined again with a body.
      if (SkipStatement()) {
        Report(start.begin, HeaderProblem::kDefinition);
      }
      return;
    }
    // An unnamed one: its enumerators are declared twice, which the compiler blames on them.
    SkipUntil(kAtSemicolon | kAtCloseBrace | kAtOpenBrace);
    if (!IsPunct('{')) {
      Report(start.begin, HeaderProblem::kDefinition);
      SkipStatement();
      return;
    }
    Advance();
    Report(token_.begin, IsEntry() ? HeaderProblem::kNoArray : HeaderProblem::kDefinition);
    SkipUntil(kAtCloseBrace);
    if (IsPunct('}')) {
      Advance();
    }
    SkipUntil(kAtSemicolon | kAtCloseBrace);
    if (IsPunct(';')) {
      Advance();
    }
  }

  // A statement that is neither a table nor a namespace. Harmless only as a pure declaration that
  // the rules leave alone: included again after the header, anything that defines something is
  // defined twice, and any ',' '=' or "};" it had is now rewritten.
  void Declaration() {
    const Token start = token_;
    const std::string_view first = Text(start);
    const bool typeKeyword = first == "struct" || first == "class" || first == "union";
    const bool typeDefinition = typeKeyword || first == "typedef" || first == "template";
    bool suspicious = false;
    bool block = false;
    bool parens = false;
    // After a type keyword: only words outside brackets, all but the last of them macros, as in
    // "class PROTO_API Name;" (attributes and __declspec(...) in brackets may stand among them).
    bool wordsOnly = true;
    int words = 0;
    int macros = 0;
    bool lastIsMacro = false;
    int depth = 0;
    Token last{};
    while (token_.kind != TokenKind::kEnd) {
      if (IsPunct('{')) {
        // A function body ends the statement; a type's body may have declarators after it.
        block = true;
        SkipStatement(typeDefinition);
        break;
      }
      if (depth <= 0 && IsPunct('}')) {
        break;
      }
      if (depth <= 0 && IsPunct(';')) {
        Advance();
        break;
      }
      if (IsPunct('(') || IsPunct('[')) {
        ++depth;
        parens = parens || IsPunct('(');
      } else if (IsPunct(')') || IsPunct(']')) {
        suspicious = suspicious || --depth < 0;
      } else if (IsPunct(',') || IsPunct('=') || IsPunct('#') || IsEntry() || IsEnd() ||
                 IsIdent(kTableType) || token_.kind == TokenKind::kDirective) {
        suspicious = true;
      } else if (depth == 0 && token_.begin != start.begin) {
        if (token_.kind == TokenKind::kIdentifier) {
          ++words;
          lastIsMacro = LooksLikeMacro(Text(token_));
          macros += lastIsMacro ? 1 : 0;
        } else {
          wordsOnly = false;
        }
      }
      last = token_;
      Advance();
    }
    suspicious = suspicious || depth != 0;
    const bool typeDeclaration = typeKeyword && wordsOnly && words >= 1 &&
                                 last.kind == TokenKind::kIdentifier &&
                                 macros - (lastIsMacro ? 1 : 0) == words - 1;
    const bool declarationOnly =
        first == "typedef" || first == "using" || first == "extern" || first == "static_assert" ||
        first == "friend" || first == "template" || typeDeclaration ||
        (parens && last.kind == TokenKind::kPunctuator && text_[last.begin] == ')') ||
        (parens && last.kind == TokenKind::kIdentifier &&
         (Text(last) == "const" || Text(last) == "noexcept" || Text(last) == "override"));
    if (block || suspicious || !declarationOnly) {
      Report(start.begin, HeaderProblem::kDefinition);
    }
  }

  // An include line: the rules must have left its file name alone. Every ',' and '=' of a wrap
  // header was written by a rule (the header's own commas became "), ", its '=' became ','), and
  // so were the entry macro, "PROTOCOL_STRUCT s" and the "//" before a '#'.
  void Include() {
    std::int32_t end = token_.begin + 1;
    while (end < token_.end && IsIdentifierByte(text_[end])) {
      ++end;
    }
    while (end < token_.end && (text_[end] == ' ' || text_[end] == '\t')) {
      ++end;
    }
    if (end < token_.end && (text_[end] == '"' || text_[end] == '<')) {
      const char close = text_[end] == '"' ? '"' : '>';
      ++end;
      while (end < token_.end && text_[end] != close) {
        ++end;
      }
    } else {
      end = token_.end;  // a name from a macro: all of it counts
    }
    const std::string_view name(text_ + token_.begin, static_cast<std::size_t>(end - token_.begin));
    const std::size_t table = name.find(kTableType);
    if (name.find(',') != std::string_view::npos || name.find('=') != std::string_view::npos ||
        name.find(kEntryMacro) != std::string_view::npos ||
        name.find("//#") != std::string_view::npos ||
        (table != std::string_view::npos && name.substr(table + kTableType.size(), 2) == " s")) {
      Report(token_.begin, HeaderProblem::kIncludeRenamed);
    }
  }

  // ---- Tables ----

  // PROTOCOL_STRUCT s<name>[] = { entries };
  void Table() {
    const Token head = token_;
    Advance();
    if (token_.kind != TokenKind::kIdentifier) {
      Report(head.begin, HeaderProblem::kOther);
      SkipStatement();
      return;
    }
    const std::string_view name = Text(token_);
    bool noArray = false;
    Advance();
    if (IsPunct('[')) {
      Advance();
      if (IsPunct(']')) {
        Advance();
      }
      if (IsPunct('=')) {
        Advance();
      }
      if (IsPunct(':')) {
        Report(token_.begin, HeaderProblem::kUnderlyingType);
      } else if (token_.kind == TokenKind::kIdentifier || token_.kind == TokenKind::kNumber) {
        Report(head.begin, HeaderProblem::kNameGoesOn);
      } else if (!IsPunct('{')) {
        Report(head.begin, HeaderProblem::kOther);
      }
    } else {
      // No "[] =": one object initialized with the list, which only an empty list can do.
      noArray = true;
      if (IsPunct(':')) {
        Report(token_.begin, HeaderProblem::kUnderlyingType);
      }
    }
    // On to the list, whatever the head was: its entries have causes of their own.
    if (!SkipUntil(kAtOpenBrace | kAtSemicolon | kAtCloseBrace) || !IsPunct('{')) {
      if (IsPunct(';')) {
        Advance();
      }
      return;
    }
    if (!tables_.insert({Scope(), name}).second) {
      Report(head.begin, HeaderProblem::kTableTwice);
    }
    Advance();
    if (noArray && !(IsPunct('}') && IsPunct(Peek(1), text_, ';'))) {
      // One object initialized with a list of entries: the compilers blame the entries.
      Report(token_.begin, HeaderProblem::kNoArray);
    }
    haveValue_ = false;
    first_ = true;
    TableEntries();
  }

  // The entries of a table, up to its closing "};".
  void TableEntries() {
    for (;;) {
      if (token_.kind == TokenKind::kEnd) {
        return;  // the header's own enumeration was not closed
      }
      if (IsEnd()) {
        Advance();
        if (IsPunct('(')) {
          SkipParentheses();
        }
      }
      if (IsPunct('}')) {
        Advance();
        if (IsPunct(';')) {
          Advance();
        } else {
          Report(token_.begin, HeaderProblem::kOther);  // } name; declares something else
          SkipStatement();
        }
        return;
      }
      if (IsEntry()) {
        PlainEntriesFromText();
        if (IsEntry()) {
          Entry();
        }
      } else if (!IsEnd()) {
        // An enumerator without CG_ or CW_ ends at its comma, now "), ".
        const bool name = token_.kind == TokenKind::kIdentifier;
        Report(token_.begin, name ? HeaderProblem::kNoPrefix : HeaderProblem::kOther);
        Advance();
        SkipUntil(kAtEntry | kAtSemicolon | kAtCloseBrace | (name ? kAtComma : 0u));
        if (IsPunct(',') || IsPunct(';')) {
          Advance();
        }
      }
    }
  }

  // An entry's name (a view of the text) at `start`: for the conditionals.
  void Named(std::string_view name, std::int32_t start) {
    if (conditionals_.Conditional()) {
      conditionals_.Entry(name, start);
    }
  }

  // The entry at `start` has the value `value` (or, when null, the one after the previous entry's).
  void Valued(std::int32_t start, const IntegerValue* value) {
    IntegerValue next;
    if (value != nullptr) {
      next = *value;
    } else if (!haveValue_ && first_) {
      next = IntegerValue{};  // the first enumerator: 0, an int
    } else if (!haveValue_ || !NextEnumeratorValue(value_, &next)) {
      haveValue_ = false;
      first_ = false;
      return;
    }
    value_ = next;
    haveValue_ = true;
    first_ = false;
    if (!next.FitsInInt()) {
      Report(start, HeaderProblem::kValueTooLarge);
    }
  }

  void Unvalued() {
    haveValue_ = false;
    first_ = false;
  }

  // Reads the common case straight from the text, without tokens: entries
  // "MAKE_PROTOCOL_INFO(<name>), " and "MAKE_PROTOCOL_INFO(<name> , <number or name>), " with
  // blanks, line ends and line comments between them. Leaves the current token at the first
  // entry it could not read that way (or at what follows the last one), for Entry to read.
  void PlainEntriesFromText() {
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
        Named(entryName, at);
        Valued(at, nullptr);
        end += 2;
      } else if (text[end] == ' ' && text[end + 1] == ',' && text[end + 2] == ' ') {
        const std::int32_t value = end + 3;
        end = identifier(value);
        if (end == value || length - end < 2 || text[end] != ')' || text[end + 1] != ',') {
          break;
        }
        Named(entryName, at);
        IntegerValue v;
        const std::string_view valueText(text + value, static_cast<std::size_t>(end - value));
        if (IsDigit(valueText[0]) ? ParseIntegerLiteral(valueText, &v)
                                  : EvaluateConstant(valueText, &v)) {
          Valued(at, &v);
        } else {
          Unvalued();
        }
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
        if (lineEnd >= length || text[lineEnd - 1] == '\\') {
          break;  // a continued comment: token by token
        }
        at = lineEnd;
      }
    }
    if (resume != token_.begin) {
      lexer_.Seek(resume);
      Advance();
    }
  }

  // MAKE_PROTOCOL_INFO(<name>), or MAKE_PROTOCOL_INFO(<name> , <value>),
  void Entry() {
    const Token start = token_;
    Advance();
    if (!IsPunct('(')) {
      Report(start.begin, HeaderProblem::kOther);
      Unvalued();
      SkipToEntry();
      return;
    }
    Advance();
    if (token_.kind != TokenKind::kIdentifier) {
      Report(start.begin, HeaderProblem::kOther);
      Unvalued();
      SkipToEntry();
      return;
    }
    Named(Text(token_), start.begin);
    Advance();
    if (IsPunct(')')) {
      Advance();
      if (IsPunct(',')) {
        Advance();
        Valued(start.begin, nullptr);
      } else {
        Report(start.begin, HeaderProblem::kOther);
        Unvalued();
        SkipToEntry();
      }
    } else if (IsPunct(',')) {
      Value(start);
    } else if (IsPunct('[') && IsPunct(Peek(1), text_, ']')) {
      Report(start.begin, HeaderProblem::kProtocolInEnumerator);
      Unvalued();
      SkipEntry();
    } else if (AtEntryBoundary()) {
      Report(start.begin, HeaderProblem::kMissingComma);
      Unvalued();
    } else {
      Report(start.begin, HeaderProblem::kOther);
      Unvalued();
      SkipEntry();
    }
  }

  // Skips the rest of an entry whose name went wrong: to its closing parenthesis and comma, or
  // to where the next entry begins.
  void SkipEntry() {
    SkipUntil(kAtEntry | kAtSemicolon | kAtCloseBrace | kAtCloseParen);
    if (IsPunct(')')) {
      Advance();
      if (IsPunct(',')) {
        Advance();
      }
    }
  }

  // The value of an entry, after its ',' (an '=' in the header): up to the entry's ')'.
  void Value(const Token& start) {
    const std::int32_t valueBegin = token_.end;
    int depth = 0;
    for (;;) {
      Advance();
      if (IsPunct('(') || IsPunct('[')) {
        ++depth;
      } else if (IsPunct(')') || IsPunct(']')) {
        if (depth == 0) {
          const std::int32_t valueEnd = token_.begin;
          Advance();
          if (IsPunct(',') || IsPunct('}')) {  // the last entry of "} ;" needs no comma
            if (IsPunct(',')) {
              Advance();
            }
            IntegerValue v;
            if (EvaluateConstant(std::string_view(text_ + valueBegin,
                                                  static_cast<std::size_t>(valueEnd - valueBegin)),
                                 &v)) {
              Valued(start.begin, &v);
            } else {
              Unvalued();
            }
          } else {
            // The value held a comma, which the rules made "), ": the entry closed early.
            Report(start.begin, HeaderProblem::kCommaInValue);
            Unvalued();
            SkipToEntry();
          }
          return;
        }
        --depth;
      } else if (IsEntry() && FindLineEnd(text_, token_.begin, previous_.end) == token_.begin) {
        // Another CG_/CW_ name inside the value: it opened an entry of its own.
        Report(start.begin, HeaderProblem::kValueNamesEnumerator);
        Unvalued();
        Advance();
        if (IsPunct('(')) {
          SkipParentheses();
        }
        if (IsPunct(',')) {
          Advance();
        }
        SkipToEntry();
        return;
      } else if (AtEntryBoundary()) {
        Report(start.begin, HeaderProblem::kMissingComma);
        Unvalued();
        return;
      }
    }
  }

  const char* text_;
  std::int32_t length_;
  Lexer lexer_;
  ProblemSink& sink_;
  ConditionalBlocks conditionals_;
  Token token_{};
  Token previous_{};
  std::vector<Token> ahead_;  // tokens read by Peek, not yet taken
  std::size_t aheadAt_ = 0;
  std::vector<std::uint64_t> scopes_;  // the namespaces open around the current token
  std::unordered_set<ScopedName, ScopedNameHash> tables_;
  IntegerValue value_;      // the value of the table's previous entry,
  bool haveValue_ = false;  // when it is known
  bool first_ = true;       // no entry of the table read yet
};

}  // namespace

void ParseWrapHeader(const char* text, std::int32_t length, ProblemSink& sink) {
  Parser(text, length, sink).Run();
}

}  // namespace protowrap::check
