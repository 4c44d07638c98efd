// What names mean to the preprocessor where an expression is evaluated, and how much macro
// replacement the evaluations of one header may read.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/macro_table.h"

namespace protowrap::check {

/// What a name stands for, for the preprocessor, where an expression is evaluated.
struct MacroMeaning {
  enum class Kind : std::uint8_t {
    kNone,      ///< surely no macro
    kObject,    ///< an object-like macro: `body` is its replacement, as the header wrote it
    kFunction,  ///< a function-like macro (`definition`, where the header defined it)
    kOpaque,    ///< surely a macro, whose replacement the check does not know
    kUnknown,   ///< perhaps a macro (of an include the check could not read, of the library)
  };
  Kind kind = Kind::kUnknown;
  std::string_view body;
  /// Where the header or an include defined it (null for the compilers' and the client's).
  const MacroDefinition* definition = nullptr;

  bool operator==(const MacroMeaning&) const = default;
};

/// The macros of one build configuration at one place of a header.
class MacroLookup {
 public:
  virtual MacroMeaning Find(std::string_view name) const = 0;
  /// The width of long in the configuration's target.
  virtual std::uint8_t LongWidth() const = 0;

 protected:
  ~MacroLookup() = default;
};

/// Where an expression stands: a #if or #elif condition (macros expand, "defined" works, other
/// names are 0 and arithmetic is in intmax_t), or an enumerator's value (C++'s types; a name
/// that is no macro is a constant the check does not know).
enum class ExpressionUse : std::uint8_t { kCondition, kEnumerator };

/// How much macro replacement all the evaluations of one header may read, in bytes: macros can
/// multiply text (each expanding to two of the next), so the budget keeps the check linear.
/// Once spent, what needs a macro is unknown.
class ExpansionBudget {
 public:
  explicit ExpansionBudget(std::int64_t bytes) : left_(bytes) {}
  bool Spend(std::size_t bytes) {
    left_ -= static_cast<std::int64_t>(bytes) + 1;
    return left_ >= 0;
  }

 private:
  std::int64_t left_;
};

}  // namespace protowrap::check
