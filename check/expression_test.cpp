// Tests of the integer evaluator against the values, types and conditions the compilers compute.
#include "check/expression.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace protowrap::check {
namespace {

// Macros by name: an object-like macro's replacement, "()" for a function-like one, "?" for one
// that may or may not be defined; names not listed are no macros.
struct Macros final : MacroLookup {
  std::map<std::string, std::string> defined;
  MacroMeaning Find(std::string_view name) const override {
    const auto it = defined.find(std::string(name));
    if (it == defined.end()) {
      return {MacroMeaning::Kind::kNone, {}};
    }
    if (it->second == "()") {
      return {MacroMeaning::Kind::kFunction, {}};
    }
    if (it->second == "?") {
      return {MacroMeaning::Kind::kUnknown, {}};
    }
    return {MacroMeaning::Kind::kObject, it->second};
  }
  // The width of this build's long: the tests compare with what its compiler computes.
  std::uint8_t LongWidth() const override { return longWidth; }
  std::uint8_t longWidth = sizeof(long) * 8;
};

Evaluation Evaluate(const std::string& expression, ExpressionUse use = ExpressionUse::kEnumerator,
                    const Macros& macros = Macros{}, std::int64_t budget = 1 << 20) {
  ExpansionBudget expansion(budget);
  ExpressionEvaluator evaluator(expansion);
  return evaluator.Evaluate(expression, use, macros);
}

bool EvaluateConstant(const std::string& expression, IntegerValue* value) {
  const Evaluation evaluation = Evaluate(expression);
  *value = evaluation.value;
  return evaluation.known;
}

// "fits", "too large" or "unknown", as an entry's value gets it.
const char* Judge(const char* expression) {
  IntegerValue value;
  if (!EvaluateConstant(expression, &value)) {
    return "unknown";
  }
  return value.FitsInInt() ? "fits" : "too large";
}

TEST(Expression, TypesDecideWhatFitsAnInt) {
  // Literals take the first type that holds them: hex literals go unsigned, decimal ones wider.
  EXPECT_STREQ("fits", Judge("0x7FFFFFFF"));
  EXPECT_STREQ("too large", Judge("0x80000000"));
  EXPECT_STREQ("too large", Judge("-0x80000000"));  // unsigned: still 2147483648
  EXPECT_STREQ("fits", Judge("-2147483647 - 1"));
  EXPECT_STREQ("too large", Judge("2147483648"));
  EXPECT_STREQ("fits", Judge("1 << 31"));  // int's minimum, as C++20 defines it
  EXPECT_STREQ("too large", Judge("1u << 31"));
  EXPECT_STREQ("too large", Judge("1LL << 40"));
  EXPECT_STREQ("fits", Judge("(1LL << 40) >> 20"));
  EXPECT_STREQ("too large", Judge("~0u"));
  EXPECT_STREQ("fits", Judge("~0"));
  EXPECT_STREQ("fits", Judge("0xFFFFFFFFu + 1"));  // unsigned arithmetic wraps to 0
  EXPECT_STREQ("fits", Judge("(9 << 8) | 1"));
  EXPECT_STREQ("fits", Judge("'x' + 1'000"));
  EXPECT_STREQ("fits", Judge("1 ,, 1 ? 5 : 0x80000000"));  // "==" as the rules wrote it
  // What the compiler rejects, or what the evaluator does not know, is unknown.
  EXPECT_STREQ("unknown", Judge("0x7FFFFFFF + 1"));  // signed overflow
  EXPECT_STREQ("unknown", Judge("1 << 32"));
  EXPECT_STREQ("unknown", Judge("1 / 0"));
  EXPECT_STREQ("unknown", Judge("kBase + 1"));
  EXPECT_STREQ("unknown", Judge("(1"));
  EXPECT_STREQ("unknown", Judge(std::string(100000, '(').c_str()));  // deeper than the limit
}

// What the compiler that builds this test computes for an expression, at compile time: its value
// (as an unsigned 64-bit pattern), and the signedness and size of its type after integral
// promotion (a bool or a char counts as the int it becomes in arithmetic). The evaluator must
// agree.
struct Computed {
  const char* text;
  unsigned long long bits;
  bool isSigned;
  std::size_t size;
};
template <typename Promoted, typename T>
Computed Compute(const char* text, T value) {
  return {text, static_cast<unsigned long long>(value), std::is_signed_v<Promoted>,
          sizeof(Promoted)};
}
#define COMPUTED(e) Compute<decltype(+(e))>(#e, (e))

// The short way to the usual value takes one to nine digits without a leading zero, and leaves
// every other text, and its value, to the general reader.
TEST(Expression, SmallDecimalsAreReadTheShortWayAndNothingElse) {
  const std::map<std::string, std::int32_t> taken = {
      {"7", 7}, {"10", 10}, {"90", 90}, {"123456789", 123456789}, {"999999999", 999999999}};
  for (const auto& [text, expected] : taken) {
    std::int32_t value = -1;
    EXPECT_TRUE(ParseSmallDecimal(text, &value)) << text;
    EXPECT_EQ(expected, value) << text;
  }
  for (const char* text : {"", "0", "010", "1234567890", "0x10", "12u", "1'000", "9a", "1/",
                           "1:", "/1", ":1", "-1", " 1"}) {
    std::int32_t value = -1;
    EXPECT_FALSE(ParseSmallDecimal(text, &value)) << text;
    EXPECT_EQ(-1, value) << text;
  }
}

TEST(Expression, OperatorsAndLiteralsComputeAsTheCompilerDoes) {
  const Computed cases[] = {
      COMPUTED(0b101),
      COMPUTED(017),
      COMPUTED(0),
      COMPUTED(10l + 5ll),
      COMPUTED(7 * 6),
      COMPUTED(0 * 0),
      COMPUTED(0 * -5),
      COMPUTED(-5 * 0),
      COMPUTED(1 * -1),
      COMPUTED(7 / 2),
      COMPUTED(-7 % 3),
      COMPUTED(5 - 9),
      COMPUTED(6 ^ 3),
      COMPUTED(6 & 3),
      COMPUTED(6 | 3),
      COMPUTED(1 && 0),
      COMPUTED(0 || 2),
      COMPUTED(!0),
      COMPUTED(+3),
      COMPUTED(-8 >> 1),
      COMPUTED(2 <= 2),
      COMPUTED(3 >= 4),
      COMPUTED(2 != 3),
      COMPUTED(2 == 2),
      COMPUTED(2 < 3),
      COMPUTED(2 > 3),
      COMPUTED(7u / 2u),
      COMPUTED(7u % 4u),
      COMPUTED(2u - 3u),
      COMPUTED(3u * 5u),
      COMPUTED(0u - 1 < 1),
      COMPUTED(1LL + 2147483647),
      COMPUTED(1ull - 2u),
      COMPUTED(0x100000000LL * 2 + 2147483647),
      COMPUTED('\n'),
      COMPUTED('\\'),
      COMPUTED(true + false),
      COMPUTED(0 ? 1u : 2),
      COMPUTED(8ul >> 1),
      COMPUTED(1'0 + 0x1'0),
      COMPUTED(~0u),
      COMPUTED(~0),
      COMPUTED(3 + 0u - 4),
      COMPUTED(1LL << 40),
      COMPUTED(0x80000000),
      COMPUTED(2147483648),
      COMPUTED(1 << 31),
      COMPUTED(1u << 31),
      COMPUTED(1ull << 63),
      COMPUTED(0xFFFFFFFFu + 1),
      COMPUTED(-0x80000000),
      COMPUTED(3000000000u * 3u),
      COMPUTED(-1L * 2),
      COMPUTED(0xFFFFFFFFFFFFFFFFull),
      COMPUTED((1LL << 40) >> 20),
      COMPUTED(1uL + 1Lu),
      COMPUTED(2147483647 + 1LL),
      COMPUTED(1u + 0xFFFFFFFFull),
      COMPUTED(0x7FFFFFFFFFFFFFFELL + 1),
      COMPUTED(-0x7FFFFFFFFFFFFFFFLL + -1),
      COMPUTED(0x7FFFFFFFFFFFFFFELL - -1),
      COMPUTED(-0x7FFFFFFFFFFFFFFFLL - 1),
      COMPUTED(0x3FFFFFFFFFFFFFFFLL * 2),
      COMPUTED(0x4000000000000000LL * -2),
      COMPUTED(-0x4000000000000000LL * 2),
      COMPUTED(-0x7FFFFFFFFFFFFFFFLL * -1),
      COMPUTED(-2147483647 - 1),
      COMPUTED(0x7FFFFFFFLL + 1),
      COMPUTED(1 ? 2u : 1),
      COMPUTED(5 % -3 + (-5 / 2)),
  };
  for (const Computed& c : cases) {
    // The expression as the rules leave it in an entry: each '=' became ','.
    std::string text = c.text;
    for (char& ch : text) {
      ch = ch == '=' ? ',' : ch;
    }
    const Evaluation e = Evaluate(text);
    ASSERT_TRUE(e.known) << c.text;
    const std::uint64_t mask =
        c.size == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * c.size)) - 1;
    EXPECT_EQ(c.bits & mask, e.value.bits) << c.text;
    EXPECT_EQ(c.isSigned, e.value.isSigned) << c.text;
    EXPECT_EQ(c.size * 8, e.value.width) << c.text;
  }
}

