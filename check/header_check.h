// Checks a wrap header for what will not compile, and says where its input header does not fit
// the rules.
#pragma once

#include <cstdint>

#include "check/warning_report.h"

namespace protowrap::check {

/// How a wrap header came about, as far as the check needs to know.
struct CheckOptions {
  /// The header holds a NUL byte, where its wrap header ends: the compilers read the header on.
  bool cutAtNul = false;
  /// Read plain entries straight from the text (the fast way); tests compare it with the tokens.
  bool plainEntries = true;
};

/// Reads the wrap header `output` (outputLength bytes, followed by a NUL) the way a C++ compiler
/// that includes it after its input header would, with the definitions of PROTOCOL_STRUCT,
/// MAKE_PROTOCOL_INFO and MAKE_PROTOCOL_INFO_EOR that the README documents, and reports one warning
/// per cause of a compile error to `report`, at an offset of a line that the compiler blames.
///
/// A warning says that the wrap header fails to compile in a build configuration in which the
/// header itself compiles: the compilers' defaults and a Debug build, for Linux and for Windows.
/// The check prints one only where it can show that; where it meets a construct it does not
/// model, it says nothing about it and goes on.
///
/// Lines of the wrap header are those of the input header (the rules add and remove no line end);
/// the report places columns once given the input (WarningReport::Locate). Returns false when the
/// check could not run (memory for its bookkeeping ran out): the header is then unchecked, which
/// is not the same as clean. Reads nothing outside the text, changes nothing, throws nothing.
/// Time is linear in the text, whatever it holds.
bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report,
                     const CheckOptions& options = {});

}  // namespace protowrap::check
