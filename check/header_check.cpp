// The header check's entry.
//
// The principle: a warning is printed only when the check can show that the wrap header fails to
// compile in some build configuration in which the header itself compiles. The configurations
// are each target's build with its compilers' defaults and its Debug build (-D_DEBUG -DDEBUG),
// for Linux and for Windows (targets.h), and a build of each target that defines one of the
// header's own switches (switch_finder.h). Where the check cannot know (a macro of an include it
// could not read, a macro on which the compilers of a target differ, a declaration of a form it
// does not know), it says nothing and goes on. Each problem records in the problems table what
// the check must have seen to print it (problems.cpp).
#include "check/header_check.h"

#include <new>

#include "check/include_guard.h"
#include "check/parser.h"
#include "check/switch_finder.h"

namespace protowrap::check {

bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report,
                     const CheckOptions& options, std::vector<std::string>* switches) {
  try {
    ParseOptions parse;
    parse.cutAtNul = options.cutAtNul;
    parse.plainEntries = options.plainEntries;
    parse.fastPaths = options.fastPaths;
    const std::vector<std::string> found =
        FindSwitches(output, outputLength, options.header, options.headerLength, options.includes);
    if (switches != nullptr) {
      *switches = found;
    }
    HeaderMirror mirror(output, outputLength, options.header, options.headerLength);
    parse.setup.mirror = &mirror;
    parse.header = options.header;
    parse.headerLength = options.headerLength;
    parse.setup.includes = options.includes;
    // The macro table holds at most the wrap header's size, and what the includes add.
    parse.setup.macroLimit = (static_cast<std::size_t>(outputLength) > (64u << 10)
                                  ? static_cast<std::size_t>(outputLength)
                                  : (64u << 10)) +
                             (options.includes != nullptr ? IncludeReader::kMaxBytes : 0);
    // Macros may multiply text as they expand: all of a header's evaluations together read at
    // most a few times its size of replacement text.
    const std::int64_t expansion = 4 * static_cast<std::int64_t>(outputLength) + (1 << 16);
    parse.guard = FindIncludeGuard(output, outputLength, &mirror, options.cutAtNul);
    parse.setup.switches = found;
    ExpansionBudget budget(expansion);
    Findings findings(report->Shown());
    Parser parser(output, outputLength, parse, budget, findings);
    parser.Run();
    parser.Deliver(*report);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace protowrap::check