// Each binary operator binds at its own level: every expression here takes another value if one
// of its operators moved a level up or down (the values are the compiler's).
TEST(Expression, EachOperatorBindsAtItsOwnLevel) {
  const std::pair<const char*, std::uint64_t> cases[] = {
      {"1 || 0 && 0", 1}, {"0 && 0 | 1", 0},  {"1 | 0 ^ 1", 1},  {"1 ^ 0 & 0", 1},
      {"0 & 0 == 0", 0},  {"0 == 0 < 0", 1},  {"0 & 0 != 1", 0}, {"0 == 0 != 2", 1},
      {"0 < 1 << 1", 1},  {"0 == 0 > 1", 1},  {"0 < 2 > 1", 0},  {"0 == 0 <= 1", 0},
      {"0 < 2 <= 1", 1},  {"0 == 0 >= 0", 0}, {"0 < 2 >= 2", 0}, {"0 << 0 + 1", 0},
      {"0 < 2 >> 1", 1},  {"1 << 0 >> 1", 0}, {"1 + 0 * 0", 1},  {"0 << 1 - 1", 0},
      {"1 - 0 * 0", 1},   {"1 / 1 * 2", 2},   {"1 + 0 / 2", 1},  {"2 * 1 / 2", 1},
      {"1 + 0 % 1", 1},   {"2 * 1 % 2", 0},
  };
  for (const auto& [written, value] : cases) {
    std::string text = written;  // as the rules leave it in an entry: each '=' became ','
    for (char& ch : text) {
      ch = ch == '=' ? ',' : ch;
    }
    const Evaluation e = Evaluate(text);
    ASSERT_TRUE(e.known) << written;
    EXPECT_EQ(value, e.value.bits) << written;
  }
}

