// The parser's declarations beside the tables: each read for its shape, then judged by it. A
// declaration that may be repeated is harmless; one that defines something fails where the header
// compiles it; one whose ',' '=' or '};' the rules rewrote fails everywhere, and so does one that
// the rules made no C++ for any meaning of the names the check does not know (a '(' they opened
// that no ')' closes before the declaration's ';', a "[] =" with nothing after it, a typedef with
// an initializer).
#include <algorithm>
#include <iterator>

#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

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

bool Parser::RuleOpened(const Token& t) const {
  // "eMAKE_PROTOCOL_INFO": rule 1 split an identifier with CG_ inside, and its '(' follows.
  return t.kind == TokenKind::kIdentifier && Text(t).size() > kEntryMacro.size() &&
         Text(t).ends_with(kEntryMacro);
}

bool Parser::MayBe(const Token& t, bool objectLike) const {
  if (t.kind != TokenKind::kIdentifier) {
    return false;
  }
  const ConfigurationSet where = preprocessor_.Active().MayHold() & preprocessor_.InUse();
  for (int c : Each(where)) {
    const MacroMeaning::Kind kind = preprocessor_.Macros(c).Find(Text(t)).kind;
    if (kind == MacroMeaning::Kind::kFunction || kind == MacroMeaning::Kind::kOpaque ||
        kind == MacroMeaning::Kind::kUnknown ||
        (objectLike && kind == MacroMeaning::Kind::kObject)) {
      return true;
    }
  }
  return false;
}

// Whether `t` names a macro of the given kind wherever the text may be compiled.
bool Parser::OnlyMacro(const Token& t, MacroMeaning::Kind kind) const {
  const ConfigurationSet where = preprocessor_.Active().MayHold() & preprocessor_.InUse();
  if (t.kind != TokenKind::kIdentifier || where == 0) {
    return false;
  }
  for (int c : Each(where)) {
    if (preprocessor_.Macros(c).Find(Text(t)).kind != kind) {
      return false;
    }
  }
  return true;
}

bool Parser::TeamMacroStatement() {
  // NAME(...) of a function-like macro of the header's, one and the same wherever the text may
  // be compiled, whose replacement is empty or ends a statement (';' or '}'): a whole statement.
  if (token_.kind != TokenKind::kIdentifier || !IsPunct(Peek(1), '(') ||
      preprocessor_.Scope().Table().Find(Text(token_)) == nullptr) {
    return false;
  }
  const MacroDefinition* definition = nullptr;
  const ConfigurationSet where = preprocessor_.Active().MayHold() & preprocessor_.InUse();
  for (int c : Each(where)) {
    const MacroMeaning meaning = preprocessor_.Macros(c).Find(Text(token_));
    if (meaning.kind != MacroMeaning::Kind::kFunction || meaning.definition == nullptr ||
        (definition != nullptr && meaning.definition != definition)) {
      return false;
    }
    definition = meaning.definition;
  }
  const std::string_view body = definition != nullptr ? definition->body : std::string_view{};
  if (definition == nullptr || !(body.empty() || body.ends_with(';') || body.ends_with('}'))) {
    return false;
  }
  Advance();
  SkipParentheses();
  return true;
}

int Parser::Braces() const {
  if (token_.kind == TokenKind::kPunctuator) {
    return IsPunct('{') ? 1 : IsPunct('}') ? -1 : 0;
  }
  // A macro of the header's that closes a block ("#define ENUM_END };").
  return token_.kind == TokenKind::kIdentifier && TeamMacroBody(token_).starts_with('}') ? -1 : 0;
}

std::string_view Parser::TeamMacroBody(const Token& t) const {
  // The replacement of an object-like macro of the header's, one and the same wherever the text
  // may be compiled; a null view otherwise.
  std::string_view body;
  bool found = false;
  if (t.kind != TokenKind::kIdentifier || preprocessor_.Scope().Table().Find(Text(t)) == nullptr) {
    return {};  // the header and its includes never defined it
  }
  const ConfigurationSet where = preprocessor_.Active().MayHold() & preprocessor_.InUse();
  for (int c : Each(where)) {
    const MacroMeaning meaning = preprocessor_.Macros(c).Find(Text(t));
    if (meaning.kind != MacroMeaning::Kind::kObject || meaning.definition == nullptr ||
        (found && meaning.body != body)) {
      return {};
    }
    body = meaning.body.empty() ? std::string_view("", 0) : meaning.body;
    found = true;
  }
  return found ? body : std::string_view{};
}

bool Parser::MayBeFunctionMacro(const Token& t) const {
  return MayBe(t, false);
}

bool Parser::MayBeMacro(const Token& t) const {
  return MayBe(t, true);
}

