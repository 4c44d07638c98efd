// The parser's statements at namespace scope: namespaces, extern "C" blocks, includes,
// enumerations that stayed enumerations, and the declarations beside the tables, judged by their
// form: a declaration that may be repeated is harmless, one that defines something fails where
// the header compiles it, and one whose ',' or '=' the rules rewrote fails everywhere.
#include <algorithm>
#include <iterator>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// The namespace `name` inside the namespace `parent` (FNV-1a over the name, seeded by the parent).
std::uint64_t NestedScope(std::uint64_t parent, std::string_view name) {
  std::uint64_t hash = (parent ^ 0xcbf29ce484222325ull) * 0x100000001b3ull;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  }
  return (hash ^ name.size()) * 0x100000001b3ull;
}

// Whether `word` is one of `words`.
template <std::size_t N>
bool IsOneOf(std::string_view word, const std::string_view (&words)[N]) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// Words that begin a declaration which may be repeated, whatever follows.
bool DeclaresOnly(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "typedef",  "using",   "extern",   "static_assert", "friend",
      "template", "_Pragma", "__pragma", "asm",           "__asm__",
      "export",   "module",  "import",   "concept",       "__extension__"};
  return IsOneOf(word, kWords);
}

// Keywords that may stand among the specifiers of a variable's declaration.
bool IsSpecifier(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "const",        "volatile", "static",   "inline",   "constexpr", "constinit",
      "thread_local", "mutable",  "register", "unsigned", "signed",    "short",
      "long",         "int",      "char",     "bool",     "float",     "double",
      "void",         "wchar_t",  "char8_t",  "char16_t", "char32_t",  "auto",
      "struct",       "class",    "union",    "enum",     "typename"};
  return IsOneOf(word, kWords);
}

// A name as macros are written (capitals, digits, '_'), or one reserved to the implementation.
bool LooksLikeMacro(std::string_view word) {
  if (word.size() >= 2 && word.substr(0, 2) == "__") {
    return true;
  }
  for (const char c : word) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
      return false;
    }
  }
  return word.size() >= 2;
}

}  // namespace

bool Parser::Run() {
  Advance();
  while (token_.kind != TokenKind::kEnd) {
    if (IsPunct('}')) {
      if (!scopes_.empty()) {
        scopes_.pop_back();
      }
      Advance();
    } else {
      Statement();
    }
  }
  if (NotAGuard() >= 0) {
    return false;
  }
  EndOfText();
  return true;
}

void Parser::Deliver(ProblemSink& sink) {
  const ConfigurationSet inUse = preprocessor_.InUse();
  const ConfigurationSet compiles = inUse & ~preprocessor_.MustFail();
  const ConfigurationSet surely = options_.cutAtNul ? 0 : inUse & ~preprocessor_.MayFail();
  findings_.Deliver(compiles, surely, preprocessor_.TouchedClientMacros(), sink);
}

void Parser::Definition(std::int32_t offset) {
  findings_.Add(offset, HeaderProblem::kDefinition,
                preprocessor_.Active().holds & preprocessor_.WrapActive().holds);
}

void Parser::Broken(std::int32_t offset, HeaderProblem problem) {
  // Inside a digraph conditional, which stays live, the wrap header may not compile the text.
  findings_.Add(offset, problem, preprocessor_.WrapActive().holds);
}

