// Which names a header's enumerators declare in which configurations, and the entries of its
// wrap header that name one where the header does not declare it, or that a table lists twice.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/build_configuration.h"
#include "check/findings.h"

namespace protowrap::check {

/// The wrap header names every enumerator unconditionally (its tables have the header's #if lines
/// commented out), so an entry fails in a configuration that compiles none of the header's
/// declarations of its name, and a table lists twice an enumerator that two branches declare.
/// Entries are told in order, each with the configurations in which the header compiles it;
/// Finish finds the names that some configuration never declares and reports each branch's first
/// entry of one (kConditional).
///
/// Memory holds nothing for a header whose every entry is compiled everywhere: only from the first
/// entry that is not does it keep the names (16 bytes a slot, at most half of them used: an
/// entry's place, which its name follows, is all it keeps of a name) and the entries that are not.
/// Names are compared whole: two names are never taken for one.
///
/// A table sees the names declared in its own namespace and in those around it, and in the
/// namespaces that these use (a using-directive, an unnamed or an inline namespace). Namespaces
/// are numbers (0: the global namespace), which a slot keeps in 32 bits: two namespaces taken for
/// one only make a name seen where it is not, never missing where it is.
class DeclaredNames {
 public:
  explicit DeclaredNames(const char* text, std::int32_t length) : text_(text), length_(length) {}

  /// The namespace `name` inside `parent` (empty: the unnamed one, whose names are seen from
  /// `parent`, as those of an inline one are).
  std::uint64_t Open(std::uint64_t parent, std::string_view name, bool isInline);

  /// A using-directive in namespace `scope`, for the namespace named `path` (from the global
  /// namespace on, where `global`): its names are seen from `scope` too.
  void Use(std::uint64_t scope, const std::vector<std::string_view>& path, bool global);

  /// A table's entries stand from `begin` to `end`, in namespace `scope`: for the names found
  /// again in the text.
  void Table(std::int32_t begin, std::int32_t end, std::uint64_t scope) {
    tables_.push_back({begin, end, Id(scope)});
  }

  /// The entry at `offset` (of the wrap header: its name follows the entry macro's '(') names
  /// `name`, compiled where `active` holds, in branch `region`, in namespace `scope`; `table`:
  /// the number of the table it stands in, or -1 for a name that an entry swallows; `judged`:
  /// false where the wrap header itself may not compile the entry (a digraph conditional, live
  /// there, or an entry that another's invocation swallows). Returns whether the table listed the
  /// name before, with one of the two listings in a conditional branch.
  bool Entry(std::string_view name, std::int32_t offset, std::int32_t region, Truth active,
             std::int32_t table, std::uint64_t scope, bool judged = true);

  /// Whether it keeps names yet: not before the first entry that is not compiled everywhere.
  bool Keeping() const { return from_ >= 0; }

  /// Keeps names from the entry at `offset` on (every entry before it was compiled everywhere).
  void KeepFrom(std::int32_t offset) {
    if (from_ < 0) {
      from_ = offset;
    }
  }

  /// Adds a finding for each branch's first entry that names a name that some configuration
  /// never declares. Names declared before the first entry that is not compiled everywhere are
  /// found again in the text, should they be needed. `unjudged`: names whose entries are not
  /// judged (the header may declare them where the wrap header does not reach).
  void Finish(Findings& findings, const std::unordered_set<std::string_view>& unjudged = {});

 private:
  using ScopeId = std::uint32_t;

  struct Conditional {
    std::int32_t offset;  // of the entry: its name follows its macro's '('
    std::int32_t region;
    std::uint64_t scope;
  };

  // A name (the place of an entry that names it), where some declaration of it may be compiled,
  // and the table that last listed it (its number and whether that listing was conditional, as
  // number * 2 + 1 for a conditional one; 0 for none). `scope`: the namespace of its first
  // declaration; `spread`: declared in more than one, each kept in spread_.
  struct Slot {
    std::int32_t name = -1;  // -1: an empty slot
    ConfigurationSet where = 0;
    bool spread = false;
    std::uint32_t listed = 0;
    ScopeId scope = 0;
  };

  struct Span {
    std::int32_t begin;
    std::int32_t end;
    ScopeId scope;
  };

  static ScopeId Id(std::uint64_t scope) { return static_cast<ScopeId>(scope ^ (scope >> 32)); }

  std::string_view NameAt(std::int32_t entry, std::string* scratch) const;
  Slot& SlotOf(std::string_view name);
  Slot& MayDeclare(std::string_view name, std::int32_t entry, ScopeId scope);
  void Spread(Slot& slot, std::string_view name, ScopeId scope, ConfigurationSet where);
  // The namespaces whose names a lookup from `scope` sees: it and those around it, out to the
  // global one, and those that each of them uses.
  std::vector<std::uint64_t> Seen(std::uint64_t scope) const;
  ConfigurationSet Missing(const Conditional& entry);
  void FindEarlier();

  const char* text_;
  std::int32_t length_;
  std::deque<Conditional> entries_;  // in blocks: never copied as they grow
  std::int32_t from_ = -1;           // where the first entry not compiled everywhere stands
  std::vector<Slot> slots_;          // the names, by open addressing
  std::size_t used_ = 0;
  // The names declared in more than one namespace: where in each.
  std::unordered_map<std::string, std::vector<std::pair<ScopeId, ConfigurationSet>>> spread_;
  std::unordered_map<std::uint64_t, std::uint64_t> parents_;
  std::unordered_multimap<std::uint64_t, std::uint64_t> uses_;  // a namespace, one it sees
  std::vector<Span> tables_;
  mutable std::string scratch_;
};

}  // namespace protowrap::check