// Whether the '=' at the current token makes the declaration that `first` begins no C++. Every '='
// of a wrap header is in a declarator "[] =" that rule 7 wrote behind "_PROTOCOL": with nothing
// after it, in a typedef, or (at the declaration's top level) with an initializer that no array
// takes (anything but braces or a literal, unless a macro may stand for them).
bool Parser::BrokenDeclarator(std::string_view first, bool topLevel) {
  const Token next = Peek(1);
  if (next.kind == TokenKind::kPunctuator &&
      std::string_view(";)]},>").find(text_[next.begin]) != std::string_view::npos) {
    return true;
  }
  if (!topLevel || first == "template") {
    return false;  // a parameter's default, perhaps
  }
  if (first == "typedef") {
    return true;
  }
  return next.kind == TokenKind::kNumber ||
         (next.kind == TokenKind::kIdentifier && !MayBeMacro(next)) ||
         (next.kind == TokenKind::kPunctuator && text_[next.begin] != '{');
}

// Reads a statement that is neither a table nor a namespace, up to its end, for its shape.
// Whether none of the open brackets is a macro's argument list.
bool Parser::DeclarationReading::Plain() const {
  return std::none_of(open.begin(), open.end(), [](const OpenBracket& o) { return o.macro; });
}

Parser::DeclarationShape Parser::ReadDeclaration() {
  DeclarationShape shape;
  shape.start = token_;
  if (TeamMacroStatement()) {
    shape.open = !IsPunct(previous_, ')');  // the text ends inside its arguments
    shape.ended = !shape.open;
    shape.unsure = true;  // what it expands to, the check does not judge
    return shape;
  }
  DeclarationReading reading;
  while (token_.kind != TokenKind::kEnd) {
    if (IsPunct('{') && reading.open.empty()) {
      ReadBody(shape, Text(shape.start));
      return shape;
    }
    if (reading.open.empty() && IsPunct('}')) {
      return shape;  // the enclosing block ends: no statement the check knows
    }
    if (IsPunct(';') && (reading.open.empty() || reading.open.back().bracket != '{')) {
      if (reading.open.empty()) {
        Advance();
        shape.ended = true;
        return shape;
      }
      if (reading.Plain() && reading.ruled >= 0) {
        // The header's statement was balanced: a bracket is open at its ';' because the rules
        // opened one, and no meaning of the names closes it, since none of the brackets around is
        // a macro's argument list.
        shape.broken = reading.ruled;
        Advance();
        shape.ended = true;
        return shape;
      }
    }
    if (token_.begin != shape.start.begin &&
        (IsIdent(kTableType) || IsIdent("namespace") || IsIdent("_Pragma"))) {
      // A table or a namespace after something without ';': a macro, say, or the 'inline' of
      // an inline namespace (which is read next, as any other).
      shape.unsure = true;
      return shape;
    }
    NoteDeclarationToken(shape, reading);
    Advance();
  }
  shape.open = !reading.open.empty();
  if (shape.open && reading.Plain() && reading.ruled >= 0) {
    shape.broken = reading.ruled;  // a bracket is open at the end of the header
  }
  return shape;
}

// What the current token of a declaration adds to its shape.
void Parser::NoteDeclarationToken(DeclarationShape& shape, DeclarationReading& reading) {
  auto& open = reading.open;
  if (IsPunct('=') && shape.broken < 0 && reading.Plain() &&
      BrokenDeclarator(Text(shape.start), open.empty())) {
    shape.broken = reading.name.kind == TokenKind::kEnd ? token_.begin : reading.name.begin;
  }
  if (IsRewritten()) {
    shape.rewritten = true;
  } else if (IsPunct('(') || IsPunct('[') || IsPunct('{')) {
    const Token& before = reading.before;
    if (open.empty()) {
      shape.arrayOnly = shape.arrayOnly && IsPunct('[') &&
                        (before.kind == TokenKind::kIdentifier || IsPunct(before, ']'));
    }
    shape.bracket = shape.bracket || open.empty();
    const bool call = IsPunct('(') && before.kind == TokenKind::kIdentifier;
    open.push_back({text_[token_.begin], call && MayBeFunctionMacro(before)});
    if (call && reading.ruled < 0 && RuleOpened(before)) {
      reading.ruled = before.begin;
    }
  } else if (IsPunct(')') || IsPunct(']') || IsPunct('}')) {
    if (open.empty()) {
      shape.rewritten = true;  // a ')' without its '(': what a ',' became
    } else {
      open.pop_back();
    }
  } else if (token_.kind == TokenKind::kDirective) {
    shape.unsure = true;
  } else if (open.empty() && !shape.bracket && shape.words.size() < kMaxDeclarationWords) {
    shape.words.push_back(token_);
  } else if (open.empty()) {
    // More after its brackets: only an object-like macro (for an attribute, or nothing, as in
    // "int gCodes[3] UNUSED;") leaves it an array, which the wrap header defines again.
    shape.arrayOnly = shape.arrayOnly && OnlyMacro(token_, MacroMeaning::Kind::kObject);
  }
  shape.specifiersOnly =
      shape.specifiersOnly && (token_.kind == TokenKind::kLiteral ||
                               (token_.kind == TokenKind::kIdentifier &&
                                (IsSpecifier(Text(token_)) || Text(token_) == "extern")));
  reading.before = token_;
  if (token_.kind == TokenKind::kIdentifier) {
    reading.name = token_;
  }
}

