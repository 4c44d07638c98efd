#include "check/findings.h"

#include <utility>

namespace protowrap::check {

namespace {

template <std::size_t... I>
std::array<WarningReport, sizeof...(I)> Reports(std::int32_t shown, std::index_sequence<I...>) {
  return {((void)I, WarningReport(shown))...};
}

}  // namespace

Findings::Findings(std::int32_t shown)
    : buckets_(Reports(shown, std::make_index_sequence<kEverywhere + 1>())) {}

void Findings::Add(std::int32_t offset, HeaderProblem problem) {
  buckets_[kEverywhere].Report(offset, problem);
}

void Findings::Add(std::int32_t offset, HeaderProblem problem, ConfigurationSet where) {
  if (where != 0) {
    buckets_[where].Report(offset, problem);
  }
}

void Findings::Deliver(ConfigurationSet compiles, ConfigurationSet surelyCompiles,
                       std::uint8_t replaced, ProblemSink& sink) {
  for (std::size_t where = 0; where < buckets_.size(); ++where) {
    const bool stands = where == kEverywhere ? compiles != 0 : (where & surelyCompiles) != 0;
    if (!stands) {
      continue;
    }
    WarningReport& bucket = buckets_[where];
    const auto kept = [&](HeaderProblem problem) {
      return (DescribeProblem(problem).reads & replaced) == 0;
    };
    bucket.Drain([&](const Warning& warning) {
      if (kept(warning.problem)) {
        sink.Report(warning.offset, warning.problem);
      }
    });
    for (int code = 0; code < 256; ++code) {
      const auto problem = static_cast<HeaderProblem>(code);
      if (bucket.Omitted(problem) > 0 && kept(problem)) {
        sink.ReportUnshown(problem, bucket.Omitted(problem));
      }
    }
  }
}

}  // namespace protowrap::check
