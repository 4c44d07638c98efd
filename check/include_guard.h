// The header's include guard, found before the check reads the wrap header, as a compiler's
// multiple-include optimisation finds it.
#pragma once

#include <cstdint>

#include "check/header_mirror.h"

namespace protowrap::check {

/// Where a header's include guard opens: the end of its "#ifndef X", "#if !defined(X)" or "#if
/// !defined X" (commented out in the wrap header), or -1 when the header has none.
///
/// A guard is the last conditional block at the top of the header, opened in one of those forms,
/// followed by "#define X" with only comments and "#pragma once" between, with no #else or #elif
/// of its own, and closed by an #endif after which only comments follow (or still open where the
/// wrap header ends at a NUL byte, `cut`: the header goes on past it). Such a block holds whenever
/// the header is included, whatever the compilers knew of X before. One pass over the text, with
/// the header's own directives where `mirror` has them.
std::int32_t FindIncludeGuard(const char* wrap, std::int32_t length, HeaderMirror* mirror,
                              bool cut);

}  // namespace protowrap::check
