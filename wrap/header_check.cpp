#include "wrap/header_check.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "wrap/rewrite_rules.h"

namespace protowrap {

namespace {

// ---- Characters --------------------------------------------------------------------------------

enum CharClass : unsigned char {
  kPlain = 0,
  kBlank = 1,      // space, tab, vertical tab, form feed
  kLineEnd = 2,    // LF, CR
  kIdentChar = 4,  // letters, '_', '$', bytes from 0x80 (UTF-8 identifiers), digits
  kDigit = 8,
};

struct CharTable {
  unsigned char classes[256] = {};
  constexpr CharTable() {
    for (int c = 0; c < 256; ++c) {
      unsigned char k = kPlain;
      if (c == ' ' || c == '\t' || c == '\v' || c == '\f') {
        k = kBlank;
      } else if (c == '\n' || c == '\r') {
        k = kLineEnd;
      } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
                 c >= 0x80) {
        k = kIdentChar;
      } else if (c >= '0' && c <= '9') {
        k = kIdentChar | kDigit;
      }
      classes[c] = k;
    }
  }
};

constexpr CharTable kChars;

unsigned char ClassOf(char c) {
  return kChars.classes[static_cast<unsigned char>(c)];
}

// Whether "MAKE_PROTOCOL_INFO(" starts at p (19 readable bytes): compared as words, without a
// library call, since every entry of every table starts so.
bool IsEntryAt(const char* p) {
  static constexpr char kEntry[] = "MAKE_PROTOCOL_INFO(";
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint64_t wantA = 0;
  std::uint64_t wantB = 0;
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 8);
  std::memcpy(&wantA, kEntry, 8);
  std::memcpy(&wantB, kEntry + 8, 8);
  return a == wantA && b == wantB && p[16] == kEntry[16] && p[17] == kEntry[17] &&
         p[18] == kEntry[18];
}

// ---- Tokens ------------------------------------------------------------------------------------

enum class Kind : unsigned char { kEnd, kIdent, kNumber, kString, kPunct, kDirective };

struct Token {
  Kind kind = Kind::kEnd;
  std::int32_t begin = 0;
  std::int32_t end = 0;
};

// Splits a wrap header into the tokens a compiler sees: comments and blanks are skipped, string
// and character literals are single tokens, and a '#' that begins a line starts a directive that
// runs to the line's end.
class Lexer {
 public:
  Lexer(const char* text, std::int32_t length) : text_(text), length_(length) {}

  /// Goes on reading at `at`, in the middle of a line.
  void Seek(std::int32_t at) {
    at_ = at;
    lineStart_ = false;
  }

