#include "check/preprocessor.h"

#include <cstring>

#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Names whose meaning the compilers of each configuration know: predefined by the platform, or
// set by a Debug build. They differ from configuration to configuration.
bool IsPlatformOrBuildMacro(std::string_view name) {
  return name == "_WIN32" || name == "_WIN64" || name == "__linux__" || name == "__linux" ||
         name == "__unix__" || name == "__unix" || name == "__gnu_linux__" || name == "_DEBUG" ||
         name == "DEBUG";
}

// Names reserved to the implementation (__x, _X): the compilers' own macros, which the check
// does not know.
bool IsReserved(std::string_view name) {
  return name.size() >= 2 && name[0] == '_' &&
         (name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z'));
}

constexpr std::string_view kOne = "1";

// The text of a token of `lexer`'s text.
std::string_view Spelling(std::string_view text, const Token& token) {
  return text.substr(static_cast<std::size_t>(token.begin),
                     static_cast<std::size_t>(token.end - token.begin));
}

bool IsPunct(std::string_view text, const Token& token, char c) {
  return token.kind == TokenKind::kPunctuator && text[static_cast<std::size_t>(token.begin)] == c;
}

// X of "!defined(X)" or "!defined X", the forms of a guard's #if; empty otherwise.
std::string_view GuardOfCondition(std::string_view condition) {
  Lexer lexer(condition.data(), static_cast<std::int32_t>(condition.size()));
  Token t = lexer.Next();
  if (!IsPunct(condition, t, '!')) {
    return {};
  }
  t = lexer.Next();
  if (t.kind != TokenKind::kIdentifier || Spelling(condition, t) != "defined") {
    return {};
  }
  t = lexer.Next();
  const bool parenthesized = IsPunct(condition, t, '(');
  if (parenthesized) {
    t = lexer.Next();
  }
  if (t.kind != TokenKind::kIdentifier || t.spliced) {
    return {};
  }
  const std::string_view name = Spelling(condition, t);
  if (parenthesized && !IsPunct(condition, lexer.Next(), ')')) {
    return {};
  }
  return lexer.Next().kind == TokenKind::kEnd ? name : std::string_view{};
}

// The first identifier of `text` (a directive's operand), without line splices.
std::string_view FirstName(std::string_view text, std::string* scratch) {
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  const Token t = lexer.Next();
  if (t.kind != TokenKind::kIdentifier) {
    return {};
  }
  return WithoutSplices(Spelling(text, t), scratch);
}

}  // namespace

Preprocessor::Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget,
                           std::int32_t notGuard, bool guards)
    : text_(text),
      length_(length),
      evaluator_(budget),
      notGuard_(notGuard),
      guards_(guards),
      macros_(static_cast<std::size_t>(length) > (64u << 10) ? static_cast<std::size_t>(length)
                                                             : (64u << 10)) {
  for (int c = 0; c < kConfigurationCount; ++c) {
    lanes_[c].owner = this;
    lanes_[c].configuration = c;
  }
}

MacroMeaning Preprocessor::Lane::Find(std::string_view name) const {
  return owner->Meaning(name, configuration);
}

bool Preprocessor::SameEverywhere(std::string_view name) const {
  if (const std::int32_t* states = macros_.Find(name)) {
    for (int c = 1; c < kConfigurationCount; ++c) {
      if (states[c] != states[0]) {
        return false;
      }
    }
    if (states[0] != MacroTable::kNotSeen) {
      return true;
    }
  }
  if (IsPlatformOrBuildMacro(name)) {
    return false;
  }
  return included_ == 0 || included_ == kEveryConfiguration;
}

