#include "check/expression.h"

#include <climits>
#include <cstring>

#include "check/lexer.h"

namespace protowrap::check {

namespace {

constexpr std::uint8_t kLongWidth = sizeof(long) * CHAR_BIT;  // 64 on Linux, 32 on Windows

std::uint8_t WidthOf(std::uint8_t rank) {
  return rank == 1 ? 32 : rank == 2 ? kLongWidth : 64;
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
  const auto max = static_cast<std::int64_t>(MaxOf(width, true));
  return n >= -max - 1 && n <= max;
}

// `v` converted to the type of `rank` and signedness.
IntegerValue Converted(const IntegerValue& v, std::uint8_t rank, bool isSigned) {
  return IntegerValue::OfType(v.isSigned ? static_cast<std::uint64_t>(v.AsSigned()) : v.bits, rank,
                              isSigned);
}

// The usual arithmetic conversions: both operands (at least int) to their common type.
void ToCommonType(IntegerValue* a, IntegerValue* b) {
  if (a->isSigned == b->isSigned) {
    const std::uint8_t rank = a->rank > b->rank ? a->rank : b->rank;
    *a = Converted(*a, rank, a->isSigned);
    *b = Converted(*b, rank, b->isSigned);
    return;
  }
  const IntegerValue& u = a->isSigned ? *b : *a;
  const IntegerValue& s = a->isSigned ? *a : *b;
  std::uint8_t rank = s.rank;
  bool isSigned = false;
  if (u.rank >= s.rank) {
    rank = u.rank;
  } else if (WidthOf(s.rank) > u.width) {
    isSigned = true;  // the signed type holds every value of the unsigned one
  }
  *a = Converted(*a, rank, isSigned);
  *b = Converted(*b, rank, isSigned);
}

// A character literal without prefix: its value as an int.
bool ParseCharacter(std::string_view text, IntegerValue* value) {
  if (text.size() < 3 || text.front() != '\'' || text.back() != '\'') {
    return false;
  }
  const std::string_view body = text.substr(1, text.size() - 2);
  if (body.size() == 1 && body[0] != '\\') {
    *value = IntegerValue::OfInt(static_cast<unsigned char>(body[0]));
    return true;
  }
  if (body.size() == 2 && body[0] == '\\') {
    static constexpr char kEscapes[] = "n\nt\tr\r0\0\\\\''\"\"a\ab\bf\fv\v";
    for (std::size_t e = 0; e + 1 < sizeof kEscapes; e += 2) {
      if (body[1] == kEscapes[e]) {
        *value = IntegerValue::OfInt(static_cast<unsigned char>(kEscapes[e + 1]));
        return true;
      }
    }
  }
  return false;
}

// Replaces every `from` in `text` by `to`, into `*out`.
void ReplaceInto(std::string_view text, std::string_view from, std::string_view to,
                 std::string* out) {
  out->clear();
  for (std::size_t at = 0;;) {
    const std::size_t hit = text.find(from, at);
    if (hit == std::string_view::npos) {
      out->append(text.substr(at));
      return;
    }
    out->append(text.substr(at, hit - at));
    out->append(to);
    at = hit + from.size();
  }
}

}  // namespace

IntegerValue IntegerValue::OfType(std::uint64_t bits, std::uint8_t rank, bool isSigned) {
  IntegerValue v;
  v.rank = rank;
  v.width = WidthOf(rank);
  v.isSigned = isSigned;
  v.bits = v.width == 64 ? bits : bits & ((std::uint64_t{1} << v.width) - 1);
  return v;
}

IntegerValue IntegerValue::OfInt(std::int64_t value) {
  return OfType(static_cast<std::uint64_t>(value), 1, true);
}

std::int64_t IntegerValue::AsSigned() const {
  if (width == 64) {
    return static_cast<std::int64_t>(bits);
  }
  const std::uint64_t sign = std::uint64_t{1} << (width - 1);
  return static_cast<std::int64_t>((bits ^ sign) - sign);
}

bool IntegerValue::FitsInInt() const {
  return isSigned ? SignedFits(AsSigned(), 32) : bits <= 0x7FFFFFFF;
}

std::string_view HeaderTextOf(std::string_view text, std::string* scratch) {
  static constexpr std::string_view kUndo[][2] = {
      {"MAKE_PROTOCOL_INFO(CG_", "CG_"}, {"MAKE_PROTOCOL_INFO(CW_", "CW_"},
      {"_PROTOCOL[] = ", "_PROTOCOL"},   {"MAKE_PROTOCOL_INFO_EOR() };", "};"},
      {"PROTOCOL_STRUCT s", "enum e"},   {"//#", "#"},
  };
  std::string other;
  std::string_view current = WithoutSplices(text, scratch);
  for (const auto& undo : kUndo) {
    if (current.find(undo[0]) != std::string_view::npos) {
      ReplaceInto(current, undo[0], undo[1], &other);
      scratch->swap(other);
      current = *scratch;
    }
  }
  return current;
}

// One expression's evaluation: its tokens, read through the macros it names, and the parse.
struct ExpressionEvaluator::Frame {
  std::string_view text;
  std::string_view macro;  // the macro this frame replaces, which does not expand again in it
  Lexer lexer{nullptr, 0};
};

class ExpressionEvaluator::Run {
 public:
  Run(ExpressionEvaluator& owner, std::string_view expression, ExpressionUse use,
      const MacroLookup& macros)
      : owner_(owner), use_(use), macros_(macros) {
    Push(expression, {}, false);
    Advance();
  }

