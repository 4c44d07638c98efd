// The scans of this build: the portable one, and the vectorised one where it is compiled.
#include "tests/scans.h"
#include "text/match_scan.h"

namespace protowrap::testing {

const Scan kScans[] = {
    {"portable", detail::portable::FindFirstMatch, detail::portable::CollectMatches},
#if PROTOWRAP_HAS_SSE2
    {"sse2", detail::sse2::FindFirstMatch, detail::sse2::CollectMatches},
#endif
    {nullptr, nullptr, nullptr},
};

}  // namespace protowrap::testing
