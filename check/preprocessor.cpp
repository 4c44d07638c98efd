#include "check/preprocessor.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Includes nest at most this deep; deeper ones are not read (what they define stays unknown).
constexpr int kMaxIncludeDepth = 16;

// The standard library's headers: they define no switch of the project (the names they define
// are unknown anyway, see IsLibraryName). Sorted.
constexpr std::string_view kStandardHeaders[] = {
    "algorithm", "any", "array", "assert.h", "atomic", "barrier", "bit", "bitset", "cassert",
    "cctype", "cerrno", "cfenv", "cfloat", "charconv", "chrono", "cinttypes", "climits",
    "clocale", "cmath", "codecvt", "compare", "complex", "concepts", "condition_variable",
    "coroutine", "csetjmp", "csignal", "cstdarg", "cstddef", "cstdint", "cstdio", "cstdlib",
    "cstring", "ctime", "ctype.h", "cuchar", "cwchar", "cwctype", "deque", "errno.h",
    "exception", "execution", "expected", "filesystem", "float.h", "format", "forward_list",
    "fstream", "functional", "future", "initializer_list", "inttypes.h", "iomanip", "ios",
    "iosfwd", "iostream", "istream", "iterator", "latch", "limits", "limits.h", "list", "locale",
    "locale.h", "map", "math.h", "memory", "memory_resource", "mutex", "new", "numbers",
    "numeric", "optional", "ostream", "queue", "random", "ranges", "ratio", "regex",
    "scoped_allocator", "semaphore", "set", "setjmp.h", "shared_mutex", "signal.h",
    "source_location", "span", "sstream", "stack", "stdarg.h", "stdbool.h", "stddef.h",
    "stdexcept", "stdint.h", "stdio.h", "stdlib.h", "stop_token", "streambuf", "string",
    "string.h", "string_view", "syncstream", "system_error", "thread", "time.h", "tuple",
    "type_traits", "typeindex", "typeinfo", "uchar.h", "unordered_map", "unordered_set",
    "utility", "valarray", "variant", "vector", "version", "wchar.h", "wctype.h",
};

bool IsStandardHeader(std::string_view name) {
  return std::binary_search(std::begin(kStandardHeaders), std::end(kStandardHeaders), name);
}

// The text of a token of `text`.
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

// Whether `directive` (a line of the wrap header, as the header wrote it) opens a block comment
// that it does not close, outside its literals.
bool OpensComment(std::string_view directive) {
  for (std::size_t i = 0; i < directive.size(); ++i) {
    const char c = directive[i];
    if (c == '"' || c == '\'') {
      for (++i; i < directive.size() && directive[i] != c; ++i) {
        i += directive[i] == '\\' ? 1u : 0u;
      }
    } else if (c == '/' && i + 1 < directive.size() && directive[i + 1] == '/') {
      return false;
    } else if (c == '/' && i + 1 < directive.size() && directive[i + 1] == '*') {
      const std::size_t close = directive.find("*/", i + 2);
      if (close == std::string_view::npos) {
        return true;
      }
      i = close + 1;
    }
  }
  return false;
}

}  // namespace

Preprocessor::Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget,
                           std::int32_t notGuard, bool guards, PreprocessorSetup setup)
    : text_(text),
      length_(length),
      evaluator_(budget),
      notGuard_(notGuard),
      guards_(guards),
      mirror_(setup.mirror),
      includes_(setup.includes),
      scope_(setup.macroLimit, std::move(setup.switches)) {}

Truth Preprocessor::Spread(Truth truth) const {
  // A configuration not in use (a switch the header does not have) is Linux's defaults.
  const auto unused = static_cast<ConfigurationSet>(kEveryConfiguration & ~scope_.InUse());
  truth.holds = static_cast<ConfigurationSet>((truth.holds & ~unused) |
                                              ((truth.holds & 1u) != 0 ? unused : 0u));
  truth.fails = static_cast<ConfigurationSet>((truth.fails & ~unused) |
                                              ((truth.fails & 1u) != 0 ? unused : 0u));
  return truth;
}

