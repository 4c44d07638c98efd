// Names' meanings to the preprocessor: the header's macros, the targets' and the unknown.
#include "check/macro_scope.h"

#include <cassert>
#include <utility>

#include "check/targets.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

using Kind = MacroMeaning::Kind;

constexpr std::string_view kOne = "1";

// A name that only the rules wrote: "eMAKE_PROTOCOL_INFO", "MSG_MAKE_PROTOCOL_INFO", what rule 1
// made of an identifier with CG_ or CW_ inside. No file the header was written with defines it.
// (The entry macro itself is the client's, and Predefined answers for it first.)
bool WrittenByTheRules(std::string_view name) {
  return name.ends_with(kEntryMacro);
}

}  // namespace

MacroScope::MacroScope(std::size_t limit, std::vector<std::string> switches)
    : table_(limit, kBaseConfigurations + static_cast<int>(switches.size())),
      switches_(std::move(switches)) {
  for (int c = 0; c < kMaxConfigurations; ++c) {
    lanes_[c].owner = this;
    lanes_[c].configuration = c;
  }
}

MacroMeaning MacroScope::Lane::Find(std::string_view name) const {
  return owner->Meaning(name, configuration);
}

std::uint8_t MacroScope::Lane::LongWidth() const {
  return TargetOf(BuildConfiguration{configuration}.Target()).longWidth;
}

MacroMeaning MacroScope::Meaning(std::string_view name, int configuration) const {
  // Every reader asks only the configurations in use (a switch the header has).
  assert((InUse() & Only(configuration)) != 0);
  if (const std::int32_t* states = table_.Find(name)) {
    const std::int32_t state = states[configuration];
    if (state == MacroTable::kUndefined) {
      return {Kind::kNone, {}, nullptr};
    }
    if (state == MacroTable::kUnknown) {
      return {Kind::kUnknown, {}, nullptr};
    }
    if (state >= 0) {
      const MacroDefinition& definition = table_.Definition(state);
      return {definition.function ? Kind::kFunction : Kind::kObject, definition.body, &definition};
    }
  } else if (table_.Full()) {
    return {Kind::kUnknown, {}, nullptr};  // a name the table had no room for
  }
  return Predefined(name, configuration);
}

// What a name that the header did not touch means: the compilers', the build's, the client's.
MacroMeaning MacroScope::Predefined(std::string_view name, int configuration) const {
  const BuildConfiguration build{configuration};
  const bool unread = (unread_ & Only(configuration)) != 0;
  const int switchIndex = build.Switch();
  if (switchIndex >= 0 && static_cast<std::size_t>(switchIndex) < switches_.size() &&
      name == switches_[static_cast<std::size_t>(switchIndex)]) {
    // -DNAME: 1, unless an include that the check could not read defined it again.
    return unread ? MacroMeaning{Kind::kOpaque, {}, nullptr}
                  : MacroMeaning{Kind::kObject, kOne, nullptr};
  }
  if (name == kEntryMacro || name == kEndMacro) {
    return {Kind::kFunction, {}, nullptr};  // the client defines them before the header
  }
  if (name == kTableType) {
    return {Kind::kUnknown, {}, nullptr};  // a macro in one client form, a type in the other
  }
  if (name == "_DEBUG" || name == "DEBUG") {
    if (build.Debug()) {
      return {Kind::kObject, kOne, nullptr};
    }
    return name == "DEBUG" && unread ? MacroMeaning{Kind::kUnknown, {}, nullptr}
                                     : MacroMeaning{Kind::kNone, {}, nullptr};
  }
  if (const PredefinedMacro* macro = FindPredefined(build.Target(), name)) {
    switch (macro->kind) {
      case PredefinedMacro::kKnown:
        return {Kind::kObject, macro->value, nullptr};
      case PredefinedMacro::kOpaque:
        return {Kind::kOpaque, {}, nullptr};
      case PredefinedMacro::kUnknown:
        return {Kind::kUnknown, {}, nullptr};
    }
  }
  const TargetId other = build.Target() == TargetId::kLinux ? TargetId::kWindows : TargetId::kLinux;
  if (WrittenByTheRules(name) || FindPredefined(other, name) != nullptr) {
    return {Kind::kNone, {}, nullptr};  // no include defines another target's macros
  }
  if (unread || IsLibraryName(name)) {
    return {Kind::kUnknown, {}, nullptr};
  }
  return {Kind::kNone, {}, nullptr};
}

bool MacroScope::SameEverywhere(std::string_view name) const {
  const int configurations = kBaseConfigurations + static_cast<int>(switches_.size());
  if (const std::int32_t* states = table_.Find(name)) {
    bool same = states[0] != MacroTable::kNotSeen;
    for (int c = 1; c < configurations && same; ++c) {
      same = states[c] == states[0];
    }
    if (same) {
      return true;
    }
    for (int c = 0; c < configurations; ++c) {
      if (states[c] != MacroTable::kNotSeen) {
        return false;  // the header's in some, the compilers' in others (or different ones)
      }
    }
  } else if (table_.Full()) {
    return true;  // unknown everywhere
  }
  // What the configurations themselves make of it: the same where no switch, Debug build or
  // target tells them apart, and no include that the check could not read came before in some.
  const PredefinedMacro* linux = FindPredefined(TargetId::kLinux, name);
  const PredefinedMacro* windows = FindPredefined(TargetId::kWindows, name);
  const bool sameOnBoth = (linux == nullptr && windows == nullptr) ||
                          (linux != nullptr && windows != nullptr && linux->kind == windows->kind &&
                           linux->value == windows->value);
  if (!sameOnBoth || name == "_DEBUG" || name == "DEBUG" ||
      (unread_ != 0 && (unread_ & InUse()) != InUse())) {
    return false;
  }
  for (const std::string& switchName : switches_) {
    if (name == switchName) {
      return false;
    }
  }
  return true;
}

}  // namespace protowrap::check