MacroMeaning Preprocessor::Meaning(std::string_view name, int configuration) const {
  using Kind = MacroMeaning::Kind;
  if (const std::int32_t* states = macros_.Find(name)) {
    const std::int32_t state = states[configuration];
    if (state == MacroTable::kUndefined) {
      return {Kind::kNone, {}};
    }
    if (state == MacroTable::kUnknown) {
      return {Kind::kUnknown, {}};
    }
    if (state >= 0) {
      return Definition(state, nullptr);
    }
  } else if (macros_.Full()) {
    return {Kind::kUnknown, {}};  // a name the table had no room for
  }
  const ConfigurationSet lane = Only(configuration);
  const bool windows = (lane & kWindowsConfigurations) != 0;
  const bool debug = (lane & kDebugConfigurations) != 0;
  const bool included = (included_ & lane) != 0;
  if (name == "__cplusplus") {
    return {Kind::kObject, "202002L"};  // the standard the documented clients are built with
  }
  if (name == "_WIN32" || name == "_WIN64") {
    return windows ? MacroMeaning{Kind::kObject, kOne} : MacroMeaning{Kind::kNone, {}};
  }
  if (name == "__linux__" || name == "__linux" || name == "__unix__" || name == "__unix" ||
      name == "__gnu_linux__") {
    return windows ? MacroMeaning{Kind::kNone, {}} : MacroMeaning{Kind::kObject, kOne};
  }
  if (name == "_DEBUG" || (name == "DEBUG" && (debug || !included))) {
    return debug ? MacroMeaning{Kind::kObject, kOne} : MacroMeaning{Kind::kNone, {}};
  }
  if (name == kEntryMacro || name == kEndMacro) {
    return {Kind::kFunction, {}};  // the client defines them before the header
  }
  if (name == kTableType || IsReserved(name) || name == "linux" || name == "unix" ||
      name == "WIN32" || name == "WIN64" || included) {
    return {Kind::kUnknown, {}};  // one client form's, the compilers', or perhaps an include's
  }
  return {Kind::kNone, {}};
}

MacroMeaning Preprocessor::Definition(std::int32_t at, ClientMacro* shape) const {
  const std::int32_t end = LineCommentEnd(text_, length_, at + 2);
  const std::string_view header = HeaderTextOf(
      std::string_view(text_ + at + 3, static_cast<std::size_t>(end - at - 3)), &definition_);
  Lexer lexer(header.data(), static_cast<std::int32_t>(header.size()));
  lexer.Next();  // "define"
  const Token name = lexer.Next();
  const auto after = static_cast<std::size_t>(name.end);
  if (after < header.size() && header[after] == '(') {
    if (shape != nullptr) {
      shape->kind = ClientMacro::Kind::kFunction;
      lexer.Next();  // '('
      // The parameters' commas are "), " now: a ')' with a ',' after it separates two of them.
      for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
        if (t.kind == TokenKind::kIdentifier) {
          ++shape->parameters;
        } else if (IsPunct(header, t, '.')) {
          shape->variadic = true;
        } else if (IsPunct(header, t, ')')) {
          const auto next = static_cast<std::size_t>(t.end);
          if (next >= header.size() || header[next] != ',') {
            break;
          }
        }
      }
    }
    return {MacroMeaning::Kind::kFunction, {}};
  }
  if (shape != nullptr) {
    shape->kind = ClientMacro::Kind::kObject;
  }
  return {MacroMeaning::Kind::kObject, header.substr(after), true};
}

Preprocessor::ClientMacro Preprocessor::ClientMacroIn(std::string_view name,
                                                      int configuration) const {
  ClientMacro shape;
  const std::int32_t* states = macros_.Find(name);
  if (states == nullptr || states[configuration] == MacroTable::kNotSeen) {
    shape.kind = macros_.Full() ? ClientMacro::Kind::kUnknown : ClientMacro::Kind::kClient;
  } else if (states[configuration] == MacroTable::kUndefined) {
    shape.kind = ClientMacro::Kind::kUndefined;
  } else if (states[configuration] == MacroTable::kUnknown) {
    shape.kind = ClientMacro::Kind::kUnknown;
  } else {
    Definition(states[configuration], &shape);
  }
  return shape;
}

Truth Preprocessor::Evaluate(std::string_view condition, ConfigurationSet needed) {
  Truth truth;
  Evaluation first;
  bool haveFirst = false;
  bool everywhere = true;
  for (int c = 0; c < kConfigurationCount; ++c) {
    if ((needed & Only(c)) == 0) {
      continue;
    }
    Evaluation value = first;
    if (!haveFirst || !everywhere) {
      value = evaluator_.Evaluate(condition, ExpressionUse::kCondition, lanes_[c]);
      if (!haveFirst) {
        // Whether every name the condition reads means the same in every configuration.
        Lexer lexer(condition.data(), static_cast<std::int32_t>(condition.size()));
        for (Token t = lexer.Next(); t.kind != TokenKind::kEnd && everywhere; t = lexer.Next()) {
          everywhere = t.kind != TokenKind::kIdentifier ||
                       (!t.spliced && SameEverywhere(Spelling(condition, t)) &&
                        Meaning(Spelling(condition, t), c).kind != MacroMeaning::Kind::kObject);
        }
        first = value;
        haveFirst = true;
      }
    }
    if (value.known) {
      (value.value.bits != 0 ? truth.holds : truth.fails) |= Only(c);
    }
  }
  return truth;
}

