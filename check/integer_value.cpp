// Arithmetic on C++'s integer types as the compilers compute it.
#include "check/integer_value.h"

namespace protowrap::check {

namespace {

// The width of the type of `rank` where long has `longWidth` bits (64 on Linux, 32 on Windows).
std::uint8_t WidthOf(std::uint8_t rank, std::uint8_t longWidth) {
  return rank == 1 ? 32 : rank == 2 ? longWidth : 64;
}

// The largest value of a type of `width` bits (1 to 64).
std::uint64_t MaxOf(std::uint8_t width, bool isSigned) {
  const std::uint64_t all = ~std::uint64_t{0} >> (64 - width);
  return isSigned ? all >> 1 : all;
}

// Whether the signed number `n` is representable in a signed type of `width` bits.
bool SignedFits(std::int64_t n, std::uint8_t width) {
  const auto max = static_cast<std::int64_t>(MaxOf(width, true));
  return n >= -max - 1 && n <= max;
}

// `v` converted to the type of `rank` (of `width` bits) and signedness.
IntegerValue Converted(const IntegerValue& v, std::uint8_t rank, std::uint8_t width,
                       bool isSigned) {
  return IntegerValue::OfWidth(v.isSigned ? static_cast<std::uint64_t>(v.AsSigned()) : v.bits, rank,
                               width, isSigned);
}

// The usual arithmetic conversions: both operands (at least int) to their common type, whose
// width is the wider operand's.
void ToCommonType(IntegerValue* a, IntegerValue* b) {
  const IntegerValue& wider = a->rank >= b->rank ? *a : *b;
  const std::uint8_t rank = wider.rank;
  const std::uint8_t width = wider.width;
  if (a->isSigned == b->isSigned) {
    *a = Converted(*a, rank, width, a->isSigned);
    *b = Converted(*b, rank, width, b->isSigned);
    return;
  }
  const IntegerValue& u = a->isSigned ? *b : *a;
  const IntegerValue& s = a->isSigned ? *a : *b;
  // Unsigned unless the signed operand's type ranks higher and holds every value of the other.
  const bool isSigned = u.rank < s.rank && s.width > u.width;
  *a = Converted(*a, rank, width, isSigned);
  *b = Converted(*b, rank, width, isSigned);
}

// In a condition, every value is an intmax_t or a uintmax_t.
IntegerValue Promote(bool condition, const IntegerValue& value) {
  return condition ? value.Widened() : value;
}

}  // namespace

IntegerValue IntegerValue::OfWidth(std::uint64_t bits, std::uint8_t rank, std::uint8_t width,
                                   bool isSigned) {
  IntegerValue v;
  v.rank = rank;
  v.width = width;
  v.isSigned = isSigned;
  v.bits = bits & MaxOf(width, false);
  return v;
}

IntegerValue IntegerValue::OfType(std::uint64_t bits, std::uint8_t rank, bool isSigned,
                                  std::uint8_t longWidth) {
  return OfWidth(bits, rank, WidthOf(rank, longWidth), isSigned);
}

IntegerValue IntegerValue::OfInt(std::int64_t value) {
  return OfType(static_cast<std::uint64_t>(value), 1, true);
}

std::int64_t IntegerValue::AsSigned() const {
  const std::uint64_t sign = std::uint64_t{1} << (width - 1);
  return static_cast<std::int64_t>((bits ^ sign) - sign);
}

bool IntegerValue::FitsInInt() const {
  return isSigned ? SignedFits(AsSigned(), 32) : bits <= kIntMax;
}

IntegerValue IntegerValue::Widened() const {
  return Converted(*this, 3, 64, isSigned);
}

bool ParseIntegerLiteral(std::string_view text, IntegerValue* value, std::uint8_t longWidth) {
  if (std::int32_t small = 0; ParseSmallDecimal(text, &small)) {
    *value = IntegerValue::OfInt(small);
    return true;
  }
  int base = 10;
  std::size_t at = 0;
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    at = 2;
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    at = 2;
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;  // its leading 0 is an octal digit
  }
  std::uint64_t n = 0;
  bool digits = base == 8;  // "0" alone is octal zero
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\'') {
      continue;
    }
    int digit = -1;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    }
    if (digit < 0) {
      break;
    }
    if (digit >= base || n > (~std::uint64_t{0} - static_cast<std::uint64_t>(digit)) /
                                 static_cast<std::uint64_t>(base)) {
      return false;
    }
    n = n * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    digits = true;
  }
  if (!digits) {
    return false;
  }
  bool isUnsigned = false;
  int longs = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if ((c == 'u' || c == 'U') && !isUnsigned) {
      isUnsigned = true;
    } else if ((c == 'l' || c == 'L') && longs == 0) {
      longs = at + 1 < text.size() && text[at + 1] == c ? 2 : 1;
      at += static_cast<std::size_t>(longs - 1);
    } else {
      return false;  // a size suffix, a float, a user-defined literal
    }
  }
  // The first type of the literal's list that holds the value.
  for (auto rank = static_cast<std::uint8_t>(longs + 1); rank <= 3; ++rank) {
    for (const bool isSigned : {true, false}) {
      if ((isSigned && isUnsigned) || (!isSigned && !isUnsigned && base == 10)) {
        continue;
      }
      if (n <= MaxOf(WidthOf(rank, longWidth), isSigned)) {
        *value = IntegerValue::OfType(n, rank, isSigned, longWidth);
        return true;
      }
    }
  }
  return false;
}

bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value,
                         std::uint8_t longWidth) {
  *value = previous;
  if (StepInt(value)) {
    return true;
  }
  if (previous.bits != MaxOf(previous.width, previous.isSigned)) {
    *value =
        IntegerValue::OfWidth(previous.bits + 1, previous.rank, previous.width, previous.isSigned);
    return true;
  }
  // previous + 1 does not fit the previous type: the next one that holds it.
  const std::uint64_t next =
      (previous.isSigned ? static_cast<std::uint64_t>(previous.AsSigned()) : previous.bits) + 1;
  for (std::uint8_t rank = previous.rank; rank <= 3; ++rank) {
    for (const bool isSigned : {true, false}) {
      const std::uint8_t width = WidthOf(rank, longWidth);
      if ((width > previous.width || (!isSigned && previous.isSigned && width == previous.width)) &&
          next <= MaxOf(width, isSigned)) {
        *value = IntegerValue::OfWidth(next, rank, width, isSigned);
        return true;
      }
    }
  }
  return false;
}

bool ParseCharacterLiteral(std::string_view text, IntegerValue* value) {
  if (text.size() < 3 || text.front() != '\'' || text.back() != '\'') {
    return false;
  }
  const std::string_view body = text.substr(1, text.size() - 2);
  if (body.size() == 1 && body[0] != '\\') {
    *value = IntegerValue::OfInt(static_cast<unsigned char>(body[0]));
    return true;
  }
  if (body.size() == 2 && body[0] == '\\') {
    static constexpr char kEscapes[][2] = {{'n', '\n'},  {'t', '\t'},  {'r', '\r'}, {'0', '\0'},
                                           {'\\', '\\'}, {'\'', '\''}, {'"', '"'},  {'a', '\a'},
                                           {'b', '\b'},  {'f', '\f'},  {'v', '\v'}};
    for (const auto& [written, meant] : kEscapes) {
      if (body[1] == written) {
        *value = IntegerValue::OfInt(static_cast<unsigned char>(meant));
        return true;
      }
    }
  }
  return false;
}

Evaluation ApplyUnary(char op, Evaluation operand, bool condition) {
  if (!operand.known) {
    return operand;
  }
  IntegerValue& v = operand.value;
  if (op == '!') {
    v = Promote(condition, IntegerValue::OfInt(v.bits == 0 ? 1 : 0));
  } else if (op == '~') {
    v = IntegerValue::OfWidth(~v.bits, v.rank, v.width, v.isSigned);
  } else if (op == '-') {
    if (v.isSigned && v.bits == MaxOf(v.width, true) + 1) {
      return {};  // the type's minimum negated overflows
    }
    v = IntegerValue::OfWidth(~v.bits + 1, v.rank, v.width, v.isSigned);
  }
  return operand;
}

