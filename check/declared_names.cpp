#include "check/declared_names.h"

#include "check/lexer.h"
#include "check/macro_table.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// A name's hash, never 0 (0 marks an empty slot).
std::uint64_t NameHash(std::string_view name) {
  return HashOf(name) | 1;
}

}  // namespace

ConfigurationSet& DeclaredNames::MayDeclare(std::uint64_t name) {
  if ((used_ + 1) * 2 > names_.size()) {
    std::vector<std::uint64_t> oldNames(names_.empty() ? 64 : names_.size() * 2, 0);
    std::vector<ConfigurationSet> oldWhere(oldNames.size(), 0);
    oldNames.swap(names_);
    oldWhere.swap(where_);
    used_ = 0;
    for (std::size_t i = 0; i < oldNames.size(); ++i) {
      if (oldNames[i] != 0) {
        MayDeclare(oldNames[i]) = oldWhere[i];
      }
    }
  }
  const std::size_t mask = names_.size() - 1;
  std::size_t at = name & mask;
  while (names_[at] != 0 && names_[at] != name) {
    at = (at + 1) & mask;
  }
  if (names_[at] == 0) {
    names_[at] = name;
    ++used_;
  }
  return where_[at];
}

void DeclaredNames::Entry(std::string_view name, std::int32_t offset, std::int32_t region,
                          Truth active) {
  const bool everywhere = active.holds == kEveryConfiguration;
  if (everywhere && from_ < 0) {
    return;  // nothing to keep while every entry is compiled everywhere
  }
  if (from_ < 0) {
    from_ = offset;
  }
  const std::uint64_t hash = NameHash(name);
  MayDeclare(hash) |= active.MayHold();
  if (!everywhere) {
    entries_.push_back({offset, region});
  }
}

void DeclaredNames::FindEarlier(const char* text) {
  // Before from_, every entry was compiled everywhere: an entry's name there is declared.
  Lexer lexer(text, from_, TextKind::kWrap);
  std::string scratch;
  Token previous;
  Token before;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kIdentifier && before.kind == TokenKind::kIdentifier &&
        lexer.TextOf(before) == kEntryMacro && previous.kind == TokenKind::kPunctuator &&
        text[previous.begin] == '(') {
      const std::uint64_t hash = NameHash(WithoutSplices(lexer.TextOf(t), &scratch));
      const std::size_t mask = names_.size() - 1;
      for (std::size_t at = hash & mask; names_[at] != 0; at = (at + 1) & mask) {
        if (names_[at] == hash) {
          where_[at] = kEveryConfiguration;
          break;
        }
      }
    }
    before = previous;
    previous = t;
  }
}

// The name of the entry (it follows its macro's '(').
std::string_view DeclaredNames::NameAt(const char* text, std::int32_t length,
                                       const Conditional& entry) {
  constexpr auto kNameAt = static_cast<std::int32_t>(kEntryMacro.size() + 1);
  std::int32_t end = entry.offset + kNameAt;
  while (end < length && IsIdentifierByte(text[end])) {
    ++end;
  }
  return {text + entry.offset + kNameAt, static_cast<std::size_t>(end - entry.offset - kNameAt)};
}

// Where no declaration of the entry's name may be compiled.
ConfigurationSet DeclaredNames::Missing(const char* text, std::int32_t length,
                                        const Conditional& entry) {
  const std::uint64_t hash = NameHash(NameAt(text, length, entry));
  const std::size_t mask = names_.size() - 1;
  std::size_t at = hash & mask;
  while (names_[at] != hash && names_[at] != 0) {
    at = (at + 1) & mask;
  }
  return names_[at] == 0 ? 0 : static_cast<ConfigurationSet>(kEveryConfiguration & ~where_[at]);
}

void DeclaredNames::Finish(const char* text, std::int32_t length, Findings& findings,
                           const std::unordered_set<std::string_view>& unjudged) {
  bool any = false;
  for (const Conditional& entry : entries_) {
    any = any || Missing(text, length, entry) != 0;
  }
  if (!any) {
    return;
  }
  if (from_ > 0) {
    FindEarlier(text);
  }
  std::int32_t lastRegion = -1;
  std::vector<bool> reported;
  for (const Conditional& entry : entries_) {
    const ConfigurationSet where = Missing(text, length, entry);
    if (where == 0 || (!unjudged.empty() && unjudged.count(NameAt(text, length, entry)) != 0)) {
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