void Parser::Statement() {
  if (token_.kind == TokenKind::kDirective) {
    Advance();  // an include, which Advance judged
  } else if (IsPunct(';')) {
    Advance();
  } else if (IsIdent("namespace")) {
    Namespace();
  } else if (IsIdent("inline") && Peek(1).kind == TokenKind::kIdentifier &&
             Text(Peek(1)) == "namespace") {
    Advance();
    Namespace();
  } else if (IsIdent("extern") && Peek(1).kind == TokenKind::kLiteral && IsPunct(Peek(2), '{')) {
    Advance();
    Advance();
    Advance();
    scopes_.push_back(Scope());  // extern "C" { ... }: the same namespace
  } else if (IsIdent(kTableType)) {
    Table();
  } else if ((IsIdent("_Pragma") || IsIdent("__pragma")) && IsPunct(Peek(1), '(')) {
    Advance();
    SkipParentheses();  // a pragma operator: a whole statement without ';'
    pragmaEnd_ = previous_.begin;
  } else if (IsIdent("typedef") && Peek(1).kind == TokenKind::kIdentifier &&
             Text(Peek(1)) == kTableType) {
    Broken(token_.begin, HeaderProblem::kTypedefEnum);
    SkipStatement();
  } else if (IsIdent("enum")) {
    Enum();
  } else if (IsEnd()) {
    // A "};" that closed a namespace, a struct or an initializer, now a table's end.
    Broken(token_.begin, HeaderProblem::kStrayEnd);
    Advance();
    if (IsPunct('(')) {
      SkipParentheses();
    }
  } else {
    Declaration();
  }
}

// namespace a { ... }, namespace a::b { ... }, namespace { ... }
void Parser::Namespace() {
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
    if (IsPunct(',')) {
      Broken(start.begin, HeaderProblem::kDefinition);  // namespace a = b, now "a , b"
    }
    SkipStatement();
    return;
  }
  Advance();
  scopes_.push_back(named ? scope : NestedScope(scope, {}));
}

// An enum that the rules did not turn into a table.
void Parser::Enum() {
  const Token start = token_;
  Advance();
  while (IsPunct('[') && IsPunct(Peek(1), '[')) {
    // An attribute, [[ ... ]].
    int depth = 0;
    do {
      depth += IsPunct('[') ? 1 : IsPunct(']') ? -1 : 0;
      Advance();
    } while (depth > 0 && token_.kind != TokenKind::kEnd);
  }
  const std::string_view spaced = Text(token_);
  if (token_.kind == TokenKind::kIdentifier && spaced.size() == kEntryMacro.size() + 1 &&
      spaced[0] == 'e' && spaced.substr(1) == kEntryMacro) {
    // "enum\teCG_...": rule 1 wrote its entry macro into the name, and rule 3 did not undo it.
    Broken(token_.begin, HeaderProblem::kEnumSpacing);
    SkipStatement();
    return;
  }
  if (IsEntry()) {
    Broken(start.begin, HeaderProblem::kNoEPrefix);  // "enum CG_X": no 'e' for rule 3
    SkipStatement();
    return;
  }
  const bool scoped = IsIdent("class") || IsIdent("struct");
  if (scoped) {
    Advance();
  }
  const bool named = token_.kind == TokenKind::kIdentifier;
  bool rewritten = false;
  while (token_.kind == TokenKind::kIdentifier || IsPunct(':')) {
    rewritten = rewritten || Text(token_).ends_with(kEntryMacro);
    Advance();  // the name, and an underlying type
  }
  if (scoped && (rewritten || IsPunct('('))) {
    Broken(start.begin, HeaderProblem::kScopedEnum);
    SkipStatement();
    return;
  }
  if (TryConsume(';')) {
    return;  // an opaque declaration: repeated harmlessly
  }
  if (!IsPunct('{')) {
    SkipStatement();
    return;
  }
  // A body: its enumerators are declared again (where the header compiles them), and any ',' or
  // '=' in it is now a ')' or a ','.
  Advance();
  const Token first = token_;
  if (!named && IsEntry()) {
    Broken(first.begin, HeaderProblem::kNoArray);
    SkipStatement();
    return;
  }
  bool broken = false;
  for (int depth = 1; depth > 0 && token_.kind != TokenKind::kEnd;) {
    depth += IsPunct('{') ? 1 : IsPunct('}') ? -1 : 0;
    broken = broken || IsPunct(',') || IsEntry() || IsEnd();
    Advance();
  }
  // The compilers blame an unnamed enumeration's enumerators, a named one's name.
  const std::int32_t blamed = named ? start.begin : first.begin;
  if (broken) {
    Broken(blamed, HeaderProblem::kDefinition);
  } else {
    Definition(blamed);
  }
  SkipStatement();
}