  Evaluation Result() {
    const Evaluation value = Conditional();
    return token_.kind == Kind::kEnd ? value : Evaluation{};
  }

 private:
  static constexpr int kMaxFrames = 8;
  static constexpr int kMaxDepth = 64;

  enum class Kind : std::uint8_t { kEnd, kValue, kOperator, kName, kBad };

  // A token, taken out of its frame's text as it is read (frames end and lend their buffers).
  struct Item {
    Kind kind = Kind::kEnd;
    Evaluation value;  // kValue
    char op[4] = {};   // kOperator: up to three bytes
  };

  void Push(std::string_view text, std::string_view macro, bool headerText) {
    Frame& frame = frames_[depth_];
    std::string* scratch = &owner_.scratch_[depth_];
    if (headerText) {
      scratch->assign(text);  // the lookup's buffer serves the next lookup
      frame.text = *scratch;
    } else {
      frame.text = HeaderTextOf(text, scratch);
    }
    frame.macro = macro;
    frame.lexer = Lexer(frame.text.data(), static_cast<std::int32_t>(frame.text.size()));
    ++depth_;
  }

  bool Hidden(std::string_view name) const {
    for (int i = 0; i < depth_; ++i) {
      if (frames_[i].macro == name) {
        return true;
      }
    }
    return false;
  }

  // The next raw token of the innermost frame that has one; kEnd at the expression's end.
  Token Raw(Frame** from) {
    for (;;) {
      Frame& frame = frames_[depth_ - 1];
      const Token token = frame.lexer.Next();
      if (token.kind != TokenKind::kEnd || depth_ == 1) {
        *from = &frame;
        return token;
      }
      --depth_;
    }
  }

  static std::string_view TextOf(const Frame& frame, const Token& token) {
    return frame.text.substr(static_cast<std::size_t>(token.begin),
                             static_cast<std::size_t>(token.end - token.begin));
  }

  // Skips a parenthesized argument list in `frame`, whose '(' is next; false when it is not.
  static bool SkipArguments(Frame& frame) {
    const std::int32_t at = frame.lexer.Position();
    Token token = frame.lexer.Next();
    if (token.kind != TokenKind::kPunctuator ||
        frame.text[static_cast<std::size_t>(token.begin)] != '(') {
      frame.lexer.Seek(at);
      return false;
    }
    for (int depth = 1; depth > 0;) {
      token = frame.lexer.Next();
      if (token.kind == TokenKind::kEnd) {
        return true;
      }
      if (token.kind == TokenKind::kPunctuator) {
        const char c = frame.text[static_cast<std::size_t>(token.begin)];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
      }
    }
    return true;
  }

  static Item Of(Kind kind) {
    Item item;
    item.kind = kind;
    return item;
  }
  static Item Bad() { return Of(Kind::kBad); }
  static Item Expanded() { return Of(Kind::kName); }
  static Item Ended() { return Of(Kind::kEnd); }

  Item Unknown() {
    Item item;
    item.kind = Kind::kValue;
    return item;
  }

  Item Known(const IntegerValue& value) {
    Item item;
    item.kind = Kind::kValue;
    item.value = {true, value};
    return item;
  }

