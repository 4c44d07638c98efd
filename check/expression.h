// Integer constant expressions as the compilers evaluate them: #if conditions and enumerators'
// values, with the macros a header defines, and an answer of "unknown" where the check cannot
// know the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace protowrap::check {

/// An integer of one of C++'s integer types: its bits, its width and its signedness.
struct IntegerValue {
  std::uint64_t bits = 0;  ///< the value modulo 2^width (two's complement when signed)
  std::uint8_t width = 32;
  bool isSigned = true;
  std::uint8_t rank = 1;  ///< 1 int, 2 long, 3 long long

  /// `bits` as a value of the type of `rank` and signedness (cut to the type's width).
  static IntegerValue OfType(std::uint64_t bits, std::uint8_t rank, bool isSigned);
  /// An int.
  static IntegerValue OfInt(std::int64_t value);

  /// The value sign-extended to 64 bits (for a signed type).
  std::int64_t AsSigned() const;
  /// Whether the value lies in int's range, -2147483648 to 2147483647.
  bool FitsInInt() const;
};

/// A value that is known, or not.
struct Evaluation {
  bool known = false;
  IntegerValue value;
};

/// What a name stands for, for the preprocessor, where an expression is evaluated.
struct MacroMeaning {
  enum class Kind : std::uint8_t {
    kNone,      ///< surely no macro
    kObject,    ///< an object-like macro: `body` is its replacement, as the wrap header holds it
    kFunction,  ///< a function-like macro
    kUnknown,   ///< perhaps a macro (of an included file, of the compiler, of the build)
  };
  Kind kind = Kind::kUnknown;
  std::string_view body;
  bool headerText = false;  ///< `body` is already the header's text (nothing to undo in it)
};

/// The macros of one build configuration at one place of a header.
class MacroLookup {
 public:
  virtual MacroMeaning Find(std::string_view name) const = 0;

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

/// Evaluates one expression, as text of the header (commas for '=' as the rules write them are
/// read as '=': ",," is "=="). Reads nothing outside `expression` and the macros' bodies;
/// recursion is bounded, whatever the expression. Unknown where a name's meaning, a macro of an
/// included file, a function-like macro, a cast or sizeof, or an error (a division by zero,
/// an overflow, a shift out of range) makes the value one that the check cannot know.
class ExpressionEvaluator {
 public:
  explicit ExpressionEvaluator(ExpansionBudget& budget) : budget_(budget) {}
  Evaluation Evaluate(std::string_view expression, ExpressionUse use, const MacroLookup& macros);

 private:
  struct Frame;
  class Run;
  ExpansionBudget& budget_;
  std::string scratch_[8];  // the texts of the frames, kept for the next evaluation
};

/// Reads one integer literal ("10", "0x1F", "1'000ull") as a value of the literal's type; false
/// when it is none, or when no integer type holds it.
bool ParseIntegerLiteral(std::string_view text, IntegerValue* value);

/// The value of an enumerator without an initializer that follows one of value `previous`:
/// previous + 1, in a wider type when it no longer fits. False when no integer type holds it.
bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value);

}  // namespace protowrap::check