  Token Next() {
    for (;;) {
      if (at_ >= length_) {
        return {Kind::kEnd, length_, length_};
      }
      const char c = text_[at_];
      const unsigned char k = ClassOf(c);
      if (k == kLineEnd) {
        ++at_;
        lineStart_ = true;
      } else if (k == kBlank) {
        ++at_;
      } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '/') {
        at_ = LineEnd(at_ + 2);
      } else if (c == '/' && at_ + 1 < length_ && text_[at_ + 1] == '*') {
        SkipBlockComment();
      } else {
        break;
      }
    }
    const std::int32_t begin = at_;
    const bool firstOnLine = lineStart_;
    lineStart_ = false;
    const char c = text_[at_];
    const unsigned char k = ClassOf(c);
    if (k & kDigit || (c == '.' && at_ + 1 < length_ && ClassOf(text_[at_ + 1]) & kDigit)) {
      // A preprocessing number: digits, letters, '.', digit separators, and a sign after an
      // exponent.
      ++at_;
      while (at_ < length_) {
        const char d = text_[at_];
        if (ClassOf(d) & kIdentChar || d == '.' || d == '\'') {
          ++at_;
        } else if ((d == '+' || d == '-') && (text_[at_ - 1] == 'e' || text_[at_ - 1] == 'E' ||
                                              text_[at_ - 1] == 'p' || text_[at_ - 1] == 'P')) {
          ++at_;
        } else {
          break;
        }
      }
      return {Kind::kNumber, begin, at_};
    }
    if (k & kIdentChar) {
      while (at_ < length_ && ClassOf(text_[at_]) & kIdentChar) {
        ++at_;
      }
      return {Kind::kIdent, begin, at_};
    }
    if (c == '"' || c == '\'') {
      ++at_;
      while (at_ < length_ && text_[at_] != c && ClassOf(text_[at_]) != kLineEnd) {
        at_ += text_[at_] == '\\' && at_ + 1 < length_ ? 2 : 1;
      }
      if (at_ < length_ && text_[at_] == c) {
        ++at_;
      }
      return {Kind::kString, begin, at_};
    }
    if (c == '#' && firstOnLine) {
      at_ = LineEnd(at_ + 1);
      return {Kind::kDirective, begin, at_};
    }
    ++at_;
    return {Kind::kPunct, begin, at_};
  }

 private:
  // The end of the line that holds `from` (its first line-end byte, or the end of the text);
  // a backslash right before a line end continues the line.
  std::int32_t LineEnd(std::int32_t from) const {
    while (from < length_) {
      const char* p = text_ + from;
      const std::size_t rest = static_cast<std::size_t>(length_ - from);
      const void* lf = std::memchr(p, '\n', rest);
      const std::size_t lfAt =
          lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : rest;
      const void* cr = std::memchr(p, '\r', lfAt);
      const std::size_t endAt =
          cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - p) : lfAt;
      const std::int32_t end = from + static_cast<std::int32_t>(endAt);
      if (end >= length_ || end == 0 || text_[end - 1] != '\\') {
        return end;
      }
      // Continued: the line goes on after this line end (CR LF counts as one).
      from = end + (text_[end] == '\r' && end + 1 < length_ && text_[end + 1] == '\n' ? 2 : 1);
    }
    return length_;
  }

  void SkipBlockComment() {
    std::int32_t from = at_ + 2;
    for (;;) {
      const void* star =
          from < length_ ? std::memchr(text_ + from, '*', static_cast<std::size_t>(length_ - from))
                         : nullptr;
      const std::int32_t end =
          star != nullptr ? static_cast<std::int32_t>(static_cast<const char*>(star) - text_)
                          : length_;
      if (end >= length_) {
        from = length_;
        break;
      }
      if (end + 1 < length_ && text_[end + 1] == '/') {
        from = end + 2;
        break;
      }
      from = end + 1;
    }
    const std::size_t span = static_cast<std::size_t>(from - at_);
    if (std::memchr(text_ + at_, '\n', span) != nullptr ||
        std::memchr(text_ + at_, '\r', span) != nullptr) {
      lineStart_ = true;  // a directive may follow a comment that ended a line
    }
    at_ = from;
  }

  const char* text_;
  std::int32_t length_;
  std::int32_t at_ = 0;
  bool lineStart_ = true;
};

// ---- Locations ---------------------------------------------------------------------------------

// Where a line ends (its first line-end byte) from `from` on, or `length`.
std::int32_t FindLineEnd(const char* text, std::int32_t length, std::int32_t from) {
  for (std::int32_t i = from; i < length; ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      return i;
    }
  }
  return length;
}

// The first byte of the next line, after the line end at `end`.
std::int32_t NextLine(const char* text, std::int32_t length, std::int32_t end) {
  if (end < length && text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') {
    return end + 2;
  }
  return end < length ? end + 1 : length;
}

// Applies the rules to one line, recording for every byte of the result the offset of the input
// byte it came from (a replacement's bytes come from the start of its match). Lines are
// independent, since no pattern holds a line end.
void RewriteTracked(std::string* text, std::vector<std::int32_t>* origin) {
  std::string next;
  std::vector<std::int32_t> nextOrigin;
  for (const RewriteRule* rule = kRewriteRules; rule->pattern != nullptr; ++rule) {
    const std::string_view pattern(rule->pattern);
    const std::string_view replacement(rule->replacement != nullptr ? rule->replacement : "");
    next.clear();
    nextOrigin.clear();
    std::size_t from = 0;
    for (std::size_t at; (at = text->find(pattern, from)) != std::string::npos;
         from = at + pattern.size()) {
      next.append(*text, from, at - from);
      nextOrigin.insert(nextOrigin.end(), origin->begin() + static_cast<std::ptrdiff_t>(from),
                        origin->begin() + static_cast<std::ptrdiff_t>(at));
      next.append(replacement);
      nextOrigin.insert(nextOrigin.end(), replacement.size(), (*origin)[at]);
    }
    next.append(*text, from, std::string::npos);
    nextOrigin.insert(nextOrigin.end(), origin->begin() + static_cast<std::ptrdiff_t>(from),
                      origin->end());
    text->swap(next);
    origin->swap(nextOrigin);
  }
}

