// What reading whole files holds on to when reads fail, in a child process under an address-space
// limit (POSIX).
#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "tests/fakes.h"
#include "tests/limited_child.h"

namespace protowrap::platform {
namespace {

using WholeFileMemoryTest = testing::MemoryLimitTest;

TEST_F(WholeFileMemoryTest, AFailedReadReleasesItsBlock) {
  // 64 reads of a 1 MiB file that fail after the block is taken, with 16 MiB to spare: a block
  // kept by each would run out.
  testing::FakeFileSystem files;
  files.files["in.h"] = std::string(1u << 20, 'x');
  files.failing = {testing::Op::kRead};
  const int limited = testing::WithSpareAddressSpace(16u << 20, [&] {
    for (int i = 0; i < 64; ++i) {
      std::uint64_t size = 0;
      ReadFailure why = ReadFailure::kTooLarge;
      if (ReadWholeFile(files, "in.h", 2u << 20, &size, &why) != nullptr ||
          why != ReadFailure::kCannotRead) {
        return 1;
      }
    }
    return 0;
  });
  if (limited < 0) {
    GTEST_SKIP() << "no /proc/self/status to measure the address space by";
  }
  EXPECT_EQ(0, limited);
}

}  // namespace
}  // namespace protowrap::platform
