// What a run says of a header that the check had no memory for, in a child process under an
// address-space limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/header_warnings.h"
#include "tests/fakes.h"
#include "tests/limited_child.h"

namespace protowrap::app {
namespace {

using HeaderWarningsMemoryTest = testing::MemoryLimitTest;

TEST_F(HeaderWarningsMemoryTest, AHeaderTheCheckHadNoMemoryForIsSaidToBeUncheckedAsAWhole) {
  // 20 MB of the check's dearest input, with no more than another 10 MB to spare.
  const std::string text = testing::CostlyWrapHeader(20u << 20);
  // The header it was made from begins so: the block is the header's, not a comment's.
  const std::string header = "enum eCG_X_PROTOCOL {\n#ifdef _DEBUG\n";
  testing::FakeFileSystem files;
  const int limited = testing::WithSpareAddressSpace(text.size() / 2, [&] {
    std::FILE* stream = std::tmpfile();
    HeaderWarnings warnings(files, WarningOptions{stream, DiagnosticForm::kGcc, 20});
    warnings.Inspect("in/cg.h", header.c_str(), static_cast<std::int32_t>(header.size()),
                     text.c_str(), static_cast<std::int32_t>(text.size()), false);
    const std::string said = testing::ReadBack(stream);
    // The file as a whole, without a line: no place in it is to blame.
    return said == "in/cg.h: warning: the header check could not run (out of memory), so this "
                   "header was not checked; its wrap header was written as always; run protowrap "
                   "again with more memory to check it [PW100]\n"
               ? 0
               : 1;
  });
  if (limited < 0) {
    GTEST_SKIP() << "no /proc/self/status to measure the address space by";
  }
  EXPECT_EQ(0, limited);
}

}  // namespace
}  // namespace protowrap::app