// Turns offsets of the wrap header, given in increasing order, into lines and columns of the
// input, walking both texts line by line in step.
class Locator {
 public:
  Locator(const char* input, std::int32_t inputLength, const char* output,
          std::int32_t outputLength)
      : input_(input), inputLength_(inputLength), output_(output), outputLength_(outputLength) {}

  /// The 1-based line of `offset`, and the 1-based column in the input that its byte came from
  /// (0 when there is no input, or when its line does not give this line of the output).
  void Locate(std::int32_t offset, std::int32_t* line, std::int32_t* column) {
    for (;;) {
      const std::int32_t end = FindLineEnd(output_, outputLength_, outputLine_);
      if (offset <= end || end >= outputLength_) {
        break;
      }
      outputLine_ = NextLine(output_, outputLength_, end);
      if (input_ != nullptr) {
        inputLine_ = NextLine(input_, inputLength_, FindLineEnd(input_, inputLength_, inputLine_));
      }
      ++line_;
    }
    *line = line_;
    *column = input_ != nullptr ? InputColumn(offset - outputLine_) : 0;
  }

 private:
  // The 1-based input column that the byte at `outputColumn` of the current line came from, or
  // 0 when the input's line, rewritten, is not the output's line (the input changed meanwhile).
  std::int32_t InputColumn(std::int32_t outputColumn) const {
    const std::int32_t end = FindLineEnd(input_, inputLength_, inputLine_);
    std::string text(input_ + inputLine_, static_cast<std::size_t>(end - inputLine_));
    std::vector<std::int32_t> origin(text.size());
    for (std::size_t i = 0; i < origin.size(); ++i) {
      origin[i] = static_cast<std::int32_t>(i);
    }
    RewriteTracked(&text, &origin);
    const std::int32_t outputEnd = FindLineEnd(output_, outputLength_, outputLine_);
    if (text != std::string_view(output_ + outputLine_,
                                 static_cast<std::size_t>(outputEnd - outputLine_))) {
      return 0;
    }
    if (outputColumn < 0 || static_cast<std::size_t>(outputColumn) >= origin.size()) {
      return static_cast<std::int32_t>(end - inputLine_) + 1;  // the end of the line
    }
    return origin[static_cast<std::size_t>(outputColumn)] + 1;
  }

  const char* input_;
  std::int32_t inputLength_;
  const char* output_;
  std::int32_t outputLength_;
  std::int32_t outputLine_ = 0;
  std::int32_t inputLine_ = 0;
  std::int32_t line_ = 1;
};

// ---- The check ---------------------------------------------------------------------------------

// Reads the wrap header as the grammar the rules aim at: tables of entries, with comments,
// include lines, namespaces and plain declarations around them. Anything else is a cause of a
// compile error, reported once where it starts.
class Checker {
 public:
  Checker(const char* input, std::int32_t inputLength, const char* output,
          std::int32_t outputLength, HeaderWarningSink sink, void* context)
      : output_(output),
        outputLength_(outputLength),
        lexer_(output, outputLength),
        locator_(input, inputLength, output, outputLength),
        sink_(sink),
        context_(context) {}

  std::int32_t Run() {
    Advance();
    while (token_.kind != Kind::kEnd) {
      if (IsPunct('}')) {
        Report(token_.begin, HeaderProblem::kOther);  // closes nothing
        Advance();
      } else {
        Statement();
      }
    }
    return count_;
  }

 private:
  void Advance() {
    previous_ = token_;
    token_ = lexer_.Next();
  }

