// The findings of one run, delivered once the header's end settles where it compiles.
#include "check/findings.h"

namespace protowrap::check {

namespace {

// The build that a finding which holds in `where` (never empty) names: 0 for one of the targets'
// own builds, else the first switch's.
std::uint8_t BuildOf(ConfigurationSet where) {
  return static_cast<std::uint8_t>(BuildConfiguration{*Each(where).begin()}.Switch() + 1);
}

}  // namespace

Findings::Findings(std::int32_t shown) : shown_(shown), everywhere_(shown) {}

void Findings::Add(std::int32_t offset, HeaderProblem problem) {
  everywhere_.Report(offset, problem);
}

void Findings::Add(std::int32_t offset, HeaderProblem problem, ConfigurationSet where) {
  if (where == kEveryConfiguration) {
    everywhere_.Report(offset, problem);
  } else if (where != 0) {
    buckets_.try_emplace(where, shown_).first->second.Report(offset, problem);
  }
}

void Findings::Deliver(ConfigurationSet compiles, ConfigurationSet surelyCompiles,
                       std::uint8_t replaced, ProblemSink& sink) {
  const auto hand = [&](WarningReport& bucket, std::uint8_t build) {
    const auto kept = [&](HeaderProblem problem) {
      return (DescribeProblem(problem).reads & replaced) == 0;
    };
    bucket.Drain([&](const Warning& warning) {
      if (kept(warning.problem)) {
        sink.Report(warning.offset, warning.problem, build);
      }
    });
    for (int code = 0; code < kProblemCodes; ++code) {
      const auto problem = static_cast<HeaderProblem>(code);
      if (bucket.Omitted(problem) > 0 && kept(problem)) {
        sink.ReportUnshown(problem, bucket.Omitted(problem));
      }
    }
  };
  if (compiles != 0) {
    hand(everywhere_, BuildOf(compiles));
  }
  for (auto& [where, bucket] : buckets_) {
    if ((where & surelyCompiles) != 0) {
      hand(bucket, BuildOf(where & surelyCompiles));
    }
  }
}

}  // namespace protowrap::check
