// What each name means to the preprocessor, in each build configuration, at the current place of
// a header: what the header and its includes defined, else what the configuration's compilers
// define before it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/build_configuration.h"
#include "check/expression.h"
#include "check/macro_table.h"

namespace protowrap::check {

/// The meanings of names in every configuration: a name the header (or an include it reads)
/// defined or undefined has that meaning (MacroTable); otherwise the configuration's compilers
/// decide: their predefined macros (targets.h), a Debug build's _DEBUG and DEBUG, the switch that
/// the configuration defines as 1. A name none of them defines is undefined, reserved spellings
/// (_X, __x) included, but where the standard library may define it, or an include that the check
/// could not read came before it: there it is unknown.
class MacroScope {
 public:
  /// `limit`: the most bytes the macro table may hold; `switches`: the header's own switches.
  MacroScope(std::size_t limit, std::vector<std::string> switches);
  MacroScope(const MacroScope&) = delete;
  MacroScope& operator=(const MacroScope&) = delete;

  MacroTable& Table() { return table_; }
  const MacroTable& Table() const { return table_; }

  /// What `name` means in `configuration` (one in use) here.
  MacroMeaning Meaning(std::string_view name, int configuration) const;

  /// The lookup of one configuration in use, for the evaluator.
  const MacroLookup& LookupIn(int configuration) const { return lanes_[configuration]; }

  /// Whether `name` means the same in every configuration in use.
  bool SameEverywhere(std::string_view name) const;

  /// From here on, in `where`, a name that nothing here defines may be a macro of an include that
  /// the check could not read.
  void UnreadInclude(ConfigurationSet where) { unread_ |= where; }

  /// The configurations in use: the four of the targets, and one per switch.
  ConfigurationSet InUse() const { return ConfigurationsFor(static_cast<int>(switches_.size())); }

  /// The header's switches, in order.
  const std::vector<std::string>& Switches() const { return switches_; }

 private:
  class Lane final : public MacroLookup {
   public:
    MacroMeaning Find(std::string_view name) const override;
    std::uint8_t LongWidth() const override;
    const MacroScope* owner = nullptr;
    int configuration = 0;
  };

  MacroMeaning Predefined(std::string_view name, int configuration) const;

  MacroTable table_;
  std::vector<std::string> switches_;
  Lane lanes_[kMaxConfigurations];
  ConfigurationSet unread_ = 0;
};

}  // namespace protowrap::check
