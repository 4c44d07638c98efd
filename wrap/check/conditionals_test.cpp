#include "wrap/check/conditionals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace protowrap::check {
namespace {

struct Collected : ProblemSink {
  std::vector<std::int32_t> offsets;
  void Report(std::int32_t offset, HeaderProblem problem) override {
    EXPECT_EQ(HeaderProblem::kConditional, problem);
    offsets.push_back(offset);
  }
};

// Feeds lines: "//#..." are directives, anything else an entry of that name; an entry's offset is
// its line's number. Returns the lines reported.
std::vector<std::int32_t> Reported(const std::vector<std::string>& lines) {
  Collected sink;
  ConditionalBlocks blocks(sink);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("//#", 0) == 0) {
      blocks.Directive(lines[i], static_cast<std::int32_t>(i));
    } else {
      blocks.Entry(lines[i], static_cast<std::int32_t>(i));
    }
  }
  blocks.Finish();
  return sink.offsets;
}

using L = std::vector<std::int32_t>;

TEST(ConditionalBlocks, EntriesMustBeDeclaredOnEveryWayThrough) {
  EXPECT_EQ(L{}, Reported({"A", "//#ifndef GUARD_H", "//#define GUARD_H", "B", "//#endif"}));
  EXPECT_EQ((L{2}), Reported({"A", "//#ifdef _DEBUG", "B", "C", "//#endif"}));  // once per branch
  EXPECT_EQ((L{1}), Reported({"//#if 0", "B", "//#endif"}));
  EXPECT_EQ(L{}, Reported({"//#if 1", "B", "//#endif", "//#ifdef __cplusplus", "C", "//#endif"}));
  // Declared in every branch of an #if ... #else: safe; in some of them, or without #else: not.
  EXPECT_EQ(L{}, Reported({"//#if V2", "B", "//#else", "B", "//#endif"}));
  EXPECT_EQ((L{1, 3, 5}),
            Reported({"//#if V2", "B", "//#elif V1", "C", "//#else", "B", "//#endif"}));
  EXPECT_EQ((L{1, 3}), Reported({"//#if V2", "B", "//#elif V1", "B", "//#endif"}));
  EXPECT_EQ((L{3}), Reported({"//#ifdef __cplusplus", "B", "//#else", "C", "//#endif"}));
  // Nested: what is safe inside counts for the branch around it.
  EXPECT_EQ(L{}, Reported({"//#ifdef X", "//#if Y", "B", "//#else", "B", "//#endif", "//#else", "B",
                           "//#endif"}));
  EXPECT_EQ((L{2}),
            Reported({"//#ifdef X", "//#if Y", "B", "//#else", "B", "//#endif", "//#endif"}));
  EXPECT_EQ((L{1}), Reported({"//#ifdef X", "B"}));  // never closed
}

}  // namespace
}  // namespace protowrap::check
