// C++'s integer types as the compilers compute with them: values of int, long and long long,
// signed and unsigned, their literals, the usual arithmetic conversions, the operators, and the
// value of an enumerator that follows another.
#pragma once

#include <cstdint>
#include <string_view>

namespace protowrap::check {

/// An integer of one of C++'s integer types: its bits, its width and its signedness.
struct IntegerValue {
  std::uint64_t bits = 0;  ///< the value modulo 2^width (two's complement when signed)
  std::uint8_t width = 32;
  bool isSigned = true;
  std::uint8_t rank = 1;  ///< 1 int, 2 long, 3 long long

  /// `bits` as a value of the type of `rank` and signedness (cut to the type's width), where long
  /// has `longWidth` bits.
  static IntegerValue OfType(std::uint64_t bits, std::uint8_t rank, bool isSigned,
                             std::uint8_t longWidth = 64);
  /// The same, of a type of `width` bits.
  static IntegerValue OfWidth(std::uint64_t bits, std::uint8_t rank, std::uint8_t width,
                              bool isSigned);
  /// An int.
  static IntegerValue OfInt(std::int64_t value);

  /// The value sign-extended to 64 bits (for a signed type).
  std::int64_t AsSigned() const;
  /// Whether the value lies in int's range, -2147483648 to 2147483647.
  bool FitsInInt() const;
  /// The same value as an intmax_t or a uintmax_t, as the preprocessor computes.
  IntegerValue Widened() const;
};

/// A value that is known, or not.
struct Evaluation {
  bool known = false;
  IntegerValue value;
};

/// Reads one integer literal ("10", "0x1F", "1'000ull") as a value of the literal's type, where
/// long has `longWidth` bits; false when it is none, or when no integer type holds it.
bool ParseIntegerLiteral(std::string_view text, IntegerValue* value, std::uint8_t longWidth = 64);

/// The usual protocol value, read at the least cost: a decimal literal of one to nine digits,
/// without separators or suffixes, whose type is int. False, with `*value` untouched, for any
/// other text.
inline bool ParseSmallDecimal(std::string_view text, std::int32_t* value) {
  if (text.empty() || text.size() > 9 || text[0] == '0') {
    return false;
  }
  std::int32_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    n = n * 10 + (c - '0');
  }
  *value = n;
  return true;
}

/// Reads a character literal without prefix ('x', '\n') as an int; false for any other.
bool ParseCharacterLiteral(std::string_view text, IntegerValue* value);

/// `op` (a unary operator: + - ~ !) on `operand`. Unknown where the compiler would reject it (the
/// type's minimum negated). `condition`: the result of ! is an intmax_t, as in #if.
Evaluation ApplyUnary(char op, Evaluation operand, bool condition);

/// `op` (a binary operator: || && | ^ & == != < > <= >= << >> + - * / %) on the operands, with
/// the usual arithmetic conversions; in Kleene's logic where a side is unknown (a known false
/// decides &&, a known true ||). Unknown where the compiler would reject it: a division by zero,
/// a signed overflow, a shift out of range. `condition`: comparisons give intmax_t, as in #if.
Evaluation ApplyBinary(std::string_view op, Evaluation left, Evaluation right, bool condition);

/// `condition ? a : b`, in the common type of a and b; known where the condition is, or where
/// both sides agree.
Evaluation Choose(const Evaluation& condition, Evaluation a, Evaluation b);

/// int's largest value, and the bits of its width.
inline constexpr std::uint64_t kIntMax = 0x7FFFFFFF;
inline constexpr std::uint64_t kIntBits = 0xFFFFFFFF;

/// The usual case of NextEnumeratorValue, in place: an int below int's maximum becomes the next
/// int. False, having done nothing, for any other value.
inline bool StepInt(IntegerValue* value) {
  if (value->rank != 1 || !value->isSigned || value->bits == kIntMax) {
    return false;
  }
  value->bits = (value->bits + 1) & kIntBits;
  return true;
}

/// The value of an enumerator without an initializer that follows one of value `previous`:
/// previous + 1, in a wider type when it no longer fits (long of `longWidth` bits). False when no
/// integer type holds it.
bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value, std::uint8_t longWidth);

}  // namespace protowrap::check
