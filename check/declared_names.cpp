// The names that a header's enumerators declare, kept per configuration, and the tables' entries.
#include "check/declared_names.h"

#include <algorithm>

#include "check/hash_probe.h"
#include "check/lexer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Where an entry's name begins: after "MAKE_PROTOCOL_INFO(", which rules 1 and 2 wrote whole.
constexpr auto kNameAt = static_cast<std::int32_t>(kEntryMacro.size() + 1);

// The namespace `name` inside the namespace `parent`.
std::uint64_t Nested(std::uint64_t parent, std::string_view name) {
  return HashOf(name, HashOf({reinterpret_cast<const char*>(&parent), sizeof parent})) ^
         name.size();
}

}  // namespace

std::uint64_t DeclaredNames::Open(std::uint64_t parent, std::string_view name, bool isInline) {
  const std::uint64_t scope = Nested(parent, name);
  // Its first parent stays: each namespace's parent came before it, so no chain of parents loops,
  // whatever two names a hash took for one.
  parents_.try_emplace(scope, parent);
  if (name.empty() || isInline) {
    uses_.insert({parent, scope});
  }
  return scope;
}

void DeclaredNames::Use(std::uint64_t scope, const std::vector<std::string_view>& path,
                        bool global) {
  // The name is looked up from the directive's namespace outwards (or in the global one): each
  // namespace seen on the way may hold the one it names.
  for (const std::uint64_t from : Seen(global ? 0 : scope)) {
    std::uint64_t named = from;
    for (const std::string_view part : path) {
      named = Nested(named, part);
    }
    uses_.insert({scope, named});
  }
}

std::vector<std::uint64_t> DeclaredNames::Seen(std::uint64_t scope) const {
  std::vector<std::uint64_t> pending{0};
  while (scope != 0) {
    pending.push_back(scope);
    const auto parent = parents_.find(scope);
    scope = parent == parents_.end() ? 0 : parent->second;
  }
  std::vector<std::uint64_t> seen;
  while (!pending.empty()) {
    const std::uint64_t next = pending.back();
    pending.pop_back();
    if (std::find(seen.begin(), seen.end(), next) == seen.end()) {
      seen.push_back(next);
      for (auto [use, end] = uses_.equal_range(next); use != end; ++use) {
        pending.push_back(use->second);
      }
    }
  }
  return seen;
}

std::string_view DeclaredNames::NameAt(std::int32_t entry, std::string* scratch) const {
  std::int32_t end = entry + kNameAt;
  while (end < length_ && IsIdentifierByte(text_[end])) {
    ++end;
  }
  if (end < length_ && text_[end] == '\\') {
    // A line splice inside the name: the name as the compilers read it.
    Lexer lexer(text_, length_);
    lexer.Seek(entry + kNameAt);
    return WithoutSplices(lexer.TextOf(lexer.Next()), scratch);
  }
  return {text_ + entry + kNameAt, static_cast<std::size_t>(end - entry - kNameAt)};
}

DeclaredNames::Slot& DeclaredNames::SlotOf(std::string_view name) {
  std::string scratch;
  return slots_[Probe(HashOf(name), slots_.size(), [&](std::size_t at) {
    return slots_[at].name < 0 || NameAt(slots_[at].name, &scratch) == name;
  })];
}

DeclaredNames::Slot& DeclaredNames::MayDeclare(std::string_view name, std::int32_t entry,
                                               ScopeId scope) {
  if ((used_ + 1) * 2 > slots_.size()) {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    std::string scratch;
    for (const Slot& slot : old) {
      if (slot.name >= 0) {
        SlotOf(NameAt(slot.name, &scratch)) = slot;
      }
    }
  }
  Slot& slot = SlotOf(name);
  if (slot.name < 0) {
    slot.name = entry;
    slot.scope = scope;
    ++used_;
  }
  return slot;
}

void DeclaredNames::Spread(Slot& slot, std::string_view name, ScopeId scope,
                           ConfigurationSet where) {
  auto& declarations = spread_[std::string(name)];
  if (!slot.spread) {
    declarations.push_back({slot.scope, slot.where});
    slot.spread = true;
  }
  const auto same =
      std::find_if(declarations.begin(), declarations.end(),
                   [scope](const auto& declaration) { return declaration.first == scope; });
  if (same == declarations.end()) {
    declarations.push_back({scope, where});
  } else {
    same->second = static_cast<ConfigurationSet>(same->second | where);
  }
}