// A statement that is neither a table nor a namespace, judged by its form.
void Parser::Declaration() {
  const Token start = token_;
  const Truth active = preprocessor_.Active();
  const std::string_view first = Text(start);
  bool rewritten = false;
  bool body = false;
  bool ended = false;
  bool unsure = false;
  int depth = 0;
  std::vector<Token> words;  // the tokens outside brackets, up to the first '(' or '['
  bool bracket = false;
  bool specifiersOnly = true;  // "extern", "static", "extern \"C\"" ...: the text that follows
                               // the wrap header may complete the declaration
  inStatement_ = true;
  while (token_.kind != TokenKind::kEnd) {
    if (IsPunct('{') && depth == 0) {
      body = true;
      int braces = 0;
      do {
        // What the rules wrote into a body breaks it ("};" became a table's end, ',' a ')').
        braces += IsPunct('{') ? 1 : IsPunct('}') ? -1 : 0;
        rewritten = rewritten || IsPunct(',') || IsEntry() || IsEnd();
        Advance();
      } while (braces > 0 && token_.kind != TokenKind::kEnd);
      const bool type = first == "struct" || first == "class" || first == "union" ||
                        first == "typedef" || first == "template";
      if (bracket && !type) {
        ended = true;  // a function's body ends its definition
        break;
      }
      while (token_.kind != TokenKind::kEnd && !IsPunct(';') && !IsPunct('}')) {
        rewritten = rewritten || IsPunct(',') || IsEntry() || IsEnd();
        if (IsIdent(kTableType)) {
          break;
        }
        Advance();
      }
      ended = TryConsume(';');
      break;
    }
    if (depth == 0 && IsPunct('}')) {
      break;  // the enclosing block ends: no statement the check knows
    }
    if (depth == 0 && IsPunct(';')) {
      Advance();
      ended = true;
      break;
    }
    if (token_.begin != start.begin &&
        (IsIdent(kTableType) || IsIdent("namespace") || IsIdent("_Pragma"))) {
      unsure = true;  // a table after something without ';' (a macro, say)
      break;
    }
    if (IsPunct(',') || IsEntry() || IsEnd()) {
      rewritten = true;
    } else if (IsPunct('(') || IsPunct('[') || IsPunct('{')) {
      bracket = bracket || depth == 0;
      ++depth;
    } else if (IsPunct(')') || IsPunct(']') || IsPunct('}')) {
      if (--depth < 0) {
        rewritten = true;  // a ')' without its '(': what a ',' became
        depth = 0;
      }
    } else if (token_.kind == TokenKind::kDirective) {
      unsure = true;
    } else if (depth == 0 && !bracket && words.size() < 32) {
      words.push_back(token_);
    }
    specifiersOnly = specifiersOnly && (token_.kind == TokenKind::kLiteral ||
                                        (token_.kind == TokenKind::kIdentifier &&
                                         (IsSpecifier(Text(token_)) || Text(token_) == "extern")));
    Advance();
  }
  inStatement_ = !ended && !body && !specifiersOnly;
  if (rewritten) {
    Broken(start.begin, HeaderProblem::kDefinition);
    return;
  }
  if (unsure || !ended) {
    return;
  }
  if (body) {
    if (!DeclaresOnly(first) || first == "template" || first == "extern" || first == "typedef") {
      findings_.Add(start.begin, HeaderProblem::kDefinition,
                    active.holds & preprocessor_.WrapActive().holds);
    }
    return;
  }
  if (DeclaresOnly(first) || bracket) {
    // A function's declaration, or something with brackets the check does not judge (a macro,
    // a pointer to a function, an array).
    return;
  }
  bool notSure = false;
  if (DefinesVariable(words, &notSure) && !notSure) {
    findings_.Add(start.begin, HeaderProblem::kDefinition,
                  active.holds & preprocessor_.WrapActive().holds);
  }
}

