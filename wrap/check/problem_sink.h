// Where the parts of the header check report what they find.
#pragma once

#include <cstdint>

#include "wrap/check/problems.h"

namespace protowrap::check {

/// Receives problems at offsets of the wrap header, in any order.
class ProblemSink {
 public:
  virtual ~ProblemSink() = default;
  virtual void Report(std::int32_t offset, HeaderProblem problem) = 0;
};

}  // namespace protowrap::check
