// Integer constant expressions as the compilers evaluate them: #if conditions and enumerators'
// values, with the macros a header defines, and an answer of "unknown" where the check cannot
// know the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/integer_value.h"
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
  virtual std::uint8_t LongWidth() const { return 64; }

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

/// The header's text of a directive or a macro body that the rules rewrote: line splices removed,
/// and what the rules wrote there taken back where that is unambiguous ("MAKE_PROTOCOL_INFO(CG_"
/// is "CG_", "_PROTOCOL[] = " is "_PROTOCOL", "//#" is "#"). A ',' stays: it may have been '='
/// or ','. Returns `text` itself when there is nothing to undo, else a view of `*scratch`.
std::string_view HeaderTextOf(std::string_view text, std::string* scratch);

/// Evaluates one expression of the header, or of the wrap header (commas for '=' as the rules write
/// them are read as '=': ",," is "=="). Reads nothing outside `expression` and the macros' bodies;
/// recursion is bounded, whatever the expression. Unknown where a name's meaning, a macro of an
/// included file, a function-like macro, a cast or sizeof, or an error (a division by zero,
/// an overflow, a shift out of range) makes the value one that the check cannot know.
class ExpressionEvaluator {
 public:
  explicit ExpressionEvaluator(ExpansionBudget& budget) : budget_(budget) {}
  /// `headerText`: the expression is the header's own text (a directive's), not the wrap
  /// header's (an entry's value), where what the rules wrote is taken back first.
  Evaluation Evaluate(std::string_view expression, ExpressionUse use, const MacroLookup& macros,
                      bool headerText = true);

 private:
  struct Frame;
  class Run;
  static constexpr int kMaxFrames = 8;  // the expression and the macros replaced inside it
  ExpansionBudget& budget_;
  std::string scratch_[kMaxFrames];  // the texts of the frames, kept for the next evaluation
};

}  // namespace protowrap::check
