// What the check read its fast ways, for tests and benchmarks: a fast way that gives up where it
// need not costs time, never a warning, so only a count shows it.
#pragma once

#include <cstdint>

namespace protowrap::check {

struct FastPathCounts {
  std::int64_t plainEntries = 0;      ///< entries read straight from the text, without tokens
  std::int64_t plainValues = 0;       ///< enumerators numbered without evaluating an expression,
                                      ///< once for every configuration
  std::int64_t shortcutValues = 0;    ///< of those, the ones numbered by a shortcut: a small
                                      ///< decimal number, or one more than an int
  std::int64_t sharedConditions = 0;  ///< conditions evaluated once for every configuration
};

}  // namespace protowrap::check