Truth Preprocessor::Defined(std::string_view name, ConfigurationSet needed) {
  Truth truth;
  for (int c = 0; c < kConfigurationCount; ++c) {
    if ((needed & Only(c)) != 0) {
      const MacroMeaning::Kind kind = Meaning(name, c).kind;
      if (kind == MacroMeaning::Kind::kNone) {
        truth.fails |= Only(c);
      } else if (kind != MacroMeaning::Kind::kUnknown) {
        truth.holds |= Only(c);
      }
    }
  }
  return truth;
}

Truth Preprocessor::Parent() const {
  return blocks_.size() < 2
             ? Truth::Always()
             : regions_[static_cast<std::size_t>(blocks_[blocks_.size() - 2].region)];
}

void Preprocessor::Open(const Truth& condition, std::int32_t at, std::string_view guard) {
  const Truth parent = Active();
  regions_.push_back(parent && condition);
  blocks_.push_back({static_cast<std::int32_t>(regions_.size() - 1), condition, false});
  guardName_.clear();
  if (guards_ && !guard.empty() && blocks_.size() == 1 && at != notGuard_ &&
      (condition.holds | condition.fails) != kEveryConfiguration) {
    guardName_.assign(guard);
    guardOpenEnd_ = at;
  }
}

void Preprocessor::Branch(const Truth& condition) {
  if (blocks_.empty()) {
    mayFail_ = mustFail_ = kEveryConfiguration;  // #else without #if
    return;
  }
  Block& block = blocks_.back();
  if (block.guard) {
    notAGuard_ = guardOpenEnd_;  // a guard has no other branch
  }
  regions_.push_back(Parent() && !block.taken && condition);
  block.region = static_cast<std::int32_t>(regions_.size() - 1);
  block.taken = block.taken || condition;
}

void Preprocessor::Close(std::int32_t end) {
  if (blocks_.empty()) {
    mayFail_ = mustFail_ = kEveryConfiguration;  // #endif without #if
    return;
  }
  if (blocks_.back().guard && !OnlyCommentsBetween(end, length_, false)) {
    notAGuard_ = guardOpenEnd_;  // a block that closes before the end is no guard
  }
  blocks_.pop_back();
}

bool Preprocessor::OnlyCommentsBetween(std::int32_t from, std::int32_t to, bool pragmaOnce) const {
  Lexer lexer(text_, to);
  lexer.Seek(from);
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (!pragmaOnce || t.kind != TokenKind::kCommentedDirective) {
      return false;
    }
    const std::string_view directive = HeaderTextOf(lexer.TextOf(t).substr(3), &scratch);
    Lexer words(directive.data(), static_cast<std::int32_t>(directive.size()));
    const Token pragma = words.Next();
    const Token once = words.Next();
    if (Spelling(directive, pragma) != "pragma" || Spelling(directive, once) != "once" ||
        words.Next().kind != TokenKind::kEnd) {
      return false;
    }
  }
  return true;
}

void Preprocessor::Define(std::string_view rest, std::int32_t at, bool undefine) {
  std::string scratch;
  const std::string_view name = FirstName(rest, &scratch);
  if (name.empty()) {
    return;
  }
  if (!undefine && !guardName_.empty() && name == guardName_ &&
      OnlyCommentsBetween(guardOpenEnd_, at, true)) {
    // #ifndef X ... #define X: a guard, which holds whenever the header is included.
    Block& block = blocks_.back();
    regions_[static_cast<std::size_t>(block.region)] = Parent();
    block.taken = Truth::Always();
    block.guard = true;
  }
  guardName_.clear();
  const Truth active = Active();
  macros_.Set(name, undefine ? MacroTable::kUndefined : at, active.holds, active.MayHold());
  if (active.MayHold() != 0) {
    touchedClient_ |= name == kEntryMacro  ? kEntryName
                      : name == kEndMacro  ? kEndName
                      : name == kTableType ? kTableName
                                           : kNoClientName;
  }
}

