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
  // 20 MB of the check's dearest input, with no more than another 10 MB to spare.
  const std::string text = testing::CostlyWrapHeader(20u << 20);
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