Preprocessor::ClientMacro Preprocessor::ClientMacroIn(std::string_view name,
                                                      int configuration) const {
  ClientMacro shape;
  const MacroTable& table = scope_.Table();
  const std::int32_t* states = table.Find(name);
  if ((scope_.InUse() & Only(configuration)) == 0) {
    configuration = 0;  // a switch the header does not have: Linux's defaults
  }
  if (states == nullptr || states[configuration] == MacroTable::kNotSeen) {
    shape.kind = table.Full() ? ClientMacro::Kind::kUnknown : ClientMacro::Kind::kClient;
  } else if (states[configuration] == MacroTable::kUndefined) {
    shape.kind = ClientMacro::Kind::kUndefined;
  } else if (states[configuration] == MacroTable::kUnknown) {
    shape.kind = ClientMacro::Kind::kUnknown;
  } else {
    const MacroDefinition& definition = table.Definition(states[configuration]);
    shape.kind = definition.function ? ClientMacro::Kind::kFunction : ClientMacro::Kind::kObject;
    shape.parameters = definition.parameters;
    shape.variadic = definition.variadic;
  }
  return shape;
}

Truth Preprocessor::Evaluate(std::string_view condition, ConfigurationSet needed) {
  needed &= scope_.InUse();
  Truth truth;
  Evaluation first;
  bool haveFirst = false;
  bool everywhere = true;
  for (int c = 0; c < kMaxConfigurations; ++c) {
    if ((needed & Only(c)) == 0) {
      continue;
    }
    Evaluation value = first;
    if (!haveFirst || !everywhere) {
      value = evaluator_.Evaluate(condition, ExpressionUse::kCondition, scope_.LookupIn(c));
      if (!haveFirst) {
        // Whether every name the condition reads means the same in every configuration.
        Lexer lexer(condition.data(), static_cast<std::int32_t>(condition.size()));
        for (Token t = lexer.Next(); t.kind != TokenKind::kEnd && everywhere; t = lexer.Next()) {
          everywhere = t.kind != TokenKind::kIdentifier ||
                       (!t.spliced && SameEverywhere(Spelling(condition, t)) &&
                        scope_.Meaning(Spelling(condition, t), c).kind !=
                            MacroMeaning::Kind::kObject);
        }
        first = value;
        haveFirst = true;
      }
    }
    if (value.known) {
      (value.value.bits != 0 ? truth.holds : truth.fails) |= Only(c);
    }
  }
  return Spread(truth);
}

Truth Preprocessor::Defined(std::string_view name, ConfigurationSet needed) {
  needed &= scope_.InUse();
  Truth truth;
  for (int c = 0; c < kMaxConfigurations; ++c) {
    if ((needed & Only(c)) != 0) {
      const MacroMeaning::Kind kind = scope_.Meaning(name, c).kind;
      if (kind == MacroMeaning::Kind::kNone) {
        truth.fails |= Only(c);
      } else if (kind != MacroMeaning::Kind::kUnknown) {
        truth.holds |= Only(c);
      }
    }
  }
  return Spread(truth);
}

Truth Preprocessor::Parent() const {
  return blocks_.size() < 2
             ? Truth::Always()
             : regions_[static_cast<std::size_t>(blocks_[blocks_.size() - 2].region)];
}

void Preprocessor::Open(const Truth& condition, std::int32_t at, std::string_view guard,
                        Source source) {
  const Truth parent = Active();
  regions_.push_back(parent && condition);
  const bool live = source == Source::kLive;
  blocks_.push_back({static_cast<std::int32_t>(regions_.size() - 1), condition, false, live});
  liveBlocks_ += live ? 1 : 0;
  guardName_.clear();
  if (source == Source::kHeader && guards_ && !guard.empty() && blocks_.size() == 1 &&
      at != notGuard_ && (condition.holds | condition.fails) != kEveryConfiguration) {
    guardName_.assign(guard);
    guardOpenEnd_ = at;
  }
}

