// The header check's entry.
//
// The principle: a warning is printed only when the check can show that the wrap header fails to
// compile in some build configuration in which the header itself compiles. The configurations
// are a build with the compiler's defaults and a Debug build (-D_DEBUG -DDEBUG), each for Linux
// and for Windows. Where the check meets a construct it does not model (a macro of an included
// file, a compiler's own macro, a declaration of a form it does not know), it says nothing about
// it and goes on. Each problem records in the problems table what the check must have seen to
// print it (problems.cpp).
#include "check/header_check.h"

#include <new>

#include "check/parser.h"

namespace protowrap::check {

bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report,
                     const CheckOptions& options) {
  try {
    ParseOptions parse;
    parse.cutAtNul = options.cutAtNul;
    parse.plainEntries = options.plainEntries;
    // Macros may multiply text as they expand: all of a header's evaluations together read at
    // most a few times its size of replacement text.
    const std::int64_t expansion = 4 * static_cast<std::int64_t>(outputLength) + (1 << 16);
    for (int run = 0;; ++run) {
      // A block taken for an include guard whose #endif does not close the header was none:
      // run again without it, and after two such blocks without guards at all.
      ExpansionBudget budget(expansion);
      Findings findings(report->Shown());
      Parser parser(output, outputLength, parse, budget, findings);
      if (parser.Run()) {
        parser.Deliver(*report);
        return true;
      }
      parse.notGuard = parser.NotAGuard();
      parse.guards = run == 0;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace protowrap::check