  std::string_view Text(const Token& t) const {
    return {output_ + t.begin, static_cast<std::size_t>(t.end - t.begin)};
  }
  bool IsIdent(std::string_view word) const {
    return token_.kind == Kind::kIdent && Text(token_) == word;
  }
  bool IsPunct(char c) const { return token_.kind == Kind::kPunct && output_[token_.begin] == c; }
  bool IsEntry() const { return IsIdent("MAKE_PROTOCOL_INFO"); }
  bool IsEnd() const { return IsIdent("MAKE_PROTOCOL_INFO_EOR"); }
  // Where an entry of a table can begin: the place to resume after a bad one.
  bool AtEntryBoundary() const {
    return IsEntry() || IsEnd() || IsPunct('}') || IsPunct(';') || token_.kind == Kind::kEnd;
  }

  bool LineEndBetween(std::int32_t from, std::int32_t to) const {
    const std::size_t span = static_cast<std::size_t>(to > from ? to - from : 0);
    return std::memchr(output_ + from, '\n', span) != nullptr ||
           std::memchr(output_ + from, '\r', span) != nullptr;
  }

  void Report(std::int32_t offset, HeaderProblem problem) {
    ++count_;
    if (sink_ != nullptr) {
      HeaderWarning warning{0, 0, problem, HeaderProblemMessage(problem)};
      locator_.Locate(offset, &warning.line, &warning.column);
      sink_(context_, warning);
    }
  }

  // Statements of a namespace scope, up to its closing brace (consumed) or the end.
  void Scope() {
    while (token_.kind != Kind::kEnd && !IsPunct('}')) {
      Statement();
    }
    if (IsPunct('}')) {
      Advance();
    }
  }

  void Statement() {
    if (token_.kind == Kind::kDirective) {
      Include();
      Advance();
    } else if (IsPunct(';')) {
      Advance();
    } else if (IsIdent("namespace") || IsIdent("inline")) {
      Namespace();
    } else if (IsIdent("extern") && LinkageBlock()) {
      Scope();
    } else if (IsIdent("PROTOCOL_STRUCT")) {
      Table();
    } else if (IsIdent("typedef") && PeekIsTable()) {
      Report(token_.begin, HeaderProblem::kTypedefEnum);
      SkipStatement();
    } else if (IsIdent("enum")) {
      Enum();
    } else if (IsEnd()) {
      // A "};" that closed a namespace, a struct or an initializer, now a table's end.
      Report(token_.begin, HeaderProblem::kStrayEnd);
      Advance();
      if (IsPunct('(')) {
        SkipBalanced();
      }
    } else {
      Declaration();
    }
  }

  // Whether the token after the current one is the punctuator `c`.
  bool NextIs(char c) const {
    Lexer peek = lexer_;
    const Token next = peek.Next();
    return next.kind == Kind::kPunct && output_[next.begin] == c;
  }

  bool PeekIsTable() const {
    Lexer peek = lexer_;
    const Token next = peek.Next();
    return next.kind == Kind::kIdent && Text(next) == "PROTOCOL_STRUCT";
  }

  // extern "C" { : consumes it and returns true; otherwise consumes nothing.
  bool LinkageBlock() {
    Lexer peek = lexer_;
    const Token language = peek.Next();
    const Token brace = peek.Next();
    if (language.kind != Kind::kString || brace.kind != Kind::kPunct ||
        output_[brace.begin] != '{') {
      return false;
    }
    lexer_ = peek;  // now at the '{'
    Advance();
    return true;
  }

  void Namespace() {
    const Token start = token_;
    if (IsIdent("inline")) {
      Lexer peek = lexer_;
      const Token next = peek.Next();
      if (next.kind != Kind::kIdent || Text(next) != "namespace") {
        Declaration();
        return;
      }
      Advance();
    }
    Advance();
    std::string name;
    while (token_.kind == Kind::kIdent || IsPunct(':')) {
      name.append(Text(token_));
      Advance();
    }
    if (!IsPunct('{')) {
      Report(start.begin, HeaderProblem::kDefinition);  // namespace a = b, now "a , b"
      SkipStatement();
      return;
    }
    Advance();
    const std::size_t outer = scope_.size();
    scope_.append(name).append("::");
    Scope();
    scope_.resize(outer);
  }