void Preprocessor::Branch(const Truth& condition) {
  if (blocks_.empty()) {
    Fail();  // #else without #if
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

void Preprocessor::Close(std::int32_t end, Source source) {
  if (blocks_.empty()) {
    Fail();  // #endif without #if
    return;
  }
  if (source != Source::kInclude && blocks_.back().guard &&
      !OnlyCommentsBetween(end, length_, false)) {
    notAGuard_ = guardOpenEnd_;  // a block that closes before the end is no guard
  }
  liveBlocks_ -= blocks_.back().live ? 1 : 0;
  blocks_.pop_back();
}

void Preprocessor::Fail() {
  mayFail_ = mustFail_ = kEveryConfiguration;
}

bool Preprocessor::OnlyCommentsBetween(std::int32_t from, std::int32_t to, bool pragmaOnce) const {
  Lexer lexer(text_, to, TextKind::kWrap);
  lexer.Seek(from);
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kEndedComment) {
      continue;  // a comment of the header
    }
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

void Preprocessor::Define(std::string_view rest, std::int32_t at, bool undefine, Source source) {
  const Truth active = Active();
  MacroTable& table = scope_.Table();
  std::string scratch;
  std::string_view name;
  std::int32_t state = MacroTable::kUndefined;
  if (undefine || active.MayHold() == 0) {
    name = FirstName(rest, &scratch);
  } else {
    state = table.Define(rest, &name);
  }
  if (name.empty()) {
    guardName_.clear();
    return;
  }
  if (source == Source::kHeader && !undefine && !guardName_.empty() && name == guardName_ &&
      OnlyCommentsBetween(guardOpenEnd_, at, true)) {
    // #ifndef X ... #define X: a guard, which holds whenever the header is included.
    Block& block = blocks_.back();
    regions_[static_cast<std::size_t>(block.region)] = Parent();
    block.taken = Truth::Always();
    block.guard = true;
  }
  guardName_.clear();
  if (active.MayHold() == 0) {
    return;
  }
  table.Set(name, state, active.holds, active.MayHold());
  touchedClient_ |= name == kEntryMacro  ? kEntryName
                    : name == kEndMacro  ? kEndName
                    : name == kTableType ? kTableName
                                         : kNoClientName;
}

void Preprocessor::Include(std::string_view operand, std::string_view includer) {
  const ConfigurationSet where = Active().MayHold();
  if (where == 0) {
    return;
  }
  std::string scratch;
  std::string_view spelled = operand;
  while (!spelled.empty() && IsBlankOrLineEnd(spelled.front())) {
    spelled.remove_prefix(1);
  }
  if (!spelled.empty() && IsIdentifierByte(spelled.front())) {
    // #include MACRO: the file its replacement names, where every configuration agrees on it.
    const std::string_view macro = FirstName(spelled, &scratch);
    const MacroMeaning meaning = scope_.Meaning(macro, 0);
    spelled = {};
    if (meaning.kind == MacroMeaning::Kind::kObject && SameEverywhere(macro)) {
      spelled = meaning.body;
    }
  }
  if (spelled.size() >= 2 && spelled.front() == '<') {
    const std::size_t close = spelled.find('>');
    if (close != std::string_view::npos && IsStandardHeader(spelled.substr(1, close - 1))) {
      return;  // the standard library: names it may define are unknown anyway
    }
  } else if (spelled.size() >= 2 && spelled.front() == '"' && includes_ != nullptr &&
             includeDepth_ < kMaxIncludeDepth) {
    const std::size_t close = spelled.find('"', 1);
    if (close != std::string_view::npos) {
      if (const IncludedFile* file = includes_->Find(spelled.substr(1, close - 1), includer)) {
        if (read_.insert(file).second) {
          ReadInclude(*file);  // each file once
        }
        return;
      }
    }
  }
  scope_.UnreadInclude(where);
}

void Preprocessor::ReadInclude(const IncludedFile& file) {
  ++includeDepth_;
  const std::string_view includer = includer_;
  includer_ = file.path;  // its own includes are found from its directory
  const std::size_t blocks = blocks_.size();
  const std::string_view text = file.text;
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kDirective) {
      std::string own;
      const std::string_view raw =
          Spelling(text, t).substr(text[static_cast<std::size_t>(t.begin)] == '#' ? 1 : 2);
      Process(WithoutSplices(raw, &own), -1, -1, Source::kInclude);
    }
  }
  if (blocks_.size() > blocks) {
    Fail();  // an #if of the include without its #endif
    while (blocks_.size() > blocks) {
      liveBlocks_ -= blocks_.back().live ? 1 : 0;
      blocks_.pop_back();
    }
  }
  includer_ = includer;
  --includeDepth_;
}

