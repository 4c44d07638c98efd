// What the header check does when memory runs out, in a child process under an address-space
// limit.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/limited_child.h"
#include "wrap/check/header_check.h"
#include "wrap/check/warning_report.h"

namespace protowrap::check {
namespace {

using HeaderCheckMemoryTest = testing::MemoryLimitTest;

// The address space this process takes now, in bytes (Linux), or 0 when unknown.
rlim_t AddressSpaceNow() {
  std::ifstream status("/proc/self/status");
  std::string field;
  rlim_t kilobytes = 0;
  while (status >> field) {
    if (field == "VmSize:" && status >> kilobytes) {
      return kilobytes * 1024;
    }
  }
  return 0;
}

TEST_F(HeaderCheckMemoryTest, ACheckWithoutMemorySaysSoInsteadOfPassingTheHeader) {
  // Enumerators inside a conditional block are the check's dearest input: it keeps each one's
  // name. 20 MB of them, with no more than another 20 MB to spare.
  std::string text = "PROTOCOL_STRUCT sCG_X_PROTOCOL[] = {\n//#ifdef _DEBUG\n";
  for (int i = 0; text.size() < (20u << 20); ++i) {
    text += "MAKE_PROTOCOL_INFO(CG_A" + std::to_string(i) + "), ";
  }
  text += "\n//#endif\nMAKE_PROTOCOL_INFO_EOR() };\n";
  const rlim_t now = AddressSpaceNow();
  if (now == 0) {
    GTEST_SKIP() << "no /proc/self/status to measure the address space by";
  }
  const auto length = static_cast<std::int32_t>(text.size());
  EXPECT_EQ(0, testing::InLimitedChild(now + text.size(), [&] {
              WarningReport report(20);
              return CheckWrapHeader(text.c_str(), length, &report) ? 1 : 0;
            }));
  // With the memory it needs, the same header is checked, and warned about.
  WarningReport report(20);
  EXPECT_TRUE(CheckWrapHeader(text.c_str(), length, &report));
  EXPECT_EQ(1, report.Count());
}

}  // namespace
}  // namespace protowrap::check
