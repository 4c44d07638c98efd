// The header's own switches: names its conditions test that nothing defines, which some build
// sets with -D.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/include_reader.h"

namespace protowrap::check {

/// The names that the header's conditions (#if, #elif, #ifdef, #ifndef, #elifdef, #elifndef) test
/// and that neither the header nor an include it reads defines, that no target's compilers
/// predefine and that the standard library does not define: in the order of their first test, at
/// most kMaxSwitches. `header` may be null (the header could not be read again): its directives
/// are then read from the wrap header, what the rules wrote taken back. Reads each text once.
std::vector<std::string> FindSwitches(const char* wrap, std::int32_t wrapLength, const char* header,
                                      std::int32_t headerLength, IncludeReader* includes);

}  // namespace protowrap::check