  // enum that the rules did not turn into a table.
  void Enum() {
    const Token start = token_;
    Advance();
    if (IsIdent("class") || IsIdent("struct")) {
      Report(start.begin, HeaderProblem::kScopedEnum);
      SkipStatement();
      return;
    }
    if (IsEntry()) {
      Report(start.begin, HeaderProblem::kNoEPrefix);
      SkipStatement();
      return;
    }
    // Another enumeration: harmless as a declaration, defined again with a body.
    if (SkipStatement()) {
      Report(start.begin, HeaderProblem::kDefinition);
    }
  }

  // Skips to the end of the statement: its ';' at depth 0 (consumed), or a brace block (and,
  // when `declarators`, what follows it up to the ';', as after a struct or enum), or a '}' that
  // closes the scope (not consumed). Returns whether it held a block.
  bool SkipStatement(bool declarators = true) {
    int depth = 0;
    bool block = false;
    while (token_.kind != Kind::kEnd) {
      if (IsPunct('{') && !block) {
        SkipBalanced();
        block = true;
        if (!declarators) {
          if (IsPunct(';')) {
            Advance();
          }
          return true;
        }
        continue;
      }
      if (depth <= 0 && (IsPunct(';') || IsPunct('}'))) {
        if (IsPunct(';')) {
          Advance();
        }
        return block;
      }
      if (IsPunct('(') || IsPunct('[')) {
        ++depth;
      } else if (IsPunct(')') || IsPunct(']')) {
        --depth;
      }
      Advance();
    }
    return block;
  }

  // The current token opens a bracket; skips to just after its match (or the end). Only
  // brackets of its kind count: the rules leave stray ')' behind.
  void SkipBalanced() {
    const char open = output_[token_.begin];
    const char close = open == '(' ? ')' : open == '[' ? ']' : '}';
    int depth = 0;
    do {
      if (IsPunct(open)) {
        ++depth;
      } else if (IsPunct(close)) {
        --depth;
      }
      Advance();
    } while (depth > 0 && token_.kind != Kind::kEnd);
  }

