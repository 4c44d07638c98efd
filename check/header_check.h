// Checks a wrap header for what will not compile, and says where its input header does not fit
// the rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/fast_path_counts.h"
#include "check/include_reader.h"
#include "check/warning_report.h"

namespace protowrap::check {

/// How a wrap header came about, as far as the check needs to know.
struct CheckOptions {
  /// The header holds a NUL byte, where its wrap header ends: the compilers read the header on.
  bool cutAtNul = false;
  /// Read plain entries straight from the text (the fast way); tests compare it with the tokens.
  bool plainEntries = true;
  /// The header's own bytes (null when they could not be had): what the rules rewrote in a
  /// directive is read from them, as the compilers read it.
  const char* header = nullptr;
  std::int32_t headerLength = 0;
  /// The files of the header's quoted includes (null: none can be read, what they define is
  /// unknown).
  IncludeReader* includes = nullptr;
  /// When given, receives what the check read its fast ways.
  FastPathCounts* fastPaths = nullptr;
};

/// Reads the wrap header `output` (outputLength bytes, followed by a NUL) the way a C++ compiler
/// that includes it after its input header would, with the definitions of PROTOCOL_STRUCT,
/// MAKE_PROTOCOL_INFO and MAKE_PROTOCOL_INFO_EOR that the README documents, and reports one warning
/// per cause of a compile error to `report`, at an offset of a line that the compiler blames.
///
/// A warning says that the wrap header fails to compile in a build configuration in which the
/// header itself compiles: the compilers' defaults and a Debug build, for Linux and for Windows,
/// and a build that defines one of the header's own switches. The check prints one only where it
/// can show that; where it meets a construct it does not model, it says nothing about it and goes
/// on.
///
/// Lines of the wrap header are those of the input header (the rules add and remove no line end);
/// the report places columns once given the input (WarningReport::Locate). Returns false when the
/// check could not run (memory for its bookkeeping ran out): the header is then unchecked, which
/// is not the same as clean. Reads nothing outside the text, changes nothing, throws nothing.
/// Time is linear in the text, whatever it holds.
/// The header's own switches (see FindSwitches), whose builds a warning may name, go to
/// `*switches` when it is given: a warning of build k + 1 holds only in the build that defines
/// switch k.
bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report,
                     const CheckOptions& options = {},
                     std::vector<std::string>* switches = nullptr);

}  // namespace protowrap::check
