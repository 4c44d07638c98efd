#include "wrap/check/constant_value.h"

#include <climits>
#include <cstring>

#include "wrap/check/lexer.h"

namespace protowrap::check {

namespace {

constexpr std::uint8_t kLongWidth = sizeof(long) * CHAR_BIT;  // 64 on Linux, 32 on Windows

IntegerValue Make(std::uint64_t bits, std::uint8_t rank, bool isSigned) {
  IntegerValue v;
  v.rank = rank;
  v.width = rank == 1 ? 32 : rank == 2 ? kLongWidth : 64;
  v.isSigned = isSigned;
  v.bits = v.width == 64 ? bits : bits & ((std::uint64_t{1} << v.width) - 1);
  return v;
}

IntegerValue Int(std::int64_t value) {
  return Make(static_cast<std::uint64_t>(value), 1, true);
}

// The value as a signed 64-bit number (sign-extended); only for signed types.
std::int64_t Signed(const IntegerValue& v) {
  if (v.width == 64) {
    return static_cast<std::int64_t>(v.bits);
  }
  const std::uint64_t sign = std::uint64_t{1} << (v.width - 1);
  return static_cast<std::int64_t>((v.bits ^ sign) - sign);
}

std::uint64_t MaxOf(std::uint8_t width, bool isSigned) {
  const std::uint64_t all = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
  return isSigned ? all >> 1 : all;
}

// Whether the signed number `n` is representable in a signed type of `width` bits.
bool SignedFits(std::int64_t n, std::uint8_t width) {
  if (width == 64) {
    return true;
  }
  const std::int64_t max = static_cast<std::int64_t>(MaxOf(width, true));
  return n >= -max - 1 && n <= max;
}

// The usual arithmetic conversions: the common type of two operands (both at least int).
void Convert(IntegerValue* a, IntegerValue* b) {
  auto convert = [](const IntegerValue& v, std::uint8_t rank, bool isSigned) {
    IntegerValue r =
        Make(v.isSigned ? static_cast<std::uint64_t>(Signed(v)) : v.bits, rank, isSigned);
    return r;
  };
  if (a->isSigned == b->isSigned) {
    const std::uint8_t rank = a->rank > b->rank ? a->rank : b->rank;
    *a = convert(*a, rank, a->isSigned);
    *b = convert(*b, rank, a->isSigned);
    return;
  }
  IntegerValue* u = a->isSigned ? b : a;
  IntegerValue* s = a->isSigned ? a : b;
  std::uint8_t rank = 0;
  bool isSigned = false;
  if (u->rank >= s->rank) {
    rank = u->rank;
  } else if (Make(0, s->rank, true).width > u->width) {
    rank = s->rank;
    isSigned = true;
  } else {
    rank = s->rank;
  }
  *a = convert(*a, rank, isSigned);
  *b = convert(*b, rank, isSigned);
}

}  // namespace

bool ParseIntegerLiteral(std::string_view text, IntegerValue* value) {
  int base = 10;
  std::size_t at = 0;
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    at = 2;
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    at = 2;
  } else if (text.size() > 1 && text[0] == '0') {
    base = 8;
    at = 1;
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
    } else if ((c == 'l' || c == 'L') && longs < 2) {
      ++longs;
      if (at + 1 < text.size() && text[at + 1] == c && longs == 1) {
        ++longs;
        ++at;
      }
    } else {
      return false;  // a size suffix, a float, a user-defined literal
    }
  }
  // The first type of the literal's list that holds the value.
  for (std::uint8_t rank = static_cast<std::uint8_t>(longs + 1); rank <= 3; ++rank) {
    for (int pass = 0; pass < 2; ++pass) {
      const bool isSigned = pass == 0;
      if ((isSigned && isUnsigned) || (!isSigned && !isUnsigned && base == 10)) {
        continue;
      }
      if (n <= MaxOf(Make(0, rank, isSigned).width, isSigned)) {
        *value = Make(n, rank, isSigned);
        return true;
      }
    }
  }
  return false;
}

namespace {

// A character literal without prefix: its value as an int (a plain char holds one byte; its
// signedness does not matter for whether the value fits an int).
bool ParseCharacter(std::string_view text, IntegerValue* value) {
  if (text.size() < 3 || text.front() != '\'' || text.back() != '\'') {
    return false;
  }
  const std::string_view body = text.substr(1, text.size() - 2);
  if (body.size() == 1 && body[0] != '\\') {
    *value = Int(static_cast<unsigned char>(body[0]));
    return true;
  }
  if (body.size() == 2 && body[0] == '\\') {
    const char* kEscapes = "n\nt\tr\r0\0\\\\''\"\"a\ab\bf\fv\v??";
    for (const char* e = kEscapes; e[0] != '?'; e += 2) {
      if (body[1] == e[0]) {
        *value = Int(static_cast<unsigned char>(e[1]));
        return true;
      }
    }
  }
  return false;
}

// Recursive descent over the expression's tokens, with a depth limit so that no input can make it
// recurse without bound.
class Evaluator {
 public:
  explicit Evaluator(std::string_view text)
      : text_(text), lexer_(text.data(), static_cast<std::int32_t>(text.size())) {
    Advance();
  }

