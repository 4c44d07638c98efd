// What the header check does when memory runs out, in a child process under an address-space
// limit.
#include <gtest/gtest.h>

#include <string>

#include "check/header_check.h"
#include "check/warning_report.h"
#include "tests/limited_child.h"

namespace protowrap::check {
namespace {

using HeaderCheckMemoryTest = testing::MemoryLimitTest;

TEST_F(HeaderCheckMemoryTest, ACheckWithoutMemorySaysSoInsteadOfPassingTheHeader) {
  // Enumerators inside a conditional block are the check's dearest input: it keeps a place for
  // each, and a hash of each name. 20 MB of them, with no more than another 10 MB to spare.
  std::string text = "PROTOCOL_STRUCT sCG_X_PROTOCOL[] = {\n//#ifdef _DEBUG\n";
  for (int i = 0; text.size() < (20u << 20); ++i) {
    text += "MAKE_PROTOCOL_INFO(CG_A" + std::to_string(i) + "), ";
  }
  text += "\n//#endif\nMAKE_PROTOCOL_INFO_EOR() };\n";
  const auto length = static_cast<std::int32_t>(text.size());
  const int limited = testing::WithSpareAddressSpace(text.size() / 2, [&] {
    WarningReport report(20);
    return CheckWrapHeader(text.c_str(), length, &report) ? 1 : 0;
  });
  if (limited < 0) {
    GTEST_SKIP() << "no /proc/self/status to measure the address space by";
  }
  EXPECT_EQ(0, limited);
  // With the memory it needs, the same header is checked, and warned about.
  WarningReport report(20);
  EXPECT_TRUE(CheckWrapHeader(text.c_str(), length, &report));
  EXPECT_EQ(1, report.Count());
}

}  // namespace
}  // namespace protowrap::check