  // A name in a condition: "defined X", "defined(X)", a macro, or a name that is none.
  Item Defined(Frame& frame) {
    Token token = frame.lexer.Next();
    bool parenthesized = false;
    if (token.kind == TokenKind::kPunctuator &&
        frame.text[static_cast<std::size_t>(token.begin)] == '(') {
      parenthesized = true;
      token = frame.lexer.Next();
    }
    if (token.kind != TokenKind::kIdentifier) {
      return Bad();
    }
    std::string name;
    const std::string_view spelled = WithoutSplices(TextOf(frame, token), &name);
    const MacroMeaning meaning = macros_.Find(spelled);
    if (parenthesized) {
      token = frame.lexer.Next();
      if (token.kind != TokenKind::kPunctuator ||
          frame.text[static_cast<std::size_t>(token.begin)] != ')') {
        return Bad();
      }
    }
    if (meaning.kind == MacroMeaning::Kind::kUnknown) {
      return Unknown();
    }
    return Known(IntegerValue::OfInt(meaning.kind == MacroMeaning::Kind::kNone ? 0 : 1));
  }

  Item Name(Frame& frame, const Token& token) {
    std::string scratch;
    const std::string_view name = WithoutSplices(TextOf(frame, token), &scratch);
    if (name == "true" || name == "false") {
      return Known(IntegerValue::OfInt(name == "true" ? 1 : 0));
    }
    if (use_ == ExpressionUse::kCondition && name == "defined") {
      return Defined(frame);
    }
    if (Hidden(name)) {
      return Unknown();  // a macro inside its own replacement stays a name
    }
    const MacroMeaning meaning = macros_.Find(name);
    switch (meaning.kind) {
      case MacroMeaning::Kind::kObject:
        if (depth_ == kMaxFrames || !owner_.budget_.Spend(meaning.body.size())) {
          return Unknown();
        }
        Push(meaning.body, name.data() == scratch.data() ? std::string_view{} : name,
             meaning.headerText);
        return Expanded();  // read on in the replacement
      case MacroMeaning::Kind::kNone:
        if (use_ == ExpressionUse::kCondition && !SkipArguments(frame)) {
          return Known(IntegerValue::OfInt(0));  // a name that is no macro is 0 in a condition
        }
        return Unknown();  // a constant of the program, or F(x) with F no macro
      case MacroMeaning::Kind::kFunction:
      case MacroMeaning::Kind::kUnknown:
        SkipArguments(frame);
        return Unknown();
    }
    return Unknown();
  }

  // Reads the next token into token_, replacing macros on the way.
  void Advance() {
    for (;;) {
      Frame* frame = nullptr;
      const Token token = Raw(&frame);
      switch (token.kind) {
        case TokenKind::kEnd:
          token_ = Ended();
          return;
        case TokenKind::kNumber: {
          std::string scratch;
          IntegerValue value;
          token_ = ParseIntegerLiteral(WithoutSplices(TextOf(*frame, token), &scratch), &value)
                       ? Known(Promoted(value))
                       : Unknown();
          return;
        }
        case TokenKind::kLiteral: {
          IntegerValue value;
          token_ =
              ParseCharacter(TextOf(*frame, token), &value) ? Known(Promoted(value)) : Unknown();
          return;
        }
        case TokenKind::kIdentifier:
          token_ = Name(*frame, token);
          if (token_.kind == Kind::kName) {
            continue;
          }
          if (token_.value.known) {
            token_.value.value = Promoted(token_.value.value);
          }
          return;
        case TokenKind::kPunctuator:
          token_ = Operator(*frame, token);
          return;
        case TokenKind::kDirective:
        case TokenKind::kCommentedDirective:
          token_ = Bad();
          return;
      }
    }
  }

  // In a condition, every value is an intmax_t or a uintmax_t.
  IntegerValue Promoted(const IntegerValue& value) const {
    return use_ == ExpressionUse::kCondition ? Converted(value, 3, value.isSigned) : value;
  }

  // The operator at a punctuator: up to three that touch ("<<", ",," for "==" as the rules
  // wrote it, "<<,"...).
  static Item Operator(Frame& frame, const Token& token) {
    Item item;
    item.kind = Kind::kOperator;
    const auto at = static_cast<std::size_t>(token.begin);
    const char c = frame.text[at];
    item.op[0] = c;
    std::size_t length = 1;
    const auto next = [&](std::size_t i) {
      return at + i < frame.text.size() ? frame.text[at + i] : '\0';
    };
    if ((c == '<' || c == '>' || c == '&' || c == '|') && next(1) == c) {
      item.op[length++] = c;
    } else if ((c == '=' || c == '!' || c == ',') && (next(1) == ',' || next(1) == '=')) {
      item.op[0] = c == '!' ? '!' : '=';
      item.op[length++] = '=';
    } else if ((c == '<' || c == '>') && (next(1) == ',' || next(1) == '=')) {
      item.op[length++] = '=';
    }
    frame.lexer.Seek(token.begin + static_cast<std::int32_t>(length));
    return item;
  }

