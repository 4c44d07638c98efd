// The parser's statements at namespace scope: namespaces, extern "C" blocks, includes and the
// directives that stay live, enumerations that stayed enumerations, and the run over them all.
#include "check/parser.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

void Parser::Run() {
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
  EndOfText();
  if (options_.fastPaths != nullptr) {
    *options_.fastPaths = {plainEntries_, numbering_.FastNumbered(), numbering_.Shortcuts(),
                           preprocessor_.SharedConditions()};
  }
}

void Parser::Deliver(ProblemSink& sink) {
  const ConfigurationSet inUse = preprocessor_.InUse();
  const ConfigurationSet compiles = inUse & ~preprocessor_.MustFail();
  const ConfigurationSet surely = cut_ ? 0 : inUse & ~preprocessor_.MayFail();
  findings_.Deliver(compiles, surely, preprocessor_.TouchedClientMacros(), sink);
}

void Parser::BlameDefinition(std::int32_t offset) {
  findings_.Add(offset, HeaderProblem::kDefinition,
                preprocessor_.Active().holds & preprocessor_.WrapActive().holds);
}

void Parser::Blame(std::int32_t offset, HeaderProblem problem) {
  // Inside a digraph conditional, which stays live, the wrap header may not compile the text.
  findings_.Add(offset, problem, preprocessor_.WrapActive().holds);
}

void Parser::Statement() {
  const bool namespaceNext = Peek(1).kind == TokenKind::kIdentifier && Text(Peek(1)) == "namespace";
  if (IsIdent("using") && namespaceNext) {
    UsingDirective();  // then judged as any declaration
  }
  if (token_.kind == TokenKind::kDirective) {
    Advance();  // an include, which Advance judged
  } else if (IsPunct(';')) {
    Advance();
  } else if (IsIdent("namespace")) {
    Namespace(false);
  } else if (IsIdent("inline") && namespaceNext) {
    Advance();
    Namespace(true);
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
    statementEnd_ = previous_.begin;
  } else if (IsIdent("typedef") && Peek(1).kind == TokenKind::kIdentifier &&
             Text(Peek(1)) == kTableType) {
    Blame(token_.begin, HeaderProblem::kTypedefEnum);
    SkipStatement();
  } else if (IsIdent("enum") && !NamesEnumerationOfItsOwn()) {
    Declaration();  // "enum Shade gShade;": the enumeration's type in a declaration
  } else if (IsIdent("enum")) {
    Enum();
  } else if (IsEnd()) {
    // A "};" that closed a namespace, a struct or an initializer, now a table's end.
    Blame(token_.begin, HeaderProblem::kStrayEnd);
    Advance();
    if (IsPunct('(')) {
      SkipParentheses();
    }
  } else {
    Declaration();
  }
}

// Whether the "enum" at hand declares an enumeration (with a body, opaquely, or without a name),
// rather than naming one as the type of something else: "enum Shade gShade;", "enum Shade* f();",
// "enum Shade (*gPick)(int);", "enum paint::Shade gShade;", "enum ::paint::Shade gShade;". A '('
// after a name that ends in the entry macro is the rules'.
bool Parser::NamesEnumerationOfItsOwn() {
  // A name from the global namespace on: "::" first (an enum-base's ':' stands alone).
  const int first = IsPunct(Peek(1), ':') && IsPunct(Peek(2), ':') ? 3 : 1;
  if (Peek(first).kind != TokenKind::kIdentifier || Text(Peek(first)) == "class" ||
      Text(Peek(first)) == "struct") {
    return true;
  }
  // A qualified name: "::" and a name, again and again.
  int name = first;
  while (IsPunct(Peek(name + 1), ':') && IsPunct(Peek(name + 2), ':') &&
         Peek(name + 3).kind == TokenKind::kIdentifier) {
    name += 3;
  }
  const Token after = Peek(name + 1);
  return !(after.kind == TokenKind::kIdentifier || IsPunct(after, '*') || IsPunct(after, '&') ||
           (IsPunct(after, '(') && !Text(Peek(name)).ends_with(kEntryMacro)));
}

// using namespace a::b; (the namespaces that it may name: read, not consumed)
void Parser::UsingDirective() {
  int at = 2;
  const bool global = IsPunct(Peek(at), ':') && IsPunct(Peek(at + 1), ':');
  at += global ? 2 : 0;
  std::vector<std::string_view> path;
  while (Peek(at).kind == TokenKind::kIdentifier) {
    path.push_back(Text(Peek(at)));
    if (!IsPunct(Peek(at + 1), ':') || !IsPunct(Peek(at + 2), ':')) {
      break;
    }
    at += 3;
  }
  if (!path.empty()) {
    names_.Use(Scope(), path, global);
  }
}

