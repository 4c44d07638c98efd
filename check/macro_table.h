// The macros that a header defines and undefines, in each build configuration.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/configurations.h"

namespace protowrap::check {

/// For each name that a header's #define or #undef named: where, in each configuration, its
/// definition stands (the commented-out #define in the wrap header), or that it is undefined, or
/// unknown (defined where a condition is unknown), or untouched there. Names the table does not
/// hold, and untouched ones, keep the meaning they had before the header (see Preprocessor).
///
/// Memory stays below the wrap header's size: past that, the table holds no new names, and
/// says so (Full), so that a name it could not take is unknown rather than undefined.
class MacroTable {
 public:
  static constexpr std::int32_t kUndefined = -1;
  static constexpr std::int32_t kUnknown = -2;
  static constexpr std::int32_t kNotSeen = -3;  ///< untouched here: the meaning from before

  /// `limit`: the most bytes the table may hold.
  explicit MacroTable(std::size_t limit) : limit_(limit) {}

  /// Sets `name`'s state to `state` (a directive's offset, kUndefined or kUnknown) where `holds`,
  /// and to kUnknown where the directive may apply (`mayHold`) but is not known to.
  void Set(std::string_view name, std::int32_t state, ConfigurationSet holds,
           ConfigurationSet mayHold);

  /// The states of `name` by configuration, or null when the table does not hold it.
  const std::int32_t* Find(std::string_view name) const;

  /// Whether names were turned away for want of room.
  bool Full() const { return full_; }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t nameAt = 0;
    std::uint32_t nameLength = 0;  // 0: an empty slot
    std::int32_t states[kConfigurationCount] = {};
  };

  std::size_t Probe(std::string_view name, std::uint64_t hash) const;
  bool Grow();

  std::vector<Slot> slots_;
  std::string names_;
  std::size_t used_ = 0;
  std::size_t limit_;
  bool full_ = false;
};

/// FNV-1a over `text`.
std::uint64_t HashOf(std::string_view text);

}  // namespace protowrap::check
