// Tests of which warnings a report shows and which it counts.
#include "check/warning_report.h"

#include <gtest/gtest.h>

namespace protowrap::check {
namespace {

TEST(WarningReport, KeepsTheFirstByPositionWhateverTheOrderOfReports) {
  WarningReport report(2);
  report.Report(50, HeaderProblem::kNoPrefix);
  report.Report(10, HeaderProblem::kMissingComma);
  EXPECT_EQ(2u, report.InOrder().size());
  report.Report(40, HeaderProblem::kNoPrefix);  // after sorting once, reports go on
  report.Report(5, HeaderProblem::kConditional);
  report.Report(30, HeaderProblem::kConditional);
  EXPECT_EQ(5, report.Count());
  ASSERT_EQ(2u, report.InOrder().size());
  EXPECT_EQ(5, report.InOrder()[0].offset);
  EXPECT_EQ(10, report.InOrder()[1].offset);
  EXPECT_EQ(2, report.Omitted(HeaderProblem::kNoPrefix));
  EXPECT_EQ(1, report.Omitted(HeaderProblem::kConditional));
  EXPECT_EQ(0, report.Omitted(HeaderProblem::kMissingComma));

  // Fewer reports than the limit at first, out of order: the last kept still gives way.
  WarningReport few(3);
  for (const std::int32_t offset : {10, 50, 20, 5, 60}) {
    few.Report(offset, HeaderProblem::kNoPrefix);
  }
  ASSERT_EQ(3u, few.InOrder().size());
  EXPECT_EQ(5, few.InOrder()[0].offset);
  EXPECT_EQ(10, few.InOrder()[1].offset);
  EXPECT_EQ(20, few.InOrder()[2].offset);
}

}  // namespace
}  // namespace protowrap::check
