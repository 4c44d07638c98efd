// Where the parts of the header check report what they find.
#pragma once

#include <cstdint>

#include "check/problems.h"

namespace protowrap::check {

/// Receives problems at offsets of the wrap header, in any order.
class ProblemSink {
 public:
  virtual ~ProblemSink() = default;
  /// `build`: 0 where a build with the compilers' defaults (or a Debug build) fails; k + 1 where
  /// only a build that defines the header's switch k does.
  virtual void Report(std::int32_t offset, HeaderProblem problem, std::uint8_t build = 0) = 0;

  /// `count` more of `problem`, held back by a part that keeps only the first ones.
  virtual void ReportUnshown(HeaderProblem problem, std::int64_t count) = 0;

  /// How many problems the sink shows one by one (0: all of them), so that a part that holds
  /// problems back needs to keep no more.
  virtual std::int32_t Shown() const = 0;
};

}  // namespace protowrap::check
