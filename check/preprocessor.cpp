// The preprocessor model: conditional blocks in every configuration, definitions and #error.
#include "check/preprocessor.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "wrap/rewrite_rules.h"

namespace protowrap::check {

Preprocessor::Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget,
                           std::int32_t guard, PreprocessorSetup setup)
    : text_(text),
      length_(length),
      evaluator_(budget),
      guard_(guard),
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
  for (int c : Each(needed)) {
    Evaluation value = first;
    if (!haveFirst || !everywhere) {
      value = evaluator_.Evaluate(condition, ExpressionUse::kCondition, scope_.LookupIn(c));
      if (!haveFirst) {
        // Whether every name the condition reads means the same in every configuration.
        Lexer lexer(condition.data(), static_cast<std::int32_t>(condition.size()));
        for (Token t = lexer.Next(); t.kind != TokenKind::kEnd && everywhere; t = lexer.Next()) {
          everywhere = t.kind != TokenKind::kIdentifier ||
                       (SameEverywhere(lexer.TextOf(t)) &&
                        scope_.Meaning(lexer.TextOf(t), c).kind != MacroMeaning::Kind::kObject);
        }
        first = value;
        haveFirst = true;
      }
    }
    if (value.known) {
      (value.value.bits != 0 ? truth.holds : truth.fails) |= Only(c);
    }
  }
  if (haveFirst && everywhere) {
    ++sharedConditions_;
  }
  return Spread(truth);
}

Truth Preprocessor::Defined(std::string_view name, ConfigurationSet needed) {
  needed &= scope_.InUse();
  Truth truth;
  for (int c : Each(needed)) {
    const MacroMeaning::Kind kind = scope_.Meaning(name, c).kind;
    if (kind == MacroMeaning::Kind::kNone) {
      truth.fails |= Only(c);
    } else if (kind != MacroMeaning::Kind::kUnknown) {
      truth.holds |= Only(c);
    }
  }
  return Spread(truth);
}

Truth Preprocessor::Parent() const {
  return blocks_.size() < 2
             ? Truth::Always()
             : regions_[static_cast<std::size_t>(blocks_[blocks_.size() - 2].region)];
}

void Preprocessor::Open(const Truth& condition, std::int32_t at, Source source) {
  const Truth parent = Active();
  const bool live = source == Source::kLive;
  // The include guard holds whenever the header is included, unless the compilers know better
  // (a macro of an include that was read defines its name, say).
  const bool guard = source == Source::kHeader && at == guard_ && blocks_.empty() &&
                     (condition.holds | condition.fails) != kEveryConfiguration;
  regions_.push_back(guard ? parent : parent && condition);
  blocks_.push_back(
      {static_cast<std::int32_t>(regions_.size() - 1), guard ? Truth::Always() : condition, live});
  liveBlocks_ += live ? 1 : 0;
}

void Preprocessor::Branch(const Truth& condition) {
  if (blocks_.empty()) {
    Fail();  // #else without #if
    return;
  }
  Block& block = blocks_.back();
  regions_.push_back(Parent() && !block.taken && condition);
  block.region = static_cast<std::int32_t>(regions_.size() - 1);
  block.taken = block.taken || condition;
}

void Preprocessor::Close() {
  if (blocks_.empty()) {
    Fail();  // #endif without #if
    return;
  }
  liveBlocks_ -= blocks_.back().live ? 1 : 0;
  blocks_.pop_back();
}

void Preprocessor::Fail() {
  mayFail_ = mustFail_ = kEveryConfiguration;
}

void Preprocessor::Define(std::string_view rest, bool undefine) {
  const Truth active = Active();
  MacroTable& table = scope_.Table();
  std::string scratch;
  std::string_view name;
  std::int32_t state = MacroTable::kUndefined;
  if (undefine || active.MayHold() == 0) {
    name = FirstIdentifier(rest, &scratch);
  } else {
    state = table.Define(rest, &name);
  }
  if (name.empty() || active.MayHold() == 0) {
    return;
  }
  table.Set(name, state, active.holds, active.MayHold());
  touchedClient_ |= name == kEntryMacro  ? kEntryName
                    : name == kEndMacro  ? kEndName
                    : name == kTableType ? kTableName
                                         : kNoClientName;
}

void Preprocessor::Process(std::string_view directive, std::int32_t end, Source source) {
  Lexer lexer(directive.data(), static_cast<std::int32_t>(directive.size()));
  const Token word = lexer.Next();
  const std::string_view name =
      word.kind == TokenKind::kIdentifier ? lexer.TextOf(word) : std::string_view{};
  const std::string_view rest = directive.substr(static_cast<std::size_t>(word.end));
  const Truth active = Active();
  std::string scratch;
  if (name == "if" || name == "elif") {
    const Truth condition = Evaluate(
        rest, name == "if"
                  ? active.MayHold()
                  : (blocks_.empty() ? 0 : Parent().MayHold() & ~blocks_.back().taken.holds));
    if (name == "if") {
      Open(condition, end, source);
    } else {
      Branch(condition);
    }
  } else if (name == "ifdef" || name == "ifndef" || name == "elifdef" || name == "elifndef") {
    const std::string_view macro = FirstIdentifier(rest, &scratch);
    const Truth defined = Defined(macro, kEveryConfiguration);
    const Truth condition = name == "ifdef" || name == "elifdef" ? defined : !defined;
    if (name == "ifdef" || name == "ifndef") {
      Open(condition, end, source);
    } else {
      Branch(condition);
    }
  } else if (name == "else") {
    Branch(Truth::Always());
  } else if (name == "endif") {
    Close();
  } else if (name == "define" || name == "undef") {
    Define(rest, name == "undef");
  } else if (name == "include" || name == "include_next" || name == "import") {
    Include(rest, includer_);
  } else if (name == "error" || (!name.empty() && name != "pragma" && name != "warning" &&
                                 name != "line" && name != "ident" && name != "sccs")) {
    // #error, or a directive the compilers do not know: the header does not compile there.
    mayFail_ = static_cast<ConfigurationSet>(mayFail_ | (active.MayHold() & scope_.InUse()));
    mustFail_ = static_cast<ConfigurationSet>(mustFail_ | (active.holds & scope_.InUse()));
  }
}

bool Preprocessor::Directive(const Token& token) {
  std::string_view directive;
  if (!HeaderDirective(mirror_, text_, token, &scratch_, &directive)) {
    return false;
  }
  Process(directive, token.end,
          token.kind == TokenKind::kDirective ? Source::kLive : Source::kHeader);
  return true;
}

void Preprocessor::HeaderDirectiveAfterEnd(std::string_view directive) {
  std::string own;
  Process(WithoutSplices(DirectiveBody(directive), &own), -1,
          Source::kInclude);  // no guard begins there
}

void Preprocessor::Finish(bool cut) {
  if (!blocks_.empty() && !cut) {
    Fail();  // an #if without its #endif
  }
}

}  // namespace protowrap::check