// namespace a { ... }, namespace a::b { ... }, namespace { ... }, namespace a::inline b { ... }
// (`isInline`: after "inline")
void Parser::Namespace(bool isInline) {
  const Token start = token_;
  Advance();
  std::uint64_t scope = Scope();
  bool named = false;
  bool ruled = false;  // a name with CG_ or CW_ inside, which the rules split
  while (token_.kind == TokenKind::kIdentifier || IsPunct(':')) {
    if (IsIdent("inline")) {
      isInline = true;  // of the name after it
    } else if (token_.kind == TokenKind::kIdentifier) {
      scope = names_.Open(scope, Text(token_), isInline);
      isInline = false;
      named = true;
      ruled = ruled || Text(token_).ends_with(kEntryMacro);
    }
    Advance();
  }
  if (!IsPunct('{')) {
    if (IsPunct(',') || (ruled && IsPunct('(')) || (named && IsPunct('['))) {
      // namespace a = b, now "a , b"; namespace CG_Net { or Net_CW_ {, now a macro's invocation
      // or a '(' after the name; namespace NET_PROTOCOL {, now with "[] =" after the name.
      Blame(start.begin, HeaderProblem::kDefinition);
    }
    SkipStatement();
    return;
  }
  Advance();
  scopes_.push_back(named ? scope : names_.Open(scope, {}, false));
}

// An enum that the rules did not turn into a table.
void Parser::Enum() {
  const Token start = token_;
  Advance();
  while (IsPunct('[') && IsPunct(Peek(1), '[')) {
    SkipBalanced('[');  // an attribute, [[ ... ]]
  }
  const std::string_view spaced = Text(token_);
  if (token_.kind == TokenKind::kIdentifier && spaced.size() == kEntryMacro.size() + 1 &&
      spaced[0] == 'e' && spaced.substr(1) == kEntryMacro) {
    // "enum\teCG_...": rule 1 wrote its entry macro into the name, and rule 3 did not undo it.
    Blame(token_.begin, HeaderProblem::kEnumSpacing);
    SkipStatement();
    return;
  }
  if (IsEntry()) {
    Blame(start.begin, HeaderProblem::kNoEPrefix);  // "enum CG_X": no 'e' for rule 3
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
    Blame(start.begin, HeaderProblem::kScopedEnum);
    SkipStatement();
    return;
  }
  if (TryConsume(';')) {
    return;  // an opaque declaration: repeated harmlessly
  }
  if (!IsPunct('{')) {
    // No C++ has this (an enumeration's name and type followed by neither a body nor ';'; a
    // declaration that names the enumeration as its type went to Declaration): nothing to judge.
    SkipStatement();
    return;
  }
  // A body: its enumerators are declared again (where the header compiles them), and any ',' or
  // '=' in it is now a ')' or a ','.
  Advance();
  const Token first = token_;
  if (!named && IsEntry()) {
    Blame(first.begin, HeaderProblem::kNoArray);
    SkipStatement();
    return;
  }
  const bool broken = SkipBalanced('{', 1);
  // The compilers blame an unnamed enumeration's enumerators, a named one's name.
  const std::int32_t blamed = named ? start.begin : first.begin;
  if (broken) {
    Blame(blamed, HeaderProblem::kDefinition);
  } else {
    BlameDefinition(blamed);
  }
  SkipStatement();
}

// A directive that stays live in the wrap header: an include, or a digraph directive (which the
// rules do not comment out), which may be an include too.
void Parser::LiveDirective() {
  preprocessor_.Directive(token_);
  Include();
}

// An include line (or another live directive, which it leaves): the rules must have left its file
// name alone. Every ',' and '=' of a wrap header was written by a rule (the header's own commas
// became "), ", its '=' became ','), and so were the entry macro, "PROTOCOL_STRUCT s" and the
// "//" before a '#'.
void Parser::Include() {
  // Past '#' or "%:", the directive's word and the blanks around it.
  std::int32_t end = token_.begin + DirectiveMarkLength(text_[token_.begin]);
  while (end < token_.end && IsBlank(text_[end])) {
    ++end;
  }
  const std::int32_t directive = end;
  while (end < token_.end && IsIdentifierByte(text_[end])) {
    ++end;
  }
  if (!std::string_view(text_ + directive, static_cast<std::size_t>(end - directive))
           .starts_with("include")) {
    return;  // another digraph directive
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
    // #include MACRO: the header's macro names the file, as the wrap header's does, unless the
    // rules split its name ("#include MAKE_PROTOCOL_INFO(CG_HEADER"): no file name follows then.
    std::int32_t word = end;
    while (word < token_.end && IsIdentifierByte(text_[word])) {
      ++word;
    }
    if (std::string_view(text_ + end, static_cast<std::size_t>(word - end))
            .ends_with(kEntryMacro) &&
        word < token_.end && text_[word] == '(') {
      Blame(token_.begin, HeaderProblem::kIncludeRenamed);
    }
    return;
  }
  const std::string_view name(text_ + token_.begin, static_cast<std::size_t>(end - token_.begin));
  const std::size_t table = name.find(kTableType);
  if (name.find(',') != std::string_view::npos || name.find('=') != std::string_view::npos ||
      name.find(kEntryMacro) != std::string_view::npos ||
      name.find("//#") != std::string_view::npos ||
      (table != std::string_view::npos && name.substr(table + kTableType.size(), 2) == " s")) {
    Blame(token_.begin, HeaderProblem::kIncludeRenamed);
  }
}

}  // namespace protowrap::check