  // A statement that is neither a table nor a namespace. Harmless only as a pure declaration
  // that the rules leave alone: included again after the header, anything that defines something
  // is defined twice, and any ',' '=' or "};" it had is now rewritten.
  void Declaration() {
    const Token start = token_;
    const std::string_view first = Text(start);
    bool suspicious = false;
    bool block = false;
    bool parens = false;
    int depth = 0;
    int tokens = 0;
    Token last{};
    const bool typeDefinition = first == "struct" || first == "class" || first == "union" ||
                                first == "typedef" || first == "template";
    while (token_.kind != Kind::kEnd) {
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
                 IsIdent("PROTOCOL_STRUCT") || token_.kind == Kind::kDirective) {
        suspicious = true;
      }
      last = token_;
      ++tokens;
      Advance();
    }
    suspicious = suspicious || depth != 0;
    const bool declarationOnly =
        first == "typedef" || first == "using" || first == "extern" || first == "static_assert" ||
        first == "friend" || first == "template" ||
        ((first == "struct" || first == "class" || first == "union") && tokens == 2) ||
        (parens && last.kind == Kind::kPunct && output_[last.begin] == ')') ||
        (parens && last.kind == Kind::kIdent &&
         (Text(last) == "const" || Text(last) == "noexcept" || Text(last) == "override"));
    if (block || suspicious || !declarationOnly) {
      Report(start.begin, HeaderProblem::kDefinition);
    }
  }

  // An include line: the rules must have left its file name alone. Every ',' and '=' of a wrap
  // header was written by a rule (the header's own commas became "), ", its '=' became ','), and
  // so were "MAKE_PROTOCOL_INFO", "PROTOCOL_STRUCT s" and the "//" before a '#'.
  void Include() {
    std::int32_t end = token_.begin + 1;
    while (end < token_.end && ClassOf(output_[end]) & kIdentChar) {
      ++end;
    }
    while (end < token_.end && ClassOf(output_[end]) == kBlank) {
      ++end;
    }
    if (end < token_.end && (output_[end] == '"' || output_[end] == '<')) {
      const char close = output_[end] == '"' ? '"' : '>';
      ++end;
      while (end < token_.end && output_[end] != close) {
        ++end;
      }
    } else {
      end = token_.end;  // a name from a macro: all of it counts
    }
    const std::string_view name(output_ + token_.begin,
                                static_cast<std::size_t>(end - token_.begin));
    for (std::string_view mark : {",", "=", "MAKE_PROTOCOL_INFO", "PROTOCOL_STRUCT s", "//#"}) {
      if (name.find(mark) != std::string_view::npos) {
        Report(token_.begin, HeaderProblem::kIncludeRenamed);
        return;
      }
    }
  }

  // PROTOCOL_STRUCT s<name>[] = { entries };
  void Table() {
    const Token head = token_;
    Advance();
    if (token_.kind != Kind::kIdent) {
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
      } else if (token_.kind == Kind::kIdent || token_.kind == Kind::kNumber) {
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
    int depth = 0;
    while (token_.kind != Kind::kEnd && !IsPunct('{')) {
      if (depth <= 0 && (IsPunct(';') || IsPunct('}'))) {
        if (IsPunct(';')) {
          Advance();
        }
        return;
      }
      depth += IsPunct('(') ? 1 : IsPunct(')') ? -1 : 0;
      Advance();
    }
    if (token_.kind == Kind::kEnd) {
      return;
    }
    const bool first = scope_.empty() ? tables_.insert(name).second
                                      : scopedTables_.insert(scope_ + std::string(name)).second;
    if (!first) {
      Report(head.begin, HeaderProblem::kTableTwice);
    }
    Advance();
    if (noArray && !(IsPunct('}') && NextIs(';'))) {
      Report(head.begin, HeaderProblem::kNoArray);
    }
    List();
  }

  void List() {
    for (;;) {
      if (token_.kind == Kind::kEnd) {
        return;  // the header's own enumeration was not closed
      }
      if (IsEnd()) {
        Advance();
        if (IsPunct('(')) {
          SkipBalanced();
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
        FastEntries();
        if (IsEntry()) {
          Entry();
        }
      } else {
        Report(token_.begin,
               token_.kind == Kind::kIdent ? HeaderProblem::kNoPrefix : HeaderProblem::kOther);
        Advance();
        SkipToBoundary();
      }
    }
  }

  // Reads the common case straight from the text, without tokens: entries
  // "MAKE_PROTOCOL_INFO(<name>), " and "MAKE_PROTOCOL_INFO(<name> , <number or name>), " with
  // blanks, line ends and line comments between them. Leaves the current token at the first
  // entry it could not read that way (or at what follows the last one), for Entry to read.
  void FastEntries() {
    static constexpr std::string_view kEntry = "MAKE_PROTOCOL_INFO(";
    constexpr auto kEntryLength = static_cast<std::int32_t>(kEntry.size());
    const char* text = output_;
    const std::int32_t length = outputLength_;
    // The text ends in a NUL, which is neither an identifier's byte nor a blank: the loops below
    // stop there without counting.
    const auto identifier = [text](std::int32_t at) {
      while (ClassOf(text[at]) & kIdentChar) {
        ++at;
      }
      return at;
    };
    std::int32_t at = token_.begin;
    std::int32_t resume = at;  // after the last entry read
    for (;;) {
      if (length - at < kEntryLength || !IsEntryAt(text + at)) {
        break;
      }
      const std::int32_t name = at + kEntryLength;
      std::int32_t end = identifier(name);
      if (end == name || ClassOf(text[name]) & kDigit) {
        break;
      }
      if (text[end] == ')' && text[end + 1] == ',') {
        end += 2;
      } else if (text[end] == ' ' && text[end + 1] == ',' && text[end + 2] == ' ') {
        const std::int32_t value = end + 3;
        end = identifier(value);
        if (end == value || text[end] != ')' || text[end + 1] != ',') {
          break;
        }
        end += 2;
      } else {
        break;
      }
      resume = at = end;
      // Blanks, line ends and line comments up to the next entry.
      for (;;) {
        while (ClassOf(text[at]) & (kBlank | kLineEnd)) {
          ++at;
        }
        if (at + 1 >= length || text[at] != '/' || text[at + 1] != '/') {
          break;
        }
        const void* lf = std::memchr(text + at, '\n', static_cast<std::size_t>(length - at));
        if (lf == nullptr) {
          break;
        }
        const auto lineEnd = static_cast<std::int32_t>(static_cast<const char*>(lf) - text);
        const std::int32_t last = text[lineEnd - 1] == '\r' ? lineEnd - 2 : lineEnd - 1;
        if (text[last] == '\\' ||
            std::memchr(text + at, '\r', static_cast<std::size_t>(last + 1 - at)) != nullptr) {
          break;  // a continued comment, or lone CR line ends: token by token
        }
        at = lineEnd;
      }
    }
    if (resume != token_.begin) {
      lexer_.Seek(resume);
      Advance();
    }
  }

  // Resumes at the next place where an entry can begin, outside parentheses.
  void SkipToBoundary() {
    int depth = 0;
    while (token_.kind != Kind::kEnd && !(depth <= 0 && AtEntryBoundary())) {
      if (IsPunct('(')) {
        ++depth;
      } else if (IsPunct(')')) {
        --depth;
      }
      Advance();
    }
    if (IsPunct(';')) {
      Advance();  // "CG_A = 1;" inside an enumeration: not C++ in the header either
    }
  }

  // MAKE_PROTOCOL_INFO(<name>), or MAKE_PROTOCOL_INFO(<name> , <value>),
  void Entry() {
    const Token start = token_;
    Advance();
    if (!IsPunct('(')) {
      Report(start.begin, HeaderProblem::kOther);
      SkipToBoundary();
      return;
    }
    Advance();
    if (token_.kind != Kind::kIdent) {
      Report(start.begin, HeaderProblem::kOther);
      SkipToBoundary();
      return;
    }
    Advance();
    if (IsPunct(')')) {
      Advance();
      if (IsPunct(',')) {
        Advance();
      } else {
        Report(start.begin, HeaderProblem::kOther);
        SkipToBoundary();
      }
    } else if (IsPunct(',')) {
      Value(start);
    } else if (IsPunct('[') && NextIs(']')) {
      Report(start.begin, HeaderProblem::kProtocolInEnumerator);
      SkipEntry();
    } else if (AtEntryBoundary()) {
      Report(start.begin, HeaderProblem::kMissingComma);
    } else {
      Report(start.begin, HeaderProblem::kOther);
      SkipEntry();
    }
  }

  // Skips the rest of an entry whose name went wrong: to its closing parenthesis and comma, or
  // to where the next entry begins.
  void SkipEntry() {
    int depth = 0;
    while (token_.kind != Kind::kEnd && !(depth <= 0 && AtEntryBoundary())) {
      if (IsPunct('(')) {
        ++depth;
      } else if (IsPunct(')') && --depth < 0) {
        Advance();
        if (IsPunct(',')) {
          Advance();
        }
        return;
      }
      Advance();
    }
  }

  // The value of an entry, after its ',' (an '=' in the header): up to the entry's ')'.
  void Value(const Token& start) {
    int depth = 0;
    for (;;) {
      Advance();
      if (IsPunct('(') || IsPunct('[')) {
        ++depth;
      } else if (IsPunct(')') || IsPunct(']')) {
        if (depth == 0) {
          Advance();
          if (IsPunct(',')) {
            Advance();
          } else if (!IsPunct('}')) {  // the last entry of a list closed by "} ;" needs none
            // The value held a comma, which the rules made "), ": the entry closed early.
            Report(start.begin, HeaderProblem::kCommaInValue);
            SkipToBoundary();
          }
          return;
        }
        --depth;
      } else if (IsEntry() && !LineEndBetween(previous_.end, token_.begin)) {
        // Another CG_/CW_ name inside the value: it opened an entry of its own.
        Report(start.begin, HeaderProblem::kValueNamesEnumerator);
        Advance();
        if (IsPunct('(')) {
          SkipBalanced();
        }
        if (IsPunct(',')) {
          Advance();
        }
        SkipToBoundary();
        return;
      } else if (AtEntryBoundary()) {
        Report(start.begin, HeaderProblem::kMissingComma);
        return;
      }
    }
  }

  const char* output_;
  std::int32_t outputLength_;
  Lexer lexer_;
  Locator locator_;
  HeaderWarningSink sink_;
  void* context_;
  Token token_{};
  Token previous_{};
  std::int32_t count_ = 0;
  std::string scope_;                             // enclosing namespaces, "a::b::"
  std::unordered_set<std::string_view> tables_;   // at namespace scope: views of the text
  std::unordered_set<std::string> scopedTables_;  // in namespaces, with their names
};

}  // namespace

