// What the replacer does when memory runs out, in a child process under an address-space limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/limited_child.h"
#include "text/text_replacer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap {
namespace {

using testing::InLimitedChild;
using ReplacerMemoryTest = testing::MemoryLimitTest;

TEST_F(ReplacerMemoryTest, AResultThatCannotBeAllocatedIsReportedNotCrashed) {
  // 1,000,000 matches of 1 byte, each becoming 2,000: a result of 2 GB, within the length limit
  // but not within 512 MiB of address space.
  const std::string text(1000000, 'a');
  const std::string replacement(2000, 'b');
  EXPECT_EQ(0, InLimitedChild(512u << 20, [&] {
              ReplaceStatus status = ReplaceStatus::kReplaced;
              const char* out = TextReplacer().ReplaceInBuffer(
                  text.data(), static_cast<std::int32_t>(text.size()), "a", 1, replacement.data(),
                  static_cast<std::int32_t>(replacement.size()), &status);
              return out == nullptr && status == ReplaceStatus::kNoMemory ? 0 : 1;
            }));
}

TEST_F(ReplacerMemoryTest, TheRuleTableReleasesEverythingAndSaysWhy) {
  // 20 MiB of CG_ grows sevenfold under the first rule: 150 MB that 128 MiB cannot hold.
  std::string text;
  text.reserve(21 << 20);
  while (text.size() < (20u << 20)) {
    text += "CG_";
  }
  EXPECT_EQ(0, InLimitedChild(128u << 20, [&] {
              auto* block = static_cast<char*>(std::malloc(text.size() + 1));
              if (block == nullptr) {
                return 2;
              }
              std::memcpy(block, text.c_str(), text.size() + 1);
              ReplaceStatus status = ReplaceStatus::kReplaced;
              return ApplyRewriteRules(block, &status) == nullptr &&
                             status == ReplaceStatus::kNoMemory
                         ? 0
                         : 1;
            }));
}

}  // namespace
}  // namespace protowrap
