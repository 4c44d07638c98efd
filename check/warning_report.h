// The warnings of one header: the first ones in full, the rest counted.
#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "check/problem_sink.h"

namespace protowrap::check {

/// One warning: where it stands in the wrap header, and the build it holds in (8 bytes).
struct Warning {
  std::int32_t offset;
  HeaderProblem problem;
  std::uint8_t build;  ///< 0, or k + 1: only a build that defines the header's switch k fails
};

/// Keeps the `limit` warnings that stand first in the header (all of them for a limit of 0) and
/// counts the others by problem, as compilers cap their errors. Memory holds the kept warnings
/// only, 8 bytes each, in blocks (never copied as they grow), whatever the header.
class WarningReport final : public ProblemSink {
 public:
  /// How many warnings of one header are shown unless asked otherwise.
  static constexpr std::int32_t kDefaultLimit = 20;

  explicit WarningReport(std::int32_t limit = kDefaultLimit) : limit_(limit) {}

  void Report(std::int32_t offset, HeaderProblem problem, std::uint8_t build = 0) override;
  void ReportUnshown(HeaderProblem problem, std::int64_t count) override;
  std::int32_t Shown() const override { return limit_; }

  /// Every warning reported.
  std::int64_t Count() const { return count_; }

  /// The kept warnings, sorted by position (once: reports may come on after).
  const std::deque<Warning>& InOrder();

  /// Hands the kept warnings to `take`, in no particular order, and forgets them as it goes (so
  /// that they need not be held twice on their way to another report, which orders them).
  template <typename Take>
  void Drain(Take take) {
    while (!kept_.empty()) {
      take(kept_.front());
      kept_.pop_front();
    }
  }

  /// How many warnings of `problem` were not kept.
  std::int64_t Omitted(HeaderProblem problem) const {
    return omitted_[static_cast<std::size_t>(problem)];
  }

 private:
  std::int32_t limit_;
  std::int64_t count_ = 0;
  std::deque<Warning> kept_;  ///< a heap by offset while more come in, then sorted
  bool sorted_ = false;
  std::array<std::int64_t, kProblemCodes> omitted_{};
};

}  // namespace protowrap::check
