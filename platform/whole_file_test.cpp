// Tests of reading a whole file through a FileSystem: the terminated block, or why there is none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "tests/fakes.h"

namespace protowrap::platform {
namespace {

using testing::FakeFileSystem;
using testing::Op;

TEST(WholeFile, ReadsTheFileWholeOrSaysWhyNot) {
  struct Case {
    std::set<Op> failing;
    std::uint64_t maxSize;
    ReadFailure why;
  };
  // Each failure names its own cause, whatever the caller held before.
  for (const Case& c : {Case{{Op::kOpen}, 100, ReadFailure::kCannotOpen},
                        Case{{Op::kSize}, 100, ReadFailure::kCannotRead},
                        Case{{Op::kRead}, 100, ReadFailure::kCannotRead},
                        Case{{Op::kShortRead}, 100, ReadFailure::kCannotRead},
                        Case{{}, 4, ReadFailure::kTooLarge}}) {
    for (const ReadFailure before : {ReadFailure::kCannotOpen, ReadFailure::kCannotRead,
                                     ReadFailure::kTooLarge, ReadFailure::kNoMemory}) {
      if (before == c.why) {
        continue;
      }
      FakeFileSystem files;
      files.files["in.h"] = "hello";
      files.failing = c.failing;
      std::uint64_t size = 0;
      ReadFailure why = before;
      EXPECT_EQ(nullptr, ReadWholeFile(files, "in.h", c.maxSize, &size, &why));
      EXPECT_EQ(c.why, why) << static_cast<int>(c.why);
    }
  }
  // A file of exactly the largest size: its bytes and a NUL after them.
  FakeFileSystem files;
  files.files["in.h"] = "hello";
  std::uint64_t size = 0;
  ReadFailure why = ReadFailure::kNoMemory;
  char* text = ReadWholeFile(files, "in.h", 5, &size, &why);
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(5u, size);
  EXPECT_EQ(std::string("hello", 6), std::string(text, 6));
  std::free(text);
}

}  // namespace
}  // namespace protowrap::platform
