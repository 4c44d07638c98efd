// The value of an enumerator, as the compiler computes it: integer constant expressions with the
// types of C++ (int, long, long long, signed and unsigned).
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

  /// Whether the value lies in int's range, -2147483648 to 2147483647.
  bool FitsInInt() const;
};

/// Evaluates the integer constant expression `expression`, written as the rules leave it in an
/// entry: each ',' stands for the header's '=' (so ",," is "=="). Knows literals (decimal, hex,
/// octal and binary, with suffixes and digit separators), character literals, true and false,
/// parentheses, the unary, binary and conditional operators. Returns false for anything else (a
/// name, a cast, a call), for what the compiler would reject (overflow of a signed type, a shift
/// out of range, a division by zero), and for expressions nested deeper than a fixed limit.
bool EvaluateConstant(std::string_view expression, IntegerValue* value);

/// Reads one integer literal ("10", "0x1F", "1'000ull") as a value of the literal's type; false
/// when it is none, or when no integer type holds it.
bool ParseIntegerLiteral(std::string_view text, IntegerValue* value);

/// The value of an enumerator without an initializer that follows one of value `previous`:
/// previous + 1, in a wider type when it no longer fits. False when no integer type holds it.
bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value);

}  // namespace protowrap::check