// Whether the words of a declaration without parentheses define a variable: specifiers and a
// type, then the variable's name. Unsure where a word may be a macro that says otherwise
// (extern, typedef) or the form is not one the check knows.
bool Parser::DefinesVariable(const std::vector<Token>& words, bool* unsure) const {
  std::vector<std::string_view> names;
  for (const Token& t : words) {
    if (t.kind == TokenKind::kIdentifier) {
      names.push_back(Text(t));
    } else if (!(IsPunct(t, '*') || IsPunct(t, '&') || IsPunct(t, ':'))) {
      *unsure = true;  // a number, a literal, '<' ...: no form the check knows
      return false;
    }
  }
  if (names.size() < 2) {
    *unsure = true;  // "x;" may be a macro
    return false;
  }
  std::size_t types = 0;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    const std::string_view word = names[i];
    if (IsSpecifier(word)) {
      types += word == "struct" || word == "class" || word == "union" || word == "enum" ? 0u : 1u;
      continue;
    }
    bool macro = false;
    for (int c = 0; c < kMaxConfigurations; ++c) {
      if ((preprocessor_.InUse() & Only(c)) == 0) {
        continue;
      }
      const MacroMeaning meaning = preprocessor_.Macros(c).Find(word);
      if (meaning.kind == MacroMeaning::Kind::kObject) {
        if (meaning.body.find("extern") != std::string_view::npos ||
            meaning.body.find("typedef") != std::string_view::npos) {
          *unsure = true;
          return false;
        }
        macro = true;
      } else if (meaning.kind != MacroMeaning::Kind::kNone &&
                 (LooksLikeMacro(word) || meaning.kind == MacroMeaning::Kind::kFunction)) {
        *unsure = true;
        return false;
      }
    }
    if (!macro) {
      ++types;
    }
  }
  // "struct S;" and "class API S;" declare a type; "struct S s;" and "int x;" define a variable.
  return types >= 1;
}

// A directive that stays live in the wrap header: an include, or a digraph directive (which the
// rules do not comment out).
void Parser::LiveDirective() {
  preprocessor_.LiveDirective(token_);
  if (text_[token_.begin] == '#') {
    Include();
  }
}

// An include line: the rules must have left its file name alone. Every ',' and '=' of a wrap
// header was written by a rule (the header's own commas became "), ", its '=' became ','), and
// so were the entry macro, "PROTOCOL_STRUCT s" and the "//" before a '#'.
void Parser::Include() {
  std::int32_t end = token_.begin + 1;
  while (end < token_.end && IsIdentifierByte(text_[end])) {
    ++end;
  }
  while (end < token_.end && IsBlank(text_[end])) {
    ++end;
  }
  if (end < token_.end && (text_[end] == '"' || text_[end] == '<')) {
    const char close = text_[end] == '"' ? '"' : '>';
    ++end;
    while (end < token_.end && text_[end] != close) {
      ++end;
    }
  } else {
    return;  // a name from a macro: not one the check can judge
  }
  const std::string_view name(text_ + token_.begin, static_cast<std::size_t>(end - token_.begin));
  const std::size_t table = name.find(kTableType);
  if (name.find(',') != std::string_view::npos || name.find('=') != std::string_view::npos ||
      name.find(kEntryMacro) != std::string_view::npos ||
      name.find("//#") != std::string_view::npos ||
      (table != std::string_view::npos && name.substr(table + kTableType.size(), 2) == " s")) {
    Broken(token_.begin, HeaderProblem::kIncludeRenamed);
  }
}

}  // namespace protowrap::check