TEST(Expression, WhatTheCompilerRejectsOrTheCheckDoesNotKnowIsUnknown) {
  for (const char* text : {"09",
                           "0x",
                           "''",
                           "1 +\n//#ifdef X\n2\n//#endif\n",
                           "1.5",
                           "1z",
                           "2u / 0u",
                           "3u % 0u",
                           "0x7FFFFFFFFFFFFFFFll * 2",
                           "-0x7FFFFFFFFFFFFFFFll - 2",
                           "0x7FFFFFFFFFFFFFFFll + 1",
                           "-0x7FFFFFFFFFFFFFFFll - 1 - 1",
                           "0x7FFFFFFFFFFFFFFFll - -1",
                           "0x4000000000000000ll * 2",
                           "-0x4000000000000000ll * -2",
                           "-(-2147483647 - 1)",
                           "'ab'",
                           "'\\'",
                           "'\\q'",
                           "1 ? 2",
                           "99999999999999999999",
                           "1 << -1",
                           "sizeof(int)",
                           "1 << 32",
                           "0x7FFFFFFF + 1"}) {
    EXPECT_FALSE(Evaluate(text).known) << text;
  }
  // Nesting deeper than the evaluator follows is unknown; a little less is computed.
  for (const std::string op : {"-", "~", "!", "1 + (", "(1 ? 1 : "}) {
    std::string deep = "0";
    std::string shallow = "0";
    for (int i = 0; i < 300; ++i) {
      deep = op + deep + (op.size() > 1 ? ")" : "");
      if (i < 20) {
        shallow = op + shallow + (op.size() > 1 ? ")" : "");
      }
    }
    EXPECT_FALSE(Evaluate(deep).known) << op;
    EXPECT_TRUE(Evaluate(shallow).known) << op;
  }
  // The limit is 64 levels of the grammar: the whole expression is one, each unary operator
  // another, so 63 of them are followed and 64 are not.
  const Evaluation deepest = Evaluate(std::string(63, '~') + "0");
  EXPECT_TRUE(deepest.known);
  EXPECT_EQ(-1, deepest.value.AsSigned());
  EXPECT_FALSE(Evaluate(std::string(64, '~') + "0").known);
  // The limit is on nesting, not on length: a sum of 100 negated terms is computed.
  std::string sum = "-1";
  for (int i = 1; i < 100; ++i) {
    sum += " + -1";
  }
  EXPECT_EQ(-100, Evaluate(sum).value.AsSigned());
  // ... and so is each parenthesis.
  EXPECT_EQ(7, Evaluate(std::string(63, '(') + "7" + std::string(63, ')')).value.AsSigned());
  EXPECT_FALSE(Evaluate(std::string(64, '(') + "7" + std::string(64, ')')).known);
}