void Preprocessor::Process(std::string_view directive, std::int32_t at, std::int32_t end,
                           Source source) {
  Lexer lexer(directive.data(), static_cast<std::int32_t>(directive.size()));
  const Token word = lexer.Next();
  const std::string_view name =
      word.kind == TokenKind::kIdentifier ? Spelling(directive, word) : std::string_view{};
  const std::string_view rest = directive.substr(static_cast<std::size_t>(word.end));
  const Truth active = Active();
  std::string scratch;
  if (source != Source::kInclude && name != "define" &&
      !(name == "pragma" && FirstName(rest, &scratch) == "once")) {
    guardName_.clear();
  }
  if (name == "if" || name == "elif") {
    const Truth condition = Evaluate(
        rest, name == "if" ? active.MayHold()
                           : (blocks_.empty() ? 0 : Parent().MayHold() & ~blocks_.back().taken.holds));
    if (name == "if") {
      Open(condition, end, GuardOfCondition(rest), source);
    } else {
      Branch(condition);
    }
  } else if (name == "ifdef" || name == "ifndef" || name == "elifdef" || name == "elifndef") {
    const std::string_view macro = FirstName(rest, &scratch);
    const Truth defined = Defined(macro, kEveryConfiguration);
    const Truth condition = name == "ifdef" || name == "elifdef" ? defined : !defined;
    if (name == "ifdef" || name == "ifndef") {
      Open(condition, end, name == "ifndef" ? macro : std::string_view{}, source);
    } else {
      Branch(condition);
    }
  } else if (name == "else") {
    Branch(Truth::Always());
  } else if (name == "endif") {
    Close(end, source);
  } else if (name == "define" || name == "undef") {
    Define(rest, at, name == "undef", source);
  } else if (name == "include" || name == "include_next" || name == "import") {
    Include(rest, includer_);
  } else if (name == "error" || (!name.empty() && name != "pragma" && name != "warning" &&
                                 name != "line" && name != "ident" && name != "sccs")) {
    // #error, or a directive the compilers do not know: the header does not compile there.
    mayFail_ = static_cast<ConfigurationSet>(mayFail_ | (active.MayHold() & scope_.InUse()));
    mustFail_ = static_cast<ConfigurationSet>(mustFail_ | (active.holds & scope_.InUse()));
  }
}

Preprocessor::Exposed Preprocessor::ExposedBy(std::string_view directive, std::int32_t end) {
  if (!OpensComment(directive)) {
    return {};
  }
  // The header's comment ends at the next "*/" that the rules did not write (a '#' after '*' in
  // it became "*//#"); the wrap header reads what lies before it as code. A later directive
  // inside the same stretch finds the same end: one search for the stretch.
  std::int32_t close = -1;
  if (searchedFrom_ >= 0 && end >= searchedFrom_ &&
      (searchedClose_ < 0 || end <= searchedClose_)) {
    close = searchedClose_;
  } else {
    const std::string_view text(text_, static_cast<std::size_t>(length_));
    for (std::size_t at = static_cast<std::size_t>(end);;) {
      const std::size_t found = text.find("*/", at);
      if (found == std::string_view::npos) {
        break;
      }
      if (text.substr(found + 1, 3) == "//#" && text.substr(found + 3, 8) != "#include") {
        at = found + 2;
        continue;
      }
      close = static_cast<std::int32_t>(found);
      break;
    }
    searchedFrom_ = end;
    searchedClose_ = close;
  }
  if (close < 0) {
    return {};
  }
  Lexer lexer(text_, close + 2, TextKind::kWrap);
  lexer.Seek(end);
  std::int32_t first = -1;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective || t.kind == TokenKind::kEndedComment) {
      continue;
    }
    if (first < 0) {
      first = t.begin;
    }
    if (t.begin == close && t.kind == TokenKind::kPunctuator) {
      return {first, close + 2};  // the "*/" is code: no C++ has it
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
  std::string_view directive;
  if (mirror_ != nullptr && mirror_->Available()) {
    if (!mirror_->DirectiveOnLineOf(token.begin, &directive)) {
      return {};  // no directive of the header starts here (a line inside its comment)
    }
    directive = WithoutSplices(directive, &scratch_);
  } else {
    directive = HeaderTextOf(raw.substr(3), &scratch_);
  }
  Process(directive, token.begin, token.end, Source::kHeader);
  if (raw.find("/*") == std::string_view::npos) {
    return {};
  }
  std::string line;
  return ExposedBy(HeaderTextOf(raw.substr(3), &line), token.end);
}

void Preprocessor::LiveDirective(const Token& token) {
  std::string_view directive;
  if (mirror_ == nullptr || !mirror_->Available() ||
      !mirror_->DirectiveOnLineOf(token.begin, &directive)) {
    directive = std::string_view(text_ + token.begin, static_cast<std::size_t>(token.end - token.begin))
                    .substr(text_[token.begin] == '#' ? 1 : 2);
  }
  Process(WithoutSplices(directive, &scratch_), token.begin, token.end, Source::kLive);
}

void Preprocessor::HeaderDirectiveAfterEnd(std::string_view directive) {
  std::string own;
  Process(WithoutSplices(directive.substr(directive.front() == '#' ? 1 : 2), &own), -1, -1,
          Source::kInclude);  // no guard begins there
  guardName_.clear();
}

void Preprocessor::Finish(bool cut) {
  if (!blocks_.empty() && !cut) {
    Fail();  // an #if without its #endif
  }
}

}  // namespace protowrap::check