  bool Is(const char* op) const {
    return token_.kind == Kind::kOperator && std::strcmp(token_.op, op) == 0;
  }

  // ---- The grammar, by precedence climbing, depth-limited ----

  Evaluation Conditional() {
    if (++depth_of_recursion_ > kMaxDepth) {
      bad_ = true;
      return {};
    }
    Evaluation condition = Binary(0);
    if (Is("?")) {
      Advance();
      Evaluation a = Conditional();
      if (!Is(":")) {
        bad_ = true;
        return {};
      }
      Advance();
      Evaluation b = Conditional();
      condition = Choose(condition, a, b);
    }
    --depth_of_recursion_;
    return bad_ ? Evaluation{} : condition;
  }

  static Evaluation Choose(const Evaluation& condition, Evaluation a, Evaluation b) {
    if (a.known && b.known) {
      ToCommonType(&a.value, &b.value);
    }
    if (!condition.known) {
      return a.known && b.known && a.value.bits == b.value.bits ? a : Evaluation{};
    }
    return condition.value.bits != 0 ? a : b;
  }

  static int Precedence(const char* op) {
    static constexpr struct {
      const char* op;
      int level;
    } kLevels[] = {{"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4},  {"&", 5},  {"==", 6},
                   {"!=", 6}, {"<", 7},  {">", 7}, {"<=", 7}, {">=", 7}, {"<<", 8},
                   {">>", 8}, {"+", 9},  {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10}};
    for (const auto& level : kLevels) {
      if (std::strcmp(op, level.op) == 0) {
        return level.level;
      }
    }
    return 0;
  }

  Evaluation Binary(int above) {
    Evaluation left = Unary();
    for (;;) {
      if (token_.kind != Kind::kOperator) {
        return left;
      }
      char op[4];
      std::memcpy(op, token_.op, sizeof op);
      const int level = Precedence(op);
      if (level <= above) {
        return left;
      }
      Advance();
      if (++depth_of_recursion_ > kMaxDepth) {
        bad_ = true;
        return {};
      }
      const Evaluation right = Binary(level);
      --depth_of_recursion_;
      left = Apply(op, left, right);
    }
  }

  Evaluation Unary() {
    if (token_.kind == Kind::kOperator && (Is("+") || Is("-") || Is("~") || Is("!"))) {
      const char op = token_.op[0];
      Advance();
      if (++depth_of_recursion_ > kMaxDepth) {
        bad_ = true;
        return {};
      }
      Evaluation value = Unary();
      --depth_of_recursion_;
      if (!value.known) {
        return value;
      }
      IntegerValue& v = value.value;
      if (op == '!') {
        v = Promoted(IntegerValue::OfInt(v.bits == 0 ? 1 : 0));
      } else if (op == '~') {
        v = IntegerValue::OfType(~v.bits, v.rank, v.isSigned);
      } else if (op == '-') {
        if (v.isSigned && v.bits == MaxOf(v.width, true) + 1) {
          return {};  // the type's minimum negated overflows
        }
        v = IntegerValue::OfType(~v.bits + 1, v.rank, v.isSigned);
      }
      return value;
    }
    return Primary();
  }

  Evaluation Primary() {
    if (token_.kind == Kind::kValue) {
      const Evaluation value = token_.value;
      Advance();
      return value;
    }
    if (Is("(")) {
      Advance();
      const Evaluation value = Conditional();
      if (!Is(")")) {
        bad_ = true;
        return {};
      }
      Advance();
      return value;
    }
    bad_ = true;
    return {};
  }

  Evaluation Apply(const char* op, Evaluation left, Evaluation right) const {
    const std::string_view o(op);
    if (o == "&&" || o == "||") {
      // Kleene's logic: a known false (&&) or true (||) on either side decides.
      const bool isAnd = o == "&&";
      for (const Evaluation* side : {&left, &right}) {
        if (side->known && (side->value.bits != 0) != isAnd) {
          return {true, Promoted(IntegerValue::OfInt(isAnd ? 0 : 1))};
        }
      }
      if (!left.known || !right.known) {
        return {};
      }
      return {true, Promoted(IntegerValue::OfInt(isAnd ? 1 : 0))};
    }
    if (!left.known || !right.known) {
      return {};
    }
    IntegerValue a = left.value;
    IntegerValue b = right.value;
    if (o == "<<" || o == ">>") {
      // The result has the left operand's type; the count must lie within its width.
      const std::int64_t count = b.isSigned ? b.AsSigned() : static_cast<std::int64_t>(b.bits);
      if (b.bits > 63 || count < 0 || count >= a.width) {
        return {};
      }
      if (o == "<<") {
        // C++20 defines a signed left shift modulo 2^width, as the compilers compute it.
        return {true, IntegerValue::OfType(a.bits << count, a.rank, a.isSigned)};
      }
      return {true, a.isSigned
                        ? IntegerValue::OfType(static_cast<std::uint64_t>(a.AsSigned() >> count),
                                               a.rank, true)
                        : IntegerValue::OfType(a.bits >> count, a.rank, false)};
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
      return {true, Promoted(IntegerValue::OfInt(r ? 1 : 0))};
    }
    if (o == "&" || o == "|" || o == "^") {
      const std::uint64_t r = o == "&"   ? a.bits & b.bits
                              : o == "|" ? a.bits | b.bits
                                         : a.bits ^ b.bits;
      return {true, IntegerValue::OfType(r, a.rank, a.isSigned)};
    }
    if (!a.isSigned) {
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
      return {true, IntegerValue::OfType(r, a.rank, false)};
    }
    const std::int64_t x = a.AsSigned();
    const std::int64_t y = b.AsSigned();
    std::int64_t r = 0;
    bool overflow = false;
    if (o == "+") {
      overflow = (y > 0 && x > INT64_MAX - y) || (y < 0 && x < INT64_MIN - y);
      r = overflow ? 0 : x + y;
    } else if (o == "-") {
      overflow = (y < 0 && x > INT64_MAX + y) || (y > 0 && x < INT64_MIN + y);
      r = overflow ? 0 : x - y;
    } else if (o == "*") {
      overflow = x != 0 && y != 0 &&
                 ((x > 0 ? (y > 0 ? x > INT64_MAX / y : y < INT64_MIN / x)
                         : (y > 0 ? x < INT64_MIN / y : x < INT64_MAX / y)));
      r = overflow ? 0 : x * y;
    } else if (y == 0 || (x == INT64_MIN && y == -1)) {
      return {};
    } else {
      r = o == "/" ? x / y : x % y;
    }
    if (overflow || !SignedFits(r, a.width)) {
      return {};  // signed overflow: no constant expression, and no value the check can know
    }
    return {true, IntegerValue::OfType(static_cast<std::uint64_t>(r), a.rank, true)};
  }

  ExpressionEvaluator& owner_;
  ExpressionUse use_;
  const MacroLookup& macros_;
  Frame frames_[kMaxFrames];
  int depth_ = 0;  // frames in use
  int depth_of_recursion_ = 0;
  bool bad_ = false;
  Item token_;
};

Evaluation ExpressionEvaluator::Evaluate(std::string_view expression, ExpressionUse use,
                                         const MacroLookup& macros) {
  if (expression.size() > 0x7FFFFFFF) {
    return {};
  }
  Run run(*this, expression, use, macros);
  return run.Result();
}

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
      if (n <= MaxOf(WidthOf(rank), isSigned)) {
        *value = IntegerValue::OfType(n, rank, isSigned);
        return true;
      }
    }
  }
  return false;
}

bool NextEnumeratorValue(const IntegerValue& previous, IntegerValue* value) {
  if (previous.bits != MaxOf(previous.width, previous.isSigned)) {
    *value = IntegerValue::OfType(previous.bits + 1, previous.rank, previous.isSigned);
    return true;
  }
  // previous + 1 does not fit the previous type: the next one that holds it.
  const std::uint64_t next =
      (previous.isSigned ? static_cast<std::uint64_t>(previous.AsSigned()) : previous.bits) + 1;
  for (std::uint8_t rank = previous.rank; rank <= 3; ++rank) {
    for (const bool isSigned : {true, false}) {
      const std::uint8_t width = WidthOf(rank);
      if ((width > previous.width || (!isSigned && previous.isSigned && width == previous.width)) &&
          next <= MaxOf(width, isSigned)) {
        *value = IntegerValue::OfType(next, rank, isSigned);
        return true;
      }
    }
  }
  return false;
}

}  // namespace protowrap::check
