// The targets that the header check models a build for, as their compilers see a header: each
// one's predefined macros and the width of its long. One row per target: a later target (ARM64
// Linux, say) is one more.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "check/build_configuration.h"

namespace protowrap::check {

/// A macro that a target's compilers define before the header.
struct PredefinedMacro {
  enum Kind : std::uint8_t {
    kKnown,    ///< every compiler of the target defines it, with `value`
    kOpaque,   ///< every compiler defines it, with replacements that differ (or are not integers)
    kUnknown,  ///< some compilers or build modes define it, others do not
  };
  std::string_view name;
  Kind kind;
  std::string_view value;
};

/// A target: its name, the width of long there, and its compilers' predefined macros (sorted).
struct Target {
  std::string_view name;
  std::uint8_t longWidth;
  std::span<const PredefinedMacro> macros;
};

/// The target of `id`.
const Target& TargetOf(TargetId id);

/// What the compilers of `id` predefine as `name`, or null when none of them does.
const PredefinedMacro* FindPredefined(TargetId id, std::string_view name);

/// Whether the standard library's headers, which a client includes before the header, may define
/// `name`: such a name is unknown to the check.
bool IsLibraryName(std::string_view name);

}  // namespace protowrap::check