bool DeclaredNames::Entry(std::string_view name, std::int32_t offset, std::int32_t region,
                          Truth active, std::int32_t table, std::uint64_t scope, bool judged) {
  const bool everywhere = active.holds == kEveryConfiguration;
  KeepFrom(offset);  // the parser keeps no entry while every one is compiled everywhere
  const ScopeId in = Id(scope);
  Slot& slot = MayDeclare(name, offset, in);
  if (slot.spread || slot.scope != in) {
    Spread(slot, name, in, active.MayHold());
  }
  slot.where = static_cast<ConfigurationSet>(slot.where | active.MayHold());
  if (!everywhere && judged) {
    entries_.push_back({offset, region, scope});
  }
  if (table < 0 || !judged) {
    return false;
  }
  const auto listing = static_cast<std::uint32_t>(table) * 2 + (everywhere ? 0u : 1u) + 2;
  const std::uint32_t before = slot.listed;
  slot.listed = listing;
  return before != 0 && before / 2 == listing / 2 && ((before | listing) & 1u) != 0;
}

void DeclaredNames::FindEarlier() {
  // Before from_, every entry was compiled everywhere: an entry's name there is declared, in its
  // table's namespace.
  Lexer lexer(text_, from_, TextKind::kWrap);
  std::string scratch;
  Token previous;
  Token before;
  std::size_t table = 0;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kIdentifier && before.kind == TokenKind::kIdentifier &&
        lexer.TextOf(before) == kEntryMacro && previous.kind == TokenKind::kPunctuator &&
        text_[previous.begin] == '(') {
      const std::string_view name = WithoutSplices(lexer.TextOf(t), &scratch);
      Slot& slot = SlotOf(name);
      while (table < tables_.size() && tables_[table].end <= t.begin) {
        ++table;
      }
      if (slot.name >= 0) {
        if (table == tables_.size() || tables_[table].begin > t.begin) {
          slot.spread = false;  // outside a table, in a namespace not known here: seen from all
        } else if (slot.spread || slot.scope != tables_[table].scope) {
          Spread(slot, name, tables_[table].scope, kEveryConfiguration);
        }
        slot.where = kEveryConfiguration;
      }
    }
    before = previous;
    previous = t;
  }
}

// Where no declaration of the entry's name that its table sees may be compiled: one in the
// table's namespace, in one around it, or in one that these use.
ConfigurationSet DeclaredNames::Missing(const Conditional& entry) {
  const std::string_view name = NameAt(entry.offset, &scratch_);
  const Slot& slot = SlotOf(name);
  if (slot.name < 0) {
    return 0;
  }
  ConfigurationSet where = slot.where;
  if (slot.spread) {
    const auto& declarations = spread_.find(std::string(name))->second;
    where = 0;
    for (const std::uint64_t scope : Seen(entry.scope)) {
      for (const auto& [in, compiled] : declarations) {
        where = static_cast<ConfigurationSet>(where | (in == Id(scope) ? compiled : 0));
      }
    }
  }
  return static_cast<ConfigurationSet>(kEveryConfiguration & ~where);
}

void DeclaredNames::Finish(Findings& findings,
                           const std::unordered_set<std::string_view>& unjudged) {
  bool any = false;
  for (const Conditional& entry : entries_) {
    any = any || Missing(entry) != 0;
  }
  if (!any) {
    return;
  }
  if (from_ > 0) {
    FindEarlier();
  }
  std::int32_t lastRegion = -1;
  std::vector<bool> reported;
  for (const Conditional& entry : entries_) {
    const ConfigurationSet where = Missing(entry);
    if (where == 0 || (!unjudged.empty() && unjudged.count(NameAt(entry.offset, &scratch_)) != 0)) {
      continue;
    }
    const auto region = static_cast<std::size_t>(entry.region);
    if (entry.region == lastRegion || (region < reported.size() && reported[region])) {
      continue;
    }
    if (region >= reported.size()) {
      reported.resize(region + 1, false);
    }
    reported[region] = true;
    lastRegion = entry.region;
    findings.Add(entry.offset, HeaderProblem::kConditional, where);
  }
}

}  // namespace protowrap::check
