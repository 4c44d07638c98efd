// Tests of how the header check finds a header's own switches: the names its conditions test that
// nothing defines.
#include "check/switch_finder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes.h"

namespace protowrap::check {
namespace {

using Names = std::vector<std::string>;

// The switches of a header of directives only (no text the rules rewrite but '#'), given the
// header and its wrap header as the rules leave it.
Names Switches(const std::string& header, testing::FakeFileSystem* files = nullptr,
               bool withHeader = true) {
  std::string wrap;
  for (std::size_t at = 0; at < header.size(); ++at) {
    const bool include = header.compare(at, 8, "#include") == 0;
    wrap += header[at] == '#' && !include ? "//#" : std::string(1, header[at]);
  }
  testing::FakeFileSystem none;
  IncludeReader includes(files != nullptr ? *files : none, "h.h");
  return FindSwitches(wrap.data(), static_cast<std::int32_t>(wrap.size()),
                      withHeader ? header.data() : nullptr,
                      static_cast<std::int32_t>(header.size()), &includes);
}

TEST(SwitchFinder, NamesTheHeaderTestsAndNothingDefinesInTheOrderOfTheirFirstTest) {
  const std::string header =
      "#ifdef USE_OLD\n#endif\n"
      "#if defined(SERVER) && !defined(_WIN32) || __linux__ && true\n#endif\n"
      "#define LOCAL 1\n#if LOCAL && _DEBUG && DEBUG\n#endif\n"
      "#ifndef USE_OLD\n#elif CHINA > 2\n#endif\n"
      "#if __has_include(<x.h>) && __has_include(\"y.h\") && _LIBCPP_VERSION && INT16_MAX\n"
      "#endif\n"
      "#if __has_include_next(<sys/z.h>) || (AFTER_HAS)\n#endif\n"
      "#if LATE_DEFINED\n#endif\n#define LATE_DEFINED\n"
      "#define LONG_\\\nNAME 1\n#define OTHER_\\\nSPLIT 2\n#if LONG_NAME\n#endif\n"
      "#if A_\\\nSPLIT\n#endif\n";
  const Names expected = {"USE_OLD", "SERVER", "CHINA", "AFTER_HAS", "A_SPLIT"};
  EXPECT_EQ(expected, Switches(header));
  EXPECT_EQ(expected, Switches(header, nullptr, false));  // read back from the wrap header
  // The client's names and Debug's are no switch of the header's.
  EXPECT_EQ((Names{"AFTER"}),
            Switches("#if defined(MAKE_PROTOCOL_INFO) || defined(MAKE_PROTOCOL_INFO_EOR) || "
                     "defined(PROTOCOL_STRUCT) || __VA_OPT__ || __VA_ARGS__ || AFTER\n#endif\n"));
}

TEST(SwitchFinder, TakesAtMostEightSwitches) {
  std::string header;
  for (int i = 0; i < 12; ++i) {
    header += "#ifdef S" + std::to_string(i) + "\n#endif\n";
  }
  EXPECT_EQ((Names{"S0", "S1", "S2", "S3", "S4", "S5", "S6", "S7"}), Switches(header));
}

// What a quoted include defines is no switch (#include_next and #import are includes too), the
// include named by a macro too; includes are read sixteen deep, and what a seventeenth would
// define is a switch.
TEST(SwitchFinder, WhatTheIncludesItReadsDefineIsNoSwitch) {
  testing::FakeFileSystem files;
  files.files["config.h"] = "#define FROM_CONFIG\n#include \"chain0.h\"\n";
  files.files["named.h"] = "#define FROM_NAMED 1\n#define SPL\\\nICED\n";
  files.files["next.h"] = "#define FROM_NEXT\n";
  files.files["imported.h"] = "#define FROM_IMPORTED\n";
  for (int i = 0; i < 20; ++i) {
    files.files["chain" + std::to_string(i) + ".h"] =
        "#define N" + std::to_string(i) + "\n#include \"chain" + std::to_string(i + 1) + ".h\"\n";
  }
  const std::string header =
      "#include \"config.h\"\n#define NAMED \"named.h\"\n#include NAMED\n"
      "#include_next \"next.h\"\n#import \"imported.h\"\n"
      "#include <vector>\n#include \"missing.h\"\n"
      "#if FROM_CONFIG && FROM_NAMED && SPLICED && FROM_NEXT && FROM_IMPORTED\n#endif\n"
      "#if N0 && N14 && N15 && OTHER\n#endif\n"
      "#if defined __has_include && HAS_IT\n#endif\n";
  EXPECT_EQ((Names{"N15", "OTHER", "HAS_IT"}), Switches(header, &files));
}

}  // namespace
}  // namespace protowrap::check