namespace {

// "&&" and "||" in Kleene's logic: a known false (&&) or true (||) on either side decides.
Evaluation ApplyLogical(bool isAnd, const Evaluation& left, const Evaluation& right,
                        bool condition) {
  for (const Evaluation* side : {&left, &right}) {
    if (side->known && (side->value.bits != 0) != isAnd) {
      return {true, Promote(condition, IntegerValue::OfInt(isAnd ? 0 : 1))};
    }
  }
  if (!left.known || !right.known) {
    return {};
  }
  return {true, Promote(condition, IntegerValue::OfInt(isAnd ? 1 : 0))};
}

// "<<" and ">>": the result has the left operand's type; the count must lie within its width.
Evaluation ApplyShift(bool left, const IntegerValue& a, const IntegerValue& b) {
  const std::int64_t count = b.isSigned ? b.AsSigned() : static_cast<std::int64_t>(b.bits);
  if (b.bits > 63 || count < 0 || count >= a.width) {
    return {};
  }
  if (left) {
    // C++20 defines a signed left shift modulo 2^width, as the compilers compute it.
    return {true, IntegerValue::OfWidth(a.bits << count, a.rank, a.width, a.isSigned)};
  }
  return {true, a.isSigned
                    ? IntegerValue::OfWidth(static_cast<std::uint64_t>(a.AsSigned() >> count),
                                            a.rank, a.width, true)
                    : IntegerValue::OfWidth(a.bits >> count, a.rank, a.width, false)};
}

// Arithmetic in an unsigned type: modulo 2^width; a division by zero has no value.
Evaluation ApplyUnsigned(std::string_view o, const IntegerValue& a, const IntegerValue& b) {
  std::uint64_t r = 0;
  if (o == "+") {
    r = a.bits + b.bits;
  } else if (o == "-") {
    r = a.bits - b.bits;
  } else if (o == "*") {
    r = a.bits * b.bits;
  } else if (b.bits == 0) {
    return {};
  } else {
    r = o == "/" ? a.bits / b.bits : a.bits % b.bits;
  }
  return {true, IntegerValue::OfWidth(r, a.rank, a.width, false)};
}

// Arithmetic in a signed type: an overflow, or a division by zero, has no value.
Evaluation ApplySigned(std::string_view o, const IntegerValue& a, const IntegerValue& b) {
  const std::int64_t x = a.AsSigned();
  const std::int64_t y = b.AsSigned();
  // Signed overflow, in 64 bits or in the type, is no constant expression, and no value the check
  // can know.
  const auto result = [&a](std::int64_t r) -> Evaluation {
    if (!SignedFits(r, a.width)) {
      return {};
    }
    return {true, IntegerValue::OfWidth(static_cast<std::uint64_t>(r), a.rank, a.width, true)};
  };
  if (o == "+") {
    const bool overflow = (y > 0 && x > INT64_MAX - y) || (y < 0 && x < INT64_MIN - y);
    return overflow ? Evaluation{} : result(x + y);
  }
  if (o == "-") {
    const bool overflow = (y < 0 && x > INT64_MAX + y) || (y > 0 && x < INT64_MIN + y);
    return overflow ? Evaluation{} : result(x - y);
  }
  if (o == "*") {
    const bool overflow = y != 0 && (x > 0 ? (y > 0 ? x > INT64_MAX / y : y < INT64_MIN / x)
                                           : (y > 0 ? x < INT64_MIN / y : x < INT64_MAX / y));
    return overflow ? Evaluation{} : result(x * y);
  }
  if (y == 0 || (x == INT64_MIN && y == -1)) {
    return {};
  }
  return result(o == "/" ? x / y : x % y);
}

}  // namespace

Evaluation ApplyBinary(std::string_view op, Evaluation left, Evaluation right, bool condition) {
  const std::string_view o(op);
  if (o == "&&" || o == "||") {
    return ApplyLogical(o == "&&", left, right, condition);
  }
  if (!left.known || !right.known) {
    return {};
  }
  IntegerValue a = left.value;
  IntegerValue b = right.value;
  if (o == "<<" || o == ">>") {
    return ApplyShift(o == "<<", a, b);
  }
  ToCommonType(&a, &b);
  if (o == "<" || o == ">" || o == "<=" || o == ">=" || o == "==" || o == "!=") {
    const bool less = a.isSigned ? a.AsSigned() < b.AsSigned() : a.bits < b.bits;
    const bool equal = a.bits == b.bits;
    const bool r = o == "<"    ? less
                   : o == ">"  ? !less && !equal
                   : o == "<=" ? less || equal
                   : o == ">=" ? !less
                   : o == "==" ? equal
                               : !equal;
    return {true, Promote(condition, IntegerValue::OfInt(r ? 1 : 0))};
  }
  if (o == "&" || o == "|" || o == "^") {
    const std::uint64_t r = o == "&"   ? a.bits & b.bits
                            : o == "|" ? a.bits | b.bits
                                       : a.bits ^ b.bits;
    return {true, IntegerValue::OfWidth(r, a.rank, a.width, a.isSigned)};
  }
  return a.isSigned ? ApplySigned(o, a, b) : ApplyUnsigned(o, a, b);
}

Evaluation Choose(const Evaluation& condition, Evaluation a, Evaluation b) {
  if (a.known && b.known) {
    ToCommonType(&a.value, &b.value);
  }
  if (!condition.known) {
    return a.known && b.known && a.value.bits == b.value.bits ? a : Evaluation{};
  }
  return condition.value.bits != 0 ? a : b;
}

}  // namespace protowrap::check
