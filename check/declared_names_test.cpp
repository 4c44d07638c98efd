// Tests of which names a header declares where: every name is found exactly, however many share
// a slot of the table, and however alike they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "check/header_check.h"
#include "check/warning_report.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {
namespace {

// The warnings that the check gives on the wrap header that the rules make of `header`: its line
// and problem each.
using Lines = std::set<std::pair<std::int32_t, HeaderProblem>>;
Lines Warned(const std::string& header) {
  auto* input = static_cast<char*>(std::malloc(header.size() + 1));
  std::memcpy(input, header.c_str(), header.size() + 1);
  char* wrap = ApplyRewriteRules(input);
  EXPECT_NE(nullptr, wrap);
  if (wrap == nullptr) {
    return {};
  }
  WarningReport report(0);
  CheckOptions options;
  options.header = header.c_str();
  options.headerLength = static_cast<std::int32_t>(header.size());
  EXPECT_TRUE(
      CheckWrapHeader(wrap, static_cast<std::int32_t>(std::strlen(wrap)), &report, options));
  Lines found;
  for (const Warning& warning : report.InOrder()) {
    found.insert({1 + static_cast<std::int32_t>(std::count(wrap, wrap + warning.offset, '\n')),
                  warning.problem});
  }
  std::free(wrap);
  return found;
}

// 600 enumerators declared on Linux only, each in a block of its own (the check warns once per
// block), and 600 declared everywhere whose names begin with the Linux ones' ("CG_L7" and
// "CG_L7X"), in one enumeration. The table names them all in every build, so exactly the Linux
// ones fail on Windows (PW017): a name taken for another, in a table whose slots many names
// share, would drop a warning or add one.
TEST(DeclaredNames, EveryNameIsFoundExactly) {
  std::string header = "enum eCG_MANY_PROTOCOL {\n";
  std::set<std::int32_t> expected;
  std::int32_t line = 2;
  for (int i = 0; i < 600; ++i) {
    header += "#ifdef __linux__\n\tCG_L" + std::to_string(i) + ",\n#endif\n";
    expected.insert(line + 1);
    line += 3;
    header += "\tCG_L" + std::to_string(i) + (i % 2 == 0 ? "X" : "_X") + ",\n";
    line += 1;
  }
  header += "};\n";
  std::set<std::int32_t> lines;
  for (const auto& [at, problem] : Warned(header)) {
    EXPECT_EQ(HeaderProblem::kConditional, problem);
    lines.insert(at);
  }
  EXPECT_EQ(expected, lines);
}

// Names split by line splices, each way differently, are the names the compilers read: two
// branches that declare the same one make the table list it twice (PW025, at the second), and a
// name only one branch declares is missing in the other (PW017).
TEST(DeclaredNames, NamesSplitByLineSplicesAreReadWhole) {
  const std::string header =
      "enum eCG_SPLIT_PROTOCOL {\n"
      "#ifdef _WIN32\n"
      "\tCG_SPL\\\nIT_A,\n"
      "\tCG_SPLIT_W\\\nIN,\n"
      "#else\n"
      "\tCG_SPLIT_\\\nA,\n"
      "#endif\n"
      "\tCG_SPLIT_B,\n"
      "};\n";
  const Lines expected = {{5, HeaderProblem::kConditional}, {8, HeaderProblem::kListedTwice}};
  EXPECT_EQ(expected, Warned(header));
}

}  // namespace
}  // namespace protowrap::check