Preprocessor::Exposed Preprocessor::ExposedBy(std::string_view directive, std::int32_t end) const {
  // A block comment that the directive opens and does not close, outside its literals.
  bool open = false;
  for (std::size_t i = 0; i < directive.size(); ++i) {
    const char c = directive[i];
    if (c == '"' || c == '\'') {
      for (++i; i < directive.size() && directive[i] != c; ++i) {
        i += directive[i] == '\\' ? 1u : 0u;
      }
    } else if (c == '/' && i + 1 < directive.size() && directive[i + 1] == '/') {
      break;
    } else if (c == '/' && i + 1 < directive.size() && directive[i + 1] == '*') {
      const std::size_t close = directive.find("*/", i + 2);
      if (close == std::string_view::npos) {
        open = true;
        break;
      }
      i = close + 1;
    }
  }
  if (!open) {
    return {};
  }
  // The header's comment ends at the next "*/"; the wrap header reads what lies before as code.
  const std::size_t close = std::string_view(text_, static_cast<std::size_t>(length_))
                                .find("*/", static_cast<std::size_t>(end));
  if (close == std::string_view::npos) {
    return {};
  }
  Lexer lexer(text_, static_cast<std::int32_t>(close) + 2);
  lexer.Seek(end);
  std::int32_t first = -1;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective) {
      continue;
    }
    if (first < 0) {
      first = t.begin;
    }
    if (t.begin == static_cast<std::int32_t>(close) && t.kind == TokenKind::kPunctuator) {
      return {first, static_cast<std::int32_t>(close) + 2};  // the "*/" is code: no C++ has it
    }
  }
  return {};
}

Preprocessor::Exposed Preprocessor::Directive(const Token& token) {
  const std::string_view raw(text_ + token.begin,
                             static_cast<std::size_t>(token.end - token.begin));
  if (raw.substr(0, 10) == "//#include") {
    return {};  // "//#include" in the header: a comment there, as here
  }
  const std::string_view directive = HeaderTextOf(raw.substr(3), &scratch_);
  Lexer lexer(directive.data(), static_cast<std::int32_t>(directive.size()));
  const Token word = lexer.Next();
  const std::string_view name =
      word.kind == TokenKind::kIdentifier ? Spelling(directive, word) : std::string_view{};
  const std::string_view rest = directive.substr(static_cast<std::size_t>(word.end));
  const Truth active = Active();
  std::string scratch;
  if (name != "define" && !(name == "pragma" && FirstName(rest, &scratch) == "once")) {
    guardName_.clear();
  }
  if (name == "if" || name == "elif") {
    const Truth condition = Evaluate(
        rest, name == "if"
                  ? active.MayHold()
                  : static_cast<ConfigurationSet>(
                        blocks_.empty() ? 0 : Parent().MayHold() & ~blocks_.back().taken.holds));
    if (name == "if") {
      Open(condition, token.end, GuardOfCondition(rest));
    } else {
      Branch(condition);
    }
  } else if (name == "ifdef" || name == "ifndef" || name == "elifdef" || name == "elifndef") {
    const std::string_view macro = FirstName(rest, &scratch);
    const Truth defined = Defined(macro, kEveryConfiguration);
    const Truth condition = name == "ifdef" || name == "elifdef" ? defined : !defined;
    if (name == "ifdef" || name == "ifndef") {
      Open(condition, token.end, name == "ifndef" ? macro : std::string_view{});
    } else {
      Branch(condition);
    }
  } else if (name == "else") {
    Branch(Truth::Always());
  } else if (name == "endif") {
    Close(token.end);
  } else if (name == "define" || name == "undef") {
    Define(rest, token.begin, name == "undef");
  } else if (name == "include" || name == "include_next" || name == "import") {
    Include();
  } else if (name == "error" || (!name.empty() && name != "pragma" && name != "warning" &&
                                 name != "line" && name != "ident" && name != "sccs")) {
    // #error, or a directive the compilers do not know: the header does not compile there.
    mayFail_ |= active.MayHold();
    mustFail_ |= active.holds;
  }
  return ExposedBy(directive, token.end);
}

void Preprocessor::Include() {
  included_ |= Active().MayHold();
}

void Preprocessor::Finish(bool cut) {
  if (!blocks_.empty() && !cut) {
    mayFail_ = mustFail_ = kEveryConfiguration;  // an #if without its #endif
  }
}

}  // namespace protowrap::check