// long beside unsigned int: long where it is wider (Linux), unsigned long where both have 32 bits
// (Windows).
TEST(Expression, LongBesideUnsignedIntByTheTargetsWidth) {
  Macros wide;
  wide.longWidth = 64;
  Macros narrow;
  narrow.longWidth = 32;
  for (const auto& [text, onLinux, onWindows] :
       {std::tuple{"-1L < 1u", 1u, 0u}, std::tuple{"1u > -1L", 1u, 0u},
        std::tuple{"-1L < 1", 1u, 1u}}) {
    const Evaluation l = Evaluate(text, ExpressionUse::kEnumerator, wide);
    const Evaluation w = Evaluate(text, ExpressionUse::kEnumerator, narrow);
    ASSERT_TRUE(l.known && w.known) << text;
    EXPECT_EQ(onLinux, l.value.bits) << text;
    EXPECT_EQ(onWindows, w.value.bits) << text;
  }
}

TEST(Expression, TheNextEnumeratorWidensWhenItMust) {
  IntegerValue value;
  ASSERT_TRUE(EvaluateConstant("0x7FFFFFFF", &value));
  IntegerValue next;
  ASSERT_TRUE(NextEnumeratorValue(value, &next, 64));
  EXPECT_FALSE(next.FitsInInt());
  ASSERT_TRUE(EvaluateConstant("-2", &value));
  ASSERT_TRUE(NextEnumeratorValue(value, &next, 64));
  ASSERT_TRUE(NextEnumeratorValue(next, &next, 64));
  EXPECT_TRUE(next.FitsInInt());
  EXPECT_EQ(0u, next.bits);
  ASSERT_TRUE(EvaluateConstant("0xFFFFFFFFFFFFFFFF", &value));
  EXPECT_FALSE(NextEnumeratorValue(value, &next, 64));
  // After unsigned int's largest value: a long where long has 64 bits, else a long long.
  ASSERT_TRUE(EvaluateConstant("0xFFFFFFFFu", &value));
  ASSERT_TRUE(NextEnumeratorValue(value, &next, 64));
  EXPECT_EQ(0x100000000u, next.bits);
  EXPECT_EQ(2, next.rank);
  ASSERT_TRUE(NextEnumeratorValue(value, &next, 32));
  EXPECT_EQ(0x100000000u, next.bits);
  EXPECT_EQ(3, next.rank);
}

// A condition's truth: "1", "0" or "?".
std::string Condition(const std::string& expression, const Macros& macros = Macros{},
                      std::int64_t budget = 1 << 20) {
  const Evaluation e = Evaluate(expression, ExpressionUse::kCondition, macros, budget);
  return !e.known ? "?" : e.value.bits != 0 ? "1" : "0";
}

