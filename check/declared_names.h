// Which names a header's enumerators declare in which configurations, and the entries of its
// wrap header that name one where the header does not declare it.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "check/build_configuration.h"
#include "check/findings.h"

namespace protowrap::check {

/// The wrap header names every enumerator unconditionally (its tables have the header's #if lines
/// commented out), so an entry fails in a configuration that compiles none of the header's
/// declarations of its name. Entries are told in order, each with the configurations in which
/// the header compiles it; Finish finds the names that some configuration never declares and
/// reports each branch's first entry of one (kConditional).
///
/// Memory holds nothing for a header whose every entry is compiled everywhere: only from the first
/// entry that is not does it keep the names (a hash each) and the entries that are not.
class DeclaredNames {
 public:
  /// The entry at `offset` names `name`, compiled where `active` holds, in branch `region`.
  void Entry(std::string_view name, std::int32_t offset, std::int32_t region, Truth active);

  /// Whether it keeps names yet: not before the first entry that is not compiled everywhere.
  bool Keeping() const { return from_ >= 0; }

  /// Adds a finding for each branch's first entry that names a name that some configuration
  /// never declares. `text` is the wrap header: names declared before the first entry that is
  /// not compiled everywhere are found in it again, should they be needed.
  /// `unjudged`: names whose entries are not judged (the header may declare them where the wrap
  /// header does not reach).
  void Finish(const char* text, std::int32_t length, Findings& findings,
              const std::unordered_set<std::string_view>& unjudged = {});

 private:
  struct Conditional {
    std::int32_t offset;  // of the entry: its name follows its macro's '('
    std::int32_t region;
  };

  ConfigurationSet& MayDeclare(std::uint64_t name);
  ConfigurationSet Missing(const char* text, std::int32_t length, const Conditional& entry);
  static std::string_view NameAt(const char* text, std::int32_t length, const Conditional& entry);
  void FindEarlier(const char* text);

  std::deque<Conditional> entries_;  // in blocks: never copied as they grow
  std::int32_t from_ = -1;           // where the first entry not compiled everywhere stands
  // Names (hashes) and where some declaration of them may be compiled: open addressing.
  std::vector<std::uint64_t> names_;
  std::vector<ConfigurationSet> where_;
  std::size_t used_ = 0;
};

}  // namespace protowrap::check
