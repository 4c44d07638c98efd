// Integer constant expressions as the compilers evaluate them: #if conditions and enumerators'
// values, with the macros a header defines, and an answer of "unknown" where the check cannot
// know the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/expanded_tokens.h"
#include "check/header_text.h"
#include "check/integer_value.h"
#include "check/macro_lookup.h"

namespace protowrap::check {

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
  class Run;
  ExpansionBudget& budget_;
  ExpandedTokens::Buffers buffers_;
};

}  // namespace protowrap::check