TEST(Expression, ConditionsAsThePreprocessorEvaluatesThem) {
  Macros macros;
  macros.defined = {{"VERSION", "3"},      {"NEXT", "(VERSION + 1)"},
                    {"SELF", "SELF + 1"},  {"EMPTY", ""},
                    {"F", "()"},           {"MAYBE", "?"},
                    {"BIG", "0x80000000"}, {"AROUND", "BACK"},
                    {"BACK", "AROUND + 2"}};
  const char* const kCases[][2] = {
      // defined, with or without parentheses; names that are no macros are 0.
      {"1", "defined VERSION && defined(EMPTY) && !defined(NOPE)"},
      {"1", "NOPE == 0 && VERSION >= 3 && NEXT == 4"},
      // Shifts bind tighter than comparisons, and those than equality.
      {"1", "3 < 1 << 2"},
      {"1", "1 << 2 > 3"},
      {"0", "2 == 2 < 1"},
      // Arithmetic in intmax_t: what overflows an int in a value is fine here.
      {"1", "BIG > 0 && 0xFFFFFFFF + 1 == 0x100000000"},
      // Three values: a known false (&&) or true (||) decides whatever the other side is.
      {"0", "MAYBE && 0"},
      {"1", "defined(MAYBE) || 1"},
      {"?", "MAYBE || 0"},
      {"?", "defined(MAYBE)"},
      {"0", "0 && (1 / 0)"},  // the dead side is not evaluated
      {"?", "MAYBE ? 1 : 0"},
      {"1", "MAYBE ? 1 : 1"},
      {"1", "VERSION == 3 ? NEXT : F(1)"},
      // A macro inside its own replacement, directly or through another, stays a name: 0.
      {"1", "SELF > 0 && SELF - 1 == 0"},
      {"1", "AROUND == 2"},
      // What the check cannot know: a function-like macro, a division by zero, text that is no
      // expression.
      {"?", "F(2) > 1"},
      {"?", "u'a' == 97"},  // a character literal with a prefix: not read
      // A signed operand beside an unsigned one is converted to it, on either side.
      {"0", "1u > -1"},
      {"0", "-1 < 1u"},
      {"1", "2u * -1 > 0"},
      {"1", "-1 > 0u"},
      {"1", "F((1), (2)) || 1"},  // its arguments, parentheses and all, skipped
      {"?", "1 / 0"},
      {"?", "1 +"},
      {"?", "EMPTY"},
      // No expression at all, which no compiler accepts, whatever the other side decides.
      {"?", "defined("},
      {"?", "defined(1)"},
      {"?", "defined(VERSION"},
      {"?", "defined"},
      {"?", "1 || (1 ? 2)"},
      {"?", "0 && (1 ? 2 :)"},
      {"?", "F(1"},
      {"1", "(defined VERSION)"},
      // "==" and "!=" as the rules wrote them, with a ',' for '='.
      {"1", "VERSION ,, 3 && VERSION !, 4"},
  };
  for (const auto& [truth, expression] : kCases) {
    EXPECT_EQ(truth, Condition(expression, macros)) << expression;
  }
  // A budget too small for the replacement: unknown rather than read. Each replacement costs its
  // bytes and one more (an empty macro is not free): NEXT's 13 and VERSION's 1 need 16, exactly.
  EXPECT_EQ("?", Condition("NEXT == 4", macros, 4));
  EXPECT_EQ("1", Condition("NEXT == 4", macros, 16));
  EXPECT_EQ("?", Condition("NEXT == 4", macros, 15));
  EXPECT_EQ("?", Condition("EMPTY 1", macros, 0));
  EXPECT_EQ("1", Condition("EMPTY 1", macros, 1));
  // Macros replaced inside macros are followed seven deep (the expression and seven replacements
  // are eight frames); one more is unknown.
  Macros chain;
  for (int count = 2; count <= 9; ++count) {  // A1 to A<count>, the last of them "1"
    chain.defined["A" + std::to_string(count - 1)] = "(A" + std::to_string(count) + ")";
    chain.defined["A" + std::to_string(count)] = "1";
    EXPECT_EQ(count <= 7 ? "1" : "?", Condition("A1 == 1", chain)) << count;
  }
}

TEST(Expression, MacrosThatMultiplyStayWithinTheBudget) {
  // Each macro is two of the next: 2^40 tokens if read whole.
  Macros macros;
  const auto name = [](int i) {
    std::string text = "M";
    text += std::to_string(i);
    return text;
  };
  for (int i = 0; i < 40; ++i) {
    std::string twice = "(";
    twice += name(i + 1);
    twice += " + ";
    twice += name(i + 1);
    twice += ")";
    macros.defined[name(i)] = twice;
  }
  macros.defined[name(40)] = "1";
  EXPECT_EQ("?", Condition("M0 > 0", macros, 100000));
}

TEST(Expression, TheHeaderTextOfWhatTheRulesRewrote) {
  std::string scratch;
  EXPECT_EQ("defined(CG_X) && _PROTOCOL_H",
            HeaderTextOf("defined(MAKE_PROTOCOL_INFO(CG_X) && _PROTOCOL[] = _H", &scratch));
  EXPECT_EQ("a  b #x", HeaderTextOf("a \\\n b //#x", &scratch));
  EXPECT_EQ("plain", HeaderTextOf("plain", &scratch));
}

}  // namespace
}  // namespace protowrap::check
