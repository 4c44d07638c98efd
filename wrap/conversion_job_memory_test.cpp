// What a conversion job leaves on the heap: nothing, whether it completes, fails to write, or runs
// out of memory (glibc's count of the heap in use).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/fakes.h"
#include "tests/limited_child.h"
#include "wrap/conversion_job.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace protowrap {
namespace {

#if defined(__GLIBC__)

using testing::FakeConfiguration;
using testing::FakeFileSystem;
using testing::Op;

constexpr const ConversionJob& kCG = kConversionJobs[0];

// A layer above that looks at nothing: with it, the job keeps the header's own bytes for a check.
struct Kept final : WrittenHeader {
  void Inspect(const char*, const char*, std::int32_t, const char*, std::int32_t, bool) override {}
};

constexpr Op kFailingOutputs[] = {Op::kCreate, Op::kWrite, Op::kReplace};

// The heap in use, as glibc counts it, blocks of their own mapping too (a leak checker's view,
// without one). CTest runs the tests without glibc's thread cache, whose blocks it counts as in
// use.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

TEST(RunConversionMemory, AJobGivesBackAllItTook) {
  // Every path that holds the header's bytes for the layer above, or replaces them, frees them,
  // and so does every output that fails: a job leaves the heap as it found it (the first run pays
  // for what is made once).
  for (const char* input : {"enum eCG_A_PROTOCOL\n{\n\tCG_A = 1,\n};\n", "CG_A,", "\tno rule\n"}) {
    for (const Op* failing : {static_cast<const Op*>(nullptr), &kFailingOutputs[0],
                              &kFailingOutputs[1], &kFailingOutputs[2]}) {
      std::size_t before = 0;
      for (int run = 0; run < 2; ++run) {
        before = run == 1 ? HeapInUse() : before;
        FakeConfiguration config;
        FakeFileSystem files;
        config.values["CG_FILE_PATH"] = "cg.h";
        files.files["cg.h"] = input;
        if (failing != nullptr) {
          files.failing.insert(*failing);
        }
        Kept seen;
        std::FILE* console = std::tmpfile();
        std::setvbuf(console, nullptr, _IONBF, 0);
        EXPECT_EQ(failing == nullptr, RunConversion(kCG, config, files, console, &seen));
        EXPECT_EQ(failing == nullptr, RunConversion(kCG, config, files, console, nullptr));
        std::fclose(console);
      }
      EXPECT_EQ(before, HeapInUse()) << input;
    }
  }
}

using RunConversionMemoryLimit = testing::MemoryLimitTest;

TEST_F(RunConversionMemoryLimit, AJobWhoseRulesRunOutOfMemoryGivesBackTheHeadersBytes) {
  // 20 MiB of CG_, which the first rule would grow to 150 MB, with 64 MiB to spare: the job says
  // so, and the header's bytes (a block of its own mapping) are given back.
  std::string header;
  while (header.size() < (20u << 20)) {
    header += "CG_";
  }
  FakeConfiguration config;
  config.values["CG_FILE_PATH"] = "cg.h";
  FakeFileSystem files;
  files.files["cg.h"] = std::move(header);
  EXPECT_EQ(0, testing::WithSpareAddressSpace(64u << 20, [&] {
              const std::size_t before = HeapInUse();
              std::FILE* console = std::tmpfile();
              Kept seen;  // with a check to come, the job keeps the header's own bytes
              const bool done = RunConversion(kCG, config, files, console, &seen);
              std::fclose(console);
              return done ? 1 : HeapInUse() != before ? 2 : 0;
            }));
}
#endif

}  // namespace
}  // namespace protowrap
