#include "wrap/check/constant_value.h"

#include <gtest/gtest.h>

namespace protowrap::check {
namespace {

// "fits", "too large" or "unknown", as an entry's value gets it.
const char* Judge(const char* expression) {
  IntegerValue value;
  if (!EvaluateConstant(expression, &value)) {
    return "unknown";
  }
  return value.FitsInInt() ? "fits" : "too large";
}

TEST(ConstantValue, TypesDecideWhatFitsAnInt) {
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

// The value as a signed number, or -999 when unknown.
long long Value(const char* expression) {
  IntegerValue value;
  if (!EvaluateConstant(expression, &value)) {
    return -999;
  }
  if (!value.isSigned) {
    return static_cast<long long>(value.bits);
  }
  return value.width == 64 ? static_cast<long long>(value.bits)
                           : static_cast<long long>(static_cast<std::int32_t>(value.bits));
}

TEST(ConstantValue, OperatorsAndLiteralsComputeAsTheCompilerDoes) {
  const struct {
    const char* expression;
    long long value;
  } cases[] = {
      {"0b101", 5},
      {"017", 15},
      {"0", 0},
      {"10l + 5ll", 15},
      {"7 * 6", 42},
      {"7 / 2", 3},
      {"-7 % 3", -1},
      {"5 - 9", -4},
      {"6 ^ 3", 5},
      {"6 & 3", 2},
      {"6 | 3", 7},
      {"1 && 0", 0},
      {"0 || 2", 1},
      {"!0", 1},
      {"+3", 3},
      {"-8 >> 1", -4},
      {"2 <, 2", 1},
      {"3 >, 4", 0},
      {"2 !, 3", 1},
      {"2 < 3", 1},
      {"2 > 3", 0},
      {"7u / 2u", 3},
      {"7u % 4u", 3},
      {"2u - 3u", 4294967295LL},
      {"3u * 5u", 15},
      {"-1 < 0u", 0},
      {"'\\n'", 10},
      {"'\\\\'", 92},
      {"true + false", 1},
      {"0 ? 1u : 2", 2},
      {"8ul >> 1", 4},
      {"1'0 + 0x1'0", 26},
      {"0xFFFFFFFFFFFFFFFFull", -1},
      // What the compiler rejects or the check does not know.
      {"09", -999},
      {"1.5", -999},
      {"1z", -999},
      {"2u / 0u", -999},
      {"3u % 0u", -999},
      {"0x7FFFFFFFFFFFFFFFll * 2", -999},
      {"-0x7FFFFFFFFFFFFFFFll - 2", -999},
      {"-(-2147483647 - 1)", -999},
      {"'ab'", -999},
      {"1 ? 2", -999},
      {"99999999999999999999", -999},
      {"1 << -1", -999},
      {"sizeof(int)", -999},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value, Value(c.expression)) << c.expression;
  }
}

TEST(ConstantValue, TheNextEnumeratorWidensWhenItMust) {
  IntegerValue value;
  ASSERT_TRUE(EvaluateConstant("0x7FFFFFFF", &value));
  IntegerValue next;
  ASSERT_TRUE(NextEnumeratorValue(value, &next));
  EXPECT_FALSE(next.FitsInInt());
  ASSERT_TRUE(EvaluateConstant("-2", &value));
  ASSERT_TRUE(NextEnumeratorValue(value, &next));
  ASSERT_TRUE(NextEnumeratorValue(next, &next));
  EXPECT_TRUE(next.FitsInInt());
  EXPECT_EQ(0u, next.bits);
  ASSERT_TRUE(EvaluateConstant("0xFFFFFFFFFFFFFFFF", &value));
  EXPECT_FALSE(NextEnumeratorValue(value, &next));
  ASSERT_TRUE(EvaluateConstant("0xFFFFFFFFu", &value));
  ASSERT_TRUE(NextEnumeratorValue(value, &next));
  EXPECT_EQ(0x100000000u, next.bits);
}

}  // namespace
}  // namespace protowrap::check
