// Where the parts of the header check report what they find.
#pragma once

#include <cstdint>

#include "check/problems.h"

namespace protowrap::check {

/// Receives problems at offsets of the wrap header, in any order.
class ProblemSink {
 public:
  virtual ~ProblemSink() = default;
  virtual void Report(std::int32_t offset, HeaderProblem problem) = 0;

  /// `count` more of `problem`, held back by a part that keeps only the first ones.
  virtual void ReportUnshown(HeaderProblem problem, std::int64_t count) = 0;

  /// How many problems the sink shows one by one (0: all of them), so that a part that holds
  /// problems back needs to keep no more.
  virtual std::int32_t Shown() const = 0;
};

}  // namespace protowrap::check
