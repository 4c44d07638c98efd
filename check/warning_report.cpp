// One header's warnings: the first in full, the rest counted by code.
#include "check/warning_report.h"

#include <algorithm>
#include <tuple>

namespace protowrap::check {

namespace {

// Orders the heap so that its top is the warning that stands last; at one offset, by code.
bool StandsBefore(const Warning& a, const Warning& b) {
  return std::tie(a.offset, a.problem) < std::tie(b.offset, b.problem);
}

}  // namespace

void WarningReport::Report(std::int32_t offset, HeaderProblem problem, std::uint8_t build) {
  ++count_;
  if (sorted_ && limit_ > 0) {
    std::make_heap(kept_.begin(), kept_.end(), StandsBefore);
  }
  sorted_ = false;
  const Warning warning{offset, problem, build};
  if (limit_ <= 0 || static_cast<std::int32_t>(kept_.size()) < limit_) {
    kept_.push_back(warning);
    if (limit_ > 0) {
      std::push_heap(kept_.begin(), kept_.end(), StandsBefore);
    }
    return;
  }
  if (!StandsBefore(warning, kept_.front())) {
    ++omitted_[static_cast<std::size_t>(problem)];
    return;
  }
  // It stands before the last one kept, which gives way to it.
  ++omitted_[static_cast<std::size_t>(kept_.front().problem)];
  std::pop_heap(kept_.begin(), kept_.end(), StandsBefore);
  kept_.back() = warning;
  std::push_heap(kept_.begin(), kept_.end(), StandsBefore);
}

const std::deque<Warning>& WarningReport::InOrder() {
  if (!sorted_) {
    std::sort(kept_.begin(), kept_.end(), StandsBefore);  // in place: no second copy
    sorted_ = true;
  }
  return kept_;
}

void WarningReport::ReportUnshown(HeaderProblem problem, std::int64_t count) {
  count_ += count;
  omitted_[static_cast<std::size_t>(problem)] += count;
}

}  // namespace protowrap::check