  bool Run(IntegerValue* value) {
    if (!Conditional(value)) {
      return false;
    }
    return token_.kind == TokenKind::kEnd;
  }

 private:
  static constexpr int kMaxDepth = 200;

  void Advance() { token_ = lexer_.Next(); }

  // The operator at the current token: up to three punctuators that touch ("<<", ",," for "==").
  std::string_view Operator() const {
    if (token_.kind != TokenKind::kPunctuator) {
      return {};
    }
    std::int32_t end = token_.end;
    const auto joins = [&](char c) {
      return end < static_cast<std::int32_t>(text_.size()) &&
             text_[static_cast<std::size_t>(end)] == c;
    };
    const char c = text_[static_cast<std::size_t>(token_.begin)];
    if ((c == '<' || c == '>' || c == '&' || c == '|') && joins(c)) {
      ++end;
    } else if ((c == '<' || c == '>' || c == '!' || c == ',') && joins(',')) {
      ++end;  // "<=" ">=" "!=" "==" as the rules wrote them
    }
    return text_.substr(static_cast<std::size_t>(token_.begin),
                        static_cast<std::size_t>(end - token_.begin));
  }

  void Skip(std::string_view op) {
    for (std::size_t i = 0; i < op.size(); ++i) {
      Advance();
    }
  }

  bool Conditional(IntegerValue* value) {
    if (++depth_ > kMaxDepth || !Binary(0, value)) {
      return false;
    }
    if (Operator() == "?") {
      Skip("?");
      IntegerValue a;
      IntegerValue b;
      if (!Conditional(&a) || Operator() != ":") {
        return false;
      }
      Skip(":");
      if (!Conditional(&b)) {
        return false;
      }
      Convert(&a, &b);
      *value = value->bits != 0 ? a : b;
    }
    --depth_;
    return true;
  }