const char* HeaderProblemMessage(HeaderProblem problem) {
  switch (problem) {
    case HeaderProblem::kMissingComma:
      return "the enumerator has no comma after it, so its MAKE_PROTOCOL_INFO( entry is never "
             "closed; put a comma after every enumerator, the last one too";
    case HeaderProblem::kUnderlyingType:
      return "the enumeration has an underlying type, which stays between the table's '=' and "
             "its '{'; remove the ': type'";
    case HeaderProblem::kScopedEnum:
      return "a scoped enumeration (enum class or enum struct) is not turned into a table; write "
             "'enum eCG_..._PROTOCOL' without 'class'";
    case HeaderProblem::kNoArray:
      return "the enumeration's name neither ends in _PROTOCOL nor is eCG_CATEGORY or "
             "eCW_CATEGORY, so its table gets no '[] ='; end the name with _PROTOCOL";
    case HeaderProblem::kValueNamesEnumerator:
      return "the value names a CG_ or CW_ enumerator, which gets a MAKE_PROTOCOL_INFO( of its "
             "own that leaves this entry open; write the value as a number";
    case HeaderProblem::kProtocolInEnumerator:
      return "the enumerator's name contains _PROTOCOL, which becomes '_PROTOCOL[] = ' inside "
             "its entry; rename it without _PROTOCOL";
    case HeaderProblem::kNameGoesOn:
      return "the enumeration's name goes on after _PROTOCOL or _CATEGORY (only _PACK may follow "
             "_CATEGORY), so the table's '[] =' lands inside the name; end the name there";
    case HeaderProblem::kNoPrefix:
      return "the enumerator does not begin with CG_ or CW_, so it gets no MAKE_PROTOCOL_INFO( "
             "entry and its comma becomes a stray ')'; give it the family's prefix";
    case HeaderProblem::kIncludeRenamed:
      return "the included file's name contains CG_, CW_, _PROTOCOL, ',' , '=' or '#', which the "
             "rules rewrite, so the wrap header includes a file that does not exist; rename the "
             "file";
    case HeaderProblem::kDefinition:
      return "the wrap header repeats this declaration after the header, with its ',' '=' and "
             "'};' rewritten, so it is defined twice or is no longer C++; move it to another "
             "header";
    case HeaderProblem::kTableTwice:
      return "a second table of this name: preprocessor conditionals (#if, #ifdef, #else) are "
             "commented out in the wrap header, so every branch stays; declare each protocol "
             "enumeration once";
    case HeaderProblem::kTypedefEnum:
      return "a typedef of a protocol enumeration becomes a typedef of a table; write "
             "'enum eCG_..._PROTOCOL { ... };' without typedef";
    case HeaderProblem::kNoEPrefix:
      return "the enumeration's name does not begin with 'e' before CG_ or CW_, so it is not "
             "turned into a table; name it eCG_..._PROTOCOL";
    case HeaderProblem::kStrayEnd:
      return "this '};' closes no enumeration, yet it becomes 'MAKE_PROTOCOL_INFO_EOR() };'; "
             "write '}' without the ';' (after a namespace) or move the declaration to another "
             "header";
    case HeaderProblem::kCommaInValue:
      return "the value holds a comma, which becomes '), ' and closes the entry early; write the "
             "value without a comma";
    case HeaderProblem::kOther:
      break;
  }
  return "this text does not fit the rules and leaves the wrap header without a valid table; "
         "keep only protocol enumerations, comments and includes in the header";
}

std::int32_t CheckWrapHeader(const char* output, std::int32_t outputLength, const char* input,
                             std::int32_t inputLength, HeaderWarningSink sink, void* context) {
  try {
    Checker checker(input, inputLength, output, outputLength, sink, context);
    return checker.Run();
  } catch (...) {
    return 0;  // without memory for its bookkeeping the check says nothing; the output stands
  }
}

}  // namespace protowrap