// The body of a declaration, { ... }, and what follows it up to the declaration's end.
void Parser::ReadBody(DeclarationShape& shape, std::string_view first) {
  shape.body = true;
  // What the rules wrote into a body breaks it ("};" became a table's end, ',' a ')').
  shape.rewritten = SkipBalanced('{') || shape.rewritten;
  // A function's body ends its definition (a function template's too); a class's, a typedef's
  // or a variable template's goes on to the ';'.
  const bool type = first == "struct" || first == "class" || first == "union" || first == "typedef";
  if (shape.bracket && !type) {
    shape.ended = true;
    return;
  }
  while (token_.kind != TokenKind::kEnd && !IsPunct(';') && !IsPunct('}')) {
    shape.rewritten = shape.rewritten || IsRewritten();
    if (IsIdent(kTableType)) {
      break;
    }
    Advance();
  }
  shape.ended = TryConsume(';');
}

// A statement that is neither a table nor a namespace, judged by its shape.
void Parser::Declaration() {
  const Truth active = preprocessor_.Active();
  inStatement_ = true;
  const DeclarationShape shape = ReadDeclaration();
  const std::string_view first = Text(shape.start);
  // A macro's invocation may be a whole statement without ';' (PROTO_ENUM(x), expanding to
  // nothing): the text that follows need not complete it.
  const bool macro = MayBeMacro(shape.start);
  // A body ends a statement only where the text goes on after it: a class's body that the text
  // ends inside, or after without its ';', leaves the statement open.
  inStatement_ = !shape.ended && (!shape.body || token_.kind == TokenKind::kEnd) &&
                 !shape.specifiersOnly && !macro;
  // (A function-like macro without a '(' after it is left as it stands.)
  if (shape.ended || (macro && !shape.open && token_.kind == TokenKind::kEnd &&
                      !OnlyMacro(previous_, MacroMeaning::Kind::kFunction))) {
    statementEnd_ = previous_.begin;  // a whole statement, without ';' perhaps (a macro's)
  }
  if (shape.rewritten) {
    Blame(shape.start.begin, HeaderProblem::kDefinition);
    return;
  }
  if (shape.broken >= 0) {
    Blame(shape.broken, HeaderProblem::kDefinition);
    return;
  }
  if (shape.unsure || !shape.ended) {
    return;
  }
  const ConfigurationSet compiled = active.holds & preprocessor_.WrapActive().holds;
  if (shape.body) {
    if (!DeclaresOnly(first) || first == "template" || first == "extern" || first == "typedef") {
      findings_.Add(shape.start.begin, HeaderProblem::kDefinition, compiled);
    }
    return;
  }
  if (DeclaresOnly(first) || (shape.bracket && !shape.arrayOnly)) {
    // A function's declaration, or something with brackets the check does not judge (a macro,
    // a pointer to a function). An array is judged as the variable it is.
    return;
  }
  if (DefinesVariable(shape.words)) {
    findings_.Add(shape.start.begin, HeaderProblem::kDefinition, compiled);
  }
}

// Whether the words of a declaration without parentheses surely define a variable: specifiers and
// a type, then the variable's name. Not where a word may be a macro that says otherwise (extern,
// typedef) or the form is not one the check knows.
bool Parser::DefinesVariable(const std::vector<Token>& words) const {
  std::vector<std::string_view> names;
  for (const Token& t : words) {
    if (t.kind == TokenKind::kIdentifier) {
      names.push_back(Text(t));
    } else if (!(IsPunct(t, '*') || IsPunct(t, '&') || IsPunct(t, ':'))) {
      return false;  // a number, a literal, '<' ...: no form the check knows
    }
  }
  if (names.size() < 2) {
    return false;  // "x;" may be a macro
  }
  std::size_t types = 0;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    const std::string_view word = names[i];
    if (IsSpecifier(word)) {
      types += word == "struct" || word == "class" || word == "union" || word == "enum" ? 0u : 1u;
      continue;
    }
    bool macro = false;
    for (int c : Each(preprocessor_.InUse())) {
      const MacroMeaning meaning = preprocessor_.Macros(c).Find(word);
      if (meaning.kind == MacroMeaning::Kind::kObject) {
        if (meaning.body.find("extern") != std::string_view::npos ||
            meaning.body.find("typedef") != std::string_view::npos) {
          return false;
        }
        macro = true;
      } else if (meaning.kind != MacroMeaning::Kind::kNone &&
                 meaning.kind != MacroMeaning::Kind::kFunction && LooksLikeMacro(word)) {
        // A function-like macro is no macro here: no '(' follows any of these words.
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

}  // namespace protowrap::check
