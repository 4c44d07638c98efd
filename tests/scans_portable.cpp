// The scans of a build for a processor without SSE2: the portable one.
#include "tests/scans.h"
#include "text/match_scan.h"

namespace protowrap::testing {

const Scan kScans[] = {
    {"portable", detail::portable::FindFirstMatch, detail::portable::CollectMatches},
    {nullptr, nullptr, nullptr},
};

}  // namespace protowrap::testing
