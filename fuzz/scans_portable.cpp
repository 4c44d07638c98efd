// The scans of a build for a processor without SSE2: the portable one.
#include "fuzz/scans.h"
#include "text/match_scan.h"

namespace protowrap::fuzz {

const Scan kScans[] = {
    {"portable", detail::portable::FindFirstMatch, detail::portable::CollectMatches},
    {nullptr, nullptr, nullptr},
};

}  // namespace protowrap::fuzz