  static int Precedence(std::string_view op) {
    static constexpr struct {
      const char* op;
      int level;
    } kLevels[] = {{"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4},  {"&", 5},  {",,", 6},
                   {"!,", 6}, {"<", 7},  {">", 7}, {"<,", 7}, {">,", 7}, {"<<", 8},
                   {">>", 8}, {"+", 9},  {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10}};
    for (const auto& level : kLevels) {
      if (op == level.op) {
        return level.level;
      }
    }
    return 0;
  }

  // Binary operators from precedence `above` + 1 up, left to right.
  bool Binary(int above, IntegerValue* value) {
    if (!Unary(value)) {
      return false;
    }
    for (;;) {
      const std::string_view op = Operator();
      const int level = Precedence(op);
      if (level <= above) {
        return true;
      }
      Skip(op);
      IntegerValue right;
      if (++depth_ > kMaxDepth || !Binary(level, &right)) {
        return false;
      }
      --depth_;
      if (!Apply(op, value, right)) {
        return false;
      }
    }
  }

  bool Unary(IntegerValue* value) {
    const std::string_view op = Operator();
    if (op == "+" || op == "-" || op == "~" || op == "!") {
      Skip(op);
      if (++depth_ > kMaxDepth || !Unary(value)) {
        return false;
      }
      --depth_;
      if (op == "!") {
        *value = Int(value->bits == 0 ? 1 : 0);
      } else if (op == "~") {
        *value = Make(~value->bits, value->rank, value->isSigned);
      } else if (op == "-") {
        if (value->isSigned && value->bits == (MaxOf(value->width, true) + 1)) {
          return false;  // the type's minimum negated overflows
        }
        *value = Make(~value->bits + 1, value->rank, value->isSigned);
      }
      return true;
    }
    return Primary(value);
  }

  bool Primary(IntegerValue* value) {
    const std::string_view text = lexer_.TextOf(token_);
    if (token_.kind == TokenKind::kNumber) {
      Advance();
      return ParseIntegerLiteral(text, value);
    }
    if (token_.kind == TokenKind::kLiteral) {
      Advance();
      return ParseCharacter(text, value);
    }
    if (token_.kind == TokenKind::kIdentifier && (text == "true" || text == "false")) {
      Advance();
      *value = Int(text == "true" ? 1 : 0);
      return true;
    }
    if (Operator() == "(") {
      Advance();
      if (!Conditional(value) || Operator() != ")") {
        return false;
      }
      Advance();
      return true;
    }
    return false;
  }

  static bool Apply(std::string_view op, IntegerValue* a, IntegerValue b) {
    if (op == "&&" || op == "||") {
      const bool r = op == "&&" ? (a->bits != 0 && b.bits != 0) : (a->bits != 0 || b.bits != 0);
      *a = Int(r ? 1 : 0);
      return true;
    }
    if (op == "<<" || op == ">>") {
      // The result has the left operand's type; the count must lie within its width.
      const std::int64_t count = b.isSigned ? Signed(b) : static_cast<std::int64_t>(b.bits);
      if (b.bits > 63 || count < 0 || count >= a->width) {
        return false;
      }
      if (op == "<<") {
        *a = Make(a->bits << count, a->rank, a->isSigned);
      } else if (a->isSigned) {
        *a = Make(static_cast<std::uint64_t>(Signed(*a) >> count), a->rank, true);
      } else {
        *a = Make(a->bits >> count, a->rank, false);
      }
      return true;
    }
    Convert(a, &b);
    if (op == "<" || op == ">" || op == "<," || op == ">," || op == ",," || op == "!,") {
      const bool less = a->isSigned ? Signed(*a) < Signed(b) : a->bits < b.bits;
      const bool equal = a->bits == b.bits;
      const bool r = op == "<"    ? less
                     : op == ">"  ? !less && !equal
                     : op == "<," ? less || equal
                     : op == ">," ? !less
                     : op == ",," ? equal
                                  : !equal;
      *a = Int(r ? 1 : 0);
      return true;
    }
    if (op == "&" || op == "|" || op == "^") {
      const std::uint64_t r = op == "&"   ? a->bits & b.bits
                              : op == "|" ? a->bits | b.bits
                                          : a->bits ^ b.bits;
      *a = Make(r, a->rank, a->isSigned);
      return true;
    }
    if (!a->isSigned) {
      std::uint64_t r = 0;
      if (op == "+") {
        r = a->bits + b.bits;
      } else if (op == "-") {
        r = a->bits - b.bits;
      } else if (op == "*") {
        r = a->bits * b.bits;
      } else if (b.bits == 0) {
        return false;
      } else {
        r = op == "/" ? a->bits / b.bits : a->bits % b.bits;
      }
      *a = Make(r, a->rank, false);
      return true;
    }
    const std::int64_t x = Signed(*a);
    const std::int64_t y = Signed(b);
    std::int64_t r = 0;
    bool overflow = false;
    if (op == "+") {
      overflow = (y > 0 && x > INT64_MAX - y) || (y < 0 && x < INT64_MIN - y);
      r = overflow ? 0 : x + y;
    } else if (op == "-") {
      overflow = (y < 0 && x > INT64_MAX + y) || (y > 0 && x < INT64_MIN + y);
      r = overflow ? 0 : x - y;
    } else if (op == "*") {
      overflow = x != 0 && y != 0 &&
                 ((x > 0 ? (y > 0 ? x > INT64_MAX / y : y < INT64_MIN / x)
                         : (y > 0 ? x < INT64_MIN / y : x < INT64_MAX / y)));
      r = overflow ? 0 : x * y;
    } else if (y == 0 || (x == INT64_MIN && y == -1)) {
      return false;
    } else {
      r = op == "/" ? x / y : x % y;
    }
    if (overflow || !SignedFits(r, a->width)) {
      return false;  // signed overflow: not a constant expression
    }
    *a = Make(static_cast<std::uint64_t>(r), a->rank, true);
    return true;
  }

  std::string_view text_;
  Lexer lexer_;
  Token token_;
  int depth_ = 0;
};

}  // namespace

bool IntegerValue::FitsInInt() const {
  if (isSigned) {
    return SignedFits(Signed(*this), 32);
  }
  return bits <= 0x7FFFFFFF;
}

bool EvaluateConstant(std::string_view expression, IntegerValue* value) {
  if (expression.size() > 0x7FFFFFFF) {
    return false;
  }
  return Evaluator(expression).Run(value);
}

bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value) {
  if (previous.bits != MaxOf(previous.width, previous.isSigned)) {
    *value = Make(previous.bits + 1, previous.rank, previous.isSigned);
    return true;
  }
  // previous + 1 does not fit the previous type: the next one that holds it.
  for (std::uint8_t rank = previous.rank; rank <= 3; ++rank) {
    for (const bool isSigned : {true, false}) {
      const IntegerValue wider = Make(0, rank, isSigned);
      if (wider.width > previous.width ||
          (!isSigned && previous.isSigned && wider.width == previous.width)) {
        const std::uint64_t next =
            (previous.isSigned ? static_cast<std::uint64_t>(Signed(previous)) : previous.bits) + 1;
        if (next <= MaxOf(wider.width, isSigned)) {
          *value = Make(next, rank, isSigned);
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace protowrap::check
