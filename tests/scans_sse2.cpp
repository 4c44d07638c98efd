// The scans of a build for x86-64: the portable and the vectorised one.
#include "tests/scans.h"
#include "text/match_scan.h"

namespace protowrap::testing {

const Scan kScans[] = {
    {"portable", detail::portable::FindFirstMatch, detail::portable::CollectMatches},
    {"sse2", detail::sse2::FindFirstMatch, detail::sse2::CollectMatches},
    {nullptr, nullptr, nullptr},
};

}  // namespace protowrap::testing
