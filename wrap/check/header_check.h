// Checks a wrap header for what will not compile, and says where its input header does not fit
// the rules.
#pragma once

#include <cstdint>

#include "wrap/check/warning_report.h"

namespace protowrap::check {

/// Reads the wrap header `output` (outputLength bytes, followed by a NUL) the way a C++ compiler
/// that includes it after its input header would, with the definitions of PROTOCOL_STRUCT,
/// MAKE_PROTOCOL_INFO and MAKE_PROTOCOL_INFO_EOR that the README documents, and reports one warning
/// per cause of a compile error to `report`, at an offset of a line that the compiler blames. Lines
/// of the wrap header are those of the input header (the rules add and remove no line end); the
/// report places columns once given the input (WarningReport::Locate).
///
/// Returns false when the check could not run (memory for its bookkeeping ran out): the header
/// is then unchecked, which is not the same as clean. Reads nothing outside the text, changes
/// nothing, throws nothing. Time is linear in the text, whatever it holds.
bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report);

}  // namespace protowrap::check
