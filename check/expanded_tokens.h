// The tokens of an expression as the preprocessor hands them to its evaluator: read through the
// macros they name, with literals as values and operators joined.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/integer_value.h"
#include "check/lexer.h"
#include "check/macro_lookup.h"

namespace protowrap::check {

/// One token of an expression, taken out of its text as it is read (the texts of replaced macros
/// end as the reading leaves them).
struct ExpressionToken {
  enum class Kind : std::uint8_t {
    kEnd,       ///< the expression's end
    kValue,     ///< a number, a character, true or false, defined X, or a name: `value`
    kOperator,  ///< `op`
    kName,      ///< a macro that was replaced (its replacement is read next)
    kBad,       ///< what no expression holds
  };
  Kind kind = Kind::kEnd;
  Evaluation value;
  char op[4] = {};  ///< up to three bytes ("<<=" is never needed: no assignment is an operator)
};

/// A text that the expression reads: the expression itself, or a macro's replacement in it.
struct ExpressionFrame {
  std::string_view text;
  std::string_view macro;  ///< the macro this frame replaces, which does not expand again in it
  Lexer lexer{nullptr, 0};
};

/// Reads the tokens of one expression, replacing the macros it names (each replacement paid from
/// `budget`, at most kMaxFrames - 1 deep), as the preprocessor does in a condition, or as the
/// compiler sees an enumerator's value after the preprocessor.
class ExpandedTokens {
 public:
  static constexpr int kMaxFrames = 8;  ///< the expression and the macros replaced inside it
  /// The frames' texts, kept from one expression to the next so that their memory is reused.
  struct Buffers {
    std::string texts[kMaxFrames];
  };

  /// `headerText`: the expression is the header's own text (a directive's), not the wrap
  /// header's, where what the rules wrote is taken back first.
  ExpandedTokens(std::string_view expression, ExpressionUse use, const MacroLookup& macros,
                 bool headerText, ExpansionBudget& budget, Buffers& buffers);
  ExpandedTokens(const ExpandedTokens&) = delete;
  ExpandedTokens& operator=(const ExpandedTokens&) = delete;

  /// The next token; kEnd at the expression's end, and from then on.
  ExpressionToken Next();

 private:
  void Push(std::string_view text, std::string_view macro, bool headerText);
  bool Hidden(std::string_view name) const;
  Token Raw(ExpressionFrame** from);
  ExpressionToken Defined(ExpressionFrame& frame);
  ExpressionToken Name(ExpressionFrame& frame, const Token& token);
  IntegerValue Promoted(const IntegerValue& value) const;

  ExpressionUse use_;
  const MacroLookup& macros_;
  std::uint8_t longWidth_;
  ExpansionBudget& budget_;
  Buffers& buffers_;
  ExpressionFrame frames_[kMaxFrames];
  int depth_ = 0;  // frames in use
};

}  // namespace protowrap::check
