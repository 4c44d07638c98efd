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
}

}  // namespace
}  // namespace protowrap::check
