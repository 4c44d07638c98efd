// Tests that the check reads the usual entries its fast ways: a fast way that gives up early
// finds the same warnings, only slower, so what it read is counted.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "check/header_check.h"
#include "check/warning_report.h"

namespace protowrap::check {
namespace {

// What the check read its fast ways in `wrap`, a wrap header, and how many warnings it gave.
struct Read {
  std::int64_t plainEntries;
  std::int64_t plainValues;
  std::int64_t warnings;
  std::int64_t shortcutValues = 0;
  std::int64_t sharedConditions = 0;
};
Read Check(const std::string& wrap) {
  FastPathCounts counts;
  CheckOptions options;
  options.fastPaths = &counts;
  WarningReport report(0);
  EXPECT_TRUE(
      CheckWrapHeader(wrap.c_str(), static_cast<std::int32_t>(wrap.size()), &report, options));
  return {counts.plainEntries, counts.plainValues, report.Count(), counts.shortcutValues,
          counts.sharedConditions};
}

// A table of the lines `entries`, as the rules write one for a header with CR LF line ends.
std::string Table(const std::string& entries) {
  return "PROTOCOL_STRUCT sCG_LOGIN_PROTOCOL[] = \r\n{\r\n" + entries +
         "MAKE_PROTOCOL_INFO_EOR() };\r\n";
}

TEST(FastPaths, ThePlainEntriesOfATableAreReadFromTheTextAndNumberedWithoutExpressions) {
  struct Case {
    std::string entries;
    Read read;
  };
  for (const Case& c : std::initializer_list<Case>{
           // A small decimal value, and the next one without: both read and numbered the fast
           // ways, through blanks, line ends and line comments.
           {"\tMAKE_PROTOCOL_INFO(CG_LOGIN , 10), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_LOGOUT),  // bye\r\n"
            "\r\n// pings\r\n"
            "  MAKE_PROTOCOL_INFO(CG_PING , 123456789), MAKE_PROTOCOL_INFO(CG_PONG), \r\n",
            {4, 4, 0, 4}},
           // Other values are read the fast way too: a number of any form (hexadecimal, ten
           // digits, a leading zero) is numbered without evaluation, a name by evaluation; after
           // a name's value the next enumerator's is unknown, and the fast ways take up again
           // at the next number.
           {"\tMAKE_PROTOCOL_INFO(CG_A , 0x20), \r\n\tMAKE_PROTOCOL_INFO(CG_B), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_C , 1000000000), \r\n\tMAKE_PROTOCOL_INFO(CG_D , 010), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_E , CG_A), \r\n\tMAKE_PROTOCOL_INFO(CG_F), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_G , 7), \r\n\tMAKE_PROTOCOL_INFO(CG_H), \r\n",
            {8, 7, 0, 3}},
           // An expression, a block comment, a continued line comment and a commented directive
           // are read token by token; the entries after each are read the fast way again. Only
           // the expression is evaluated.
           {"\tMAKE_PROTOCOL_INFO(CG_A , (1 << 3)), \r\n\tMAKE_PROTOCOL_INFO(CG_B), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_C), /* c */\r\n\tMAKE_PROTOCOL_INFO(CG_D), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_E), // e \\\r\n\r\n\tMAKE_PROTOCOL_INFO(CG_F), \r\n"
            "//#pragma once\r\n\tMAKE_PROTOCOL_INFO(CG_G), \r\n",
            {4, 6, 0, 4}},
           // In a conditional block an entry is read the fast way (but the first, which the
           // directive looked ahead at), and numbered by the configurations that compile it.
           {"\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n//#ifdef _DEBUG\r\n"
            "\tMAKE_PROTOCOL_INFO(CG_B), \r\n\tMAKE_PROTOCOL_INFO(CG_C , 5), \r\n//#endif\r\n",
            {2, 1, 1, 1}},
           // After an entry whose value is lost (its first argument is more than a name), a
           // number takes the fast ways up again.
           {"\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n\tMAKE_PROTOCOL_INFO(CG_B + 1), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_C , 5), \r\n\tMAKE_PROTOCOL_INFO(CG_D), \r\n",
            {3, 3, 1, 3}},
           // At int's maximum the next value takes a wider type (and is too large for the table).
           {"\tMAKE_PROTOCOL_INFO(CG_A , 2147483647), \r\n\tMAKE_PROTOCOL_INFO(CG_B), \r\n",
            {2, 2, 1, 0}},
       }) {
    const Read read = Check(Table(c.entries));
    EXPECT_EQ(c.read.plainEntries, read.plainEntries) << c.entries;
    EXPECT_EQ(c.read.plainValues, read.plainValues) << c.entries;
    EXPECT_EQ(c.read.warnings, read.warnings) << c.entries;
    EXPECT_EQ(c.read.shortcutValues, read.shortcutValues) << c.entries;
  }
  // A table whose numbering went apart in a conditional block leaves the next table to number the
  // fast way again, from its first value.
  const Read read =
      Check(Table("\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n//#ifdef _DEBUG\r\n"
                  "\tMAKE_PROTOCOL_INFO(CG_B), \r\n\tMAKE_PROTOCOL_INFO(CG_C), \r\n//#endif\r\n") +
            "PROTOCOL_STRUCT sCG_OTHER_PROTOCOL[] = \r\n{\r\n\tMAKE_PROTOCOL_INFO(CG_D , 1), \r\n"
            "\tMAKE_PROTOCOL_INFO(CG_E), \r\nMAKE_PROTOCOL_INFO_EOR() };\r\n");
  EXPECT_EQ(3, read.plainValues);
}

TEST(FastPaths, EntriesThatAreNotPlainAreLeftToTheTokens) {
  // A splice in a name, a blank out of its place, a blank missing, and the end of the text right
  // after an entry's name or value.
  // (Their numbers are still numbered without evaluation.)
  for (const std::string entries : {
           "\tMAKE_PROTOCOL_INFO(CG_\\\r\nA), \r\n",
           "\tMAKE_PROTOCOL_INFO(CG_A , 1) , \r\n",
           "\tMAKE_PROTOCOL_INFO(CG_A ,1), \r\n",
           "\tMAKE_PROTOCOL_INFO( CG_A), \r\n",
       }) {
    EXPECT_EQ(0, Check(Table(entries)).plainEntries) << entries;
  }
  EXPECT_EQ(1, Check(Table("\tMAKE_PROTOCOL_INFO(CG_A ,1), \r\n")).plainValues);
  const std::string head = "PROTOCOL_STRUCT sCG_A_PROTOCOL[] = {";
  EXPECT_EQ(0, Check(head + "MAKE_PROTOCOL_INFO(CG_A").plainEntries);
  EXPECT_EQ(0, Check(head + "MAKE_PROTOCOL_INFO(CG_A)").plainEntries);
  EXPECT_EQ(0, Check(head + "MAKE_PROTOCOL_INFO(CG_A , 1)").plainEntries);
  // Unless the caller turns the fast way off (as the fuzz target does, to compare the two).
  CheckOptions slow;
  slow.plainEntries = false;
  FastPathCounts counts;
  slow.fastPaths = &counts;
  WarningReport report(0);
  const std::string plain = Table("\tMAKE_PROTOCOL_INFO(CG_A), \r\n");
  EXPECT_TRUE(
      CheckWrapHeader(plain.c_str(), static_cast<std::int32_t>(plain.size()), &report, slow));
  EXPECT_EQ(0, counts.plainEntries);
  EXPECT_EQ(1, Check(plain).plainEntries);
  // An entry that the text ends right after is read the fast way.
  EXPECT_EQ(1, Check(head + "MAKE_PROTOCOL_INFO(CG_A), ").plainEntries);
  EXPECT_EQ(1, Check(head + "MAKE_PROTOCOL_INFO(CG_A , 1),").plainEntries);
}

TEST(FastPaths, AConditionOfNamesTheSameEverywhereIsEvaluatedOnce) {
  struct Case {
    const char* directives;
    std::int64_t shared;
  };
  for (const Case& c : std::initializer_list<Case>{
           // Numbers, a function-like macro of the header's own, and a name that both targets may
           // or may not define alike.
           {"//#if 1 + 2 > 2\r\n//#endif\r\n", 1},
           {"//#define TWICE(x) ((x) * 2)\r\n//#if TWICE(2) == 4\r\n//#endif\r\n", 1},
           {"//#if defined(_REENTRANT) || 1\r\n//#endif\r\n", 1},
           // Each configuration for itself: a name one target predefines and the other does not,
           // or the two otherwise; a switch of the header's; an object macro, though the same in
           // all; Debug's own names.
           {"//#if defined(_REENTRANT) && defined(_WIN32)\r\n//#endif\r\n", 0},
           {"//#if defined(_WIN32) && defined(_REENTRANT)\r\n//#endif\r\n", 0},
           {"//#if defined(__ATOMIC_ACQUIRE)\r\n//#endif\r\n", 0},
           {"//#if PROTOCOL_FEATURE\r\n//#endif\r\n", 0},
           {"//#if __STDC_HOSTED__\r\n//#endif\r\n", 0},
           {"//#define LEVEL 3\r\n//#if LEVEL > 2\r\n//#endif\r\n", 0},
           {"//#if defined(_DEBUG) || 1\r\n//#endif\r\n", 0},
       }) {
    EXPECT_EQ(c.shared,
              Check(c.directives + Table("\tMAKE_PROTOCOL_INFO(CG_A), \r\n")).sharedConditions)
        << c.directives;
  }
}

}  // namespace
}  // namespace protowrap::check
