// The names that a header's enumerators declare, kept per configuration, and the tables' entries.
#include "check/declared_names.h"

#include "check/hash_probe.h"
#include "check/lexer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Where an entry's name begins: after "MAKE_PROTOCOL_INFO(", which rules 1 and 2 wrote whole.
constexpr auto kNameAt = static_cast<std::int32_t>(kEntryMacro.size() + 1);

}  // namespace

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

std::size_t DeclaredNames::Slot(std::string_view name) const {
  std::string scratch;
  return Probe(HashOf(name), names_.size(), [&](std::size_t at) {
    return names_[at] < 0 || NameAt(names_[at], &scratch) == name;
  });
}

std::size_t DeclaredNames::MayDeclare(std::string_view name, std::int32_t entry) {
  if ((used_ + 1) * 2 > names_.size()) {
    std::vector<std::int32_t> oldNames(names_.empty() ? 64 : names_.size() * 2, -1);
    std::vector<ConfigurationSet> oldWhere(oldNames.size(), 0);
    std::vector<std::uint32_t> oldListed(oldNames.size(), 0);
    oldNames.swap(names_);
    oldWhere.swap(where_);
    oldListed.swap(listed_);
    std::string scratch;
    for (std::size_t i = 0; i < oldNames.size(); ++i) {
      if (oldNames[i] >= 0) {
        const std::size_t at = Slot(NameAt(oldNames[i], &scratch));
        names_[at] = oldNames[i];
        where_[at] = oldWhere[i];
        listed_[at] = oldListed[i];
      }
    }
  }
  const std::size_t at = Slot(name);
  if (names_[at] < 0) {
    names_[at] = entry;
    ++used_;
  }
  return at;
}

bool DeclaredNames::Entry(std::string_view name, std::int32_t offset, std::int32_t region,
                          Truth active, std::int32_t table, bool judged) {
  const bool everywhere = active.holds == kEveryConfiguration;
  if (everywhere && from_ < 0) {
    // Not reached from the parser, which keeps nothing then either (Declare); kept so that the
    // table stands on its own.
    return false;  // nothing to keep while every entry is compiled everywhere
  }
  if (from_ < 0) {
    from_ = offset;
  }
  const std::size_t at = MayDeclare(name, offset);
  where_[at] = static_cast<ConfigurationSet>(where_[at] | active.MayHold());
  if (!everywhere && judged) {
    entries_.push_back({offset, region});
  }
  if (table < 0 || !judged) {
    return false;
  }
  const auto listing = static_cast<std::uint32_t>(table) * 2 + (everywhere ? 0u : 1u) + 2;
  const std::uint32_t before = listed_[at];
  listed_[at] = listing;
  return before != 0 && before / 2 == listing / 2 && ((before | listing) & 1u) != 0;
}

void DeclaredNames::FindEarlier() {
  // Before from_, every entry was compiled everywhere: an entry's name there is declared.
  Lexer lexer(text_, from_, TextKind::kWrap);
  std::string scratch;
  Token previous;
  Token before;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kIdentifier && before.kind == TokenKind::kIdentifier &&
        lexer.TextOf(before) == kEntryMacro && previous.kind == TokenKind::kPunctuator &&
        text_[previous.begin] == '(') {
      const std::size_t at = Slot(WithoutSplices(lexer.TextOf(t), &scratch));
      if (names_[at] >= 0) {
        where_[at] = kEveryConfiguration;
      }
    }
    before = previous;
    previous = t;
  }
}

// Where no declaration of the entry's name may be compiled.
ConfigurationSet DeclaredNames::Missing(const Conditional& entry) {
  const std::size_t at = Slot(NameAt(entry.offset, &scratch_));
  return names_[at] < 0 ? 0 : static_cast<ConfigurationSet>(kEveryConfiguration & ~where_[at]);
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
