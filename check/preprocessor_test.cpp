// Tests of the preprocessor model: conditions, targets, switches, includes, guards and #error in
// every configuration.
#include "check/preprocessor.h"

#include "check/include_guard.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "tests/fakes.h"

namespace protowrap::check {
namespace {

// Where the configurations compile each name of a wrap header's text (directives as the rules
// leave them, "//#..."): "L" Linux, "l" Linux Debug, "W" Windows, "w" Windows Debug, then after
// a '|' an "S" per switch (Linux with the switch); "?" where unknown, "-" where not. Also what a
// restart or a failing #error left.
struct Walk {
  std::map<std::string, std::string> at;
  ConfigurationSet mayFail = 0;
  ConfigurationSet mustFail = 0;
  std::int32_t guard = -1;  // where the include guard opens
  std::string entryMacro;   // what MAKE_PROTOCOL_INFO is at the end, in the Linux build
};

std::string Spell(Truth truth, std::size_t switches) {
  std::string text;
  for (int c = 0; c < kBaseConfigurations + static_cast<int>(switches); ++c) {
    text += c == kBaseConfigurations ? "|" : "";
    const char letter = c < kBaseConfigurations ? "LlWw"[c] : 'S';
    text += (truth.holds & Only(c)) != 0 ? letter : (truth.fails & Only(c)) != 0 ? '-' : '?';
  }
  return text;
}

// The spellings of one-letter names, as "A:LlWw B:----".
std::string Where(const Walk& walk, std::string_view names) {
  std::string text;
  for (const char name : names) {
    text += text.empty() ? "" : " ";
    text += std::string(1, name) + ":" + walk.at.at(std::string(1, name));
  }
  return text;
}

Walk Follow(const std::string& text, std::vector<std::string> switches = {},
            IncludeReader* includes = nullptr) {
  ExpansionBudget budget(1 << 20);
  PreprocessorSetup setup;
  setup.includes = includes;
  const std::size_t count = switches.size();
  setup.switches = std::move(switches);
  const auto length = static_cast<std::int32_t>(text.size());
  Walk walk;
  walk.guard = FindIncludeGuard(text.data(), length, nullptr, false);
  Preprocessor preprocessor(text.data(), length, budget, walk.guard, std::move(setup));
  Lexer lexer(text.data(), length, TextKind::kWrap);
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective || t.kind == TokenKind::kDirective) {
      preprocessor.Directive(t);
    } else if (t.kind == TokenKind::kIdentifier) {
      walk.at[std::string(lexer.TextOf(t))] = Spell(preprocessor.Active(), count);
    }
  }
  preprocessor.Finish(false);
  using Kind = Preprocessor::ClientMacro::Kind;
  const Kind kind = preprocessor.ClientMacroIn("MAKE_PROTOCOL_INFO", 0).kind;
  walk.entryMacro = kind == Kind::kClient      ? "the client's"
                    : kind == Kind::kUndefined ? "undefined"
                    : kind == Kind::kFunction  ? "function"
                    : kind == Kind::kObject    ? "object"
                                               : "unknown";
  walk.mayFail = preprocessor.MayFail();
  walk.mustFail = preprocessor.MustFail();
  return walk;
}

TEST(Preprocessor, ConditionsInEveryConfigurationAsItsCompilersSeeThem) {
  const Walk walk = Follow(
      "//#define VERSION 3\n"
      "//#ifdef _DEBUG\nA\n//#else\nB\n//#endif\n"
      "//#if defined(_WIN32) && !defined(_DEBUG)\nC\n//#elif defined __linux__\nD\n//#endif\n"
      "//#if VERSION > 3 || __cplusplus < 201103L\nE\n//#endif\n"
      "//#if defined(PROTOCOL_V2) \\\n   || VERSION ,, 3\nF\n//#endif\n"
      "//#ifdef _WIN64\n//#define WIDE 1\n//#endif\n//#if WIDE\nG\n//#endif\n"
      "//#undef VERSION\n//#ifndef VERSION\nH\n//#endif\n"
      "//#ifdef __GNUC__\nI\n//#endif\n"
      "//#if 1\n//#if 0\nJ\n//#else\nK\n//#endif\n//#endif\n"
      "//#if defined(_DEV_SERVER) || defined __CHINA\nM\n//#endif\n"
      "//#if __SIZEOF_LONG__ ,, 8\nN\n//#endif\n"
      "//#ifdef __STDC_HOSTED__\nO\n//#endif\n//#ifdef _MSC_VER\nP\n//#endif\n");
  // E: __cplusplus is C++20's on Linux, and differs between the Windows compilers; F: a condition
  // continued on the next line; G: a macro that the header defines on one platform only; I: g++
  // and clang both define __GNUC__ for Linux, not both for Windows; M: a project's switches,
  // spelled as reserved names, which no build here defines; N: long has 64 bits on Linux, and not
  // every Windows compiler says how many it has; O: predefined everywhere; P: only some Windows
  // compilers are Microsoft's.
  EXPECT_EQ(
      "A:-l-w B:L-W- C:--W- D:Ll-- E:--?? F:LlWw G:--Ww H:LlWw I:Ll?? J:---- K:LlWw M:---- N:Ll?? "
      "O:LlWw P:--??",
      Where(walk, "ABCDEFGHIJKMNOP"));
  EXPECT_EQ(0u, walk.mayFail);
}

TEST(Preprocessor, EachSwitchIsALinuxBuildThatDefinesIt) {
  const Walk walk = Follow(
      "//#ifdef CLIENT_BUILD\nA\n//#endif\n"
      "//#if _SERVER_BUILD >= 2\nB\n//#elif !defined(_SERVER_BUILD)\nC\n//#endif\n"
      "//#if defined(CLIENT_BUILD) && defined(_WIN32)\nD\n//#endif\n",
      {"CLIENT_BUILD", "_SERVER_BUILD"});
  // Defined as 1: a switch's build passes "defined" but not ">= 2"; it is a Linux build.
  EXPECT_EQ("A:----|S- B:----|-- C:LlWw|S- D:----|--", Where(walk, "ABCD"));
}

TEST(Preprocessor, IncludesAreReadForTheirMacrosOtherwiseWhatTheyMayDefineIsUnknown) {
  testing::FakeFileSystem files;
  files.files["dir/common.h"] =
      "#pragma once\n#define FEATURE 1\n#ifdef _WIN32\n#define ON_WINDOWS\n#endif\n"
      "#include \"inner/deeper.h\"\n";
  files.files["dir/inner/deeper.h"] = "# define DEEPER 2\n%:define DIGRAPH\n";
  files.files["fifo.h"] = "#define NEVER\n";
  IncludeReader includes(files, "dir/protocol.h");
  const Walk walk = Follow(
      "#include <cstdint>\n//#ifdef UNDEFINED\nA\n//#endif\n"
      "#include \"common.h\"\n"
      "//#ifdef FEATURE\nB\n//#endif\n//#ifdef ON_WINDOWS\nC\n//#endif\n"
      "//#if DEEPER ,, 2 && defined(DIGRAPH)\nD\n//#endif\n"
      "//#ifdef ELSEWHERE\nE\n//#endif\n"
      "#include \"missing.h\"\n"
      "//#ifdef ELSEWHERE\nF\n//#endif\n//#ifdef FEATURE\nG\n//#endif\n",
      {}, &includes);
  // A: the standard library defines no switch; E: the includes read define nothing more;
  // F: after an include that is not there, any name may be defined.
  EXPECT_EQ("A:---- B:LlWw C:--Ww D:LlWw E:---- F:???? G:LlWw", Where(walk, "ABCDEFG"));
}

// Includes one after the other are each read, past the depth limit of includes within includes,
// and so is an include named by a macro.
TEST(Preprocessor, IncludesInARowAndByAMacroAreRead) {
  testing::FakeFileSystem files;
  std::string header;
  for (int i = 0; i < 20; ++i) {
    const std::string number = std::to_string(i);
    const std::string name = std::string("i").append(number).append(".h");
    files.files[name] = std::string("#define N").append(number).append("\n");
    header += "#include \"" + name + "\"\n";
  }
  files.files["named.h"] = "#define NAMED 1\n";
  header += "//#define WHICH \"named.h\"\n#include WHICH\n";
  header += "//#ifdef N19\nA\n//#endif\n//#if NAMED\nB\n//#endif\n//#ifdef ELSE\nC\n//#endif\n";
  IncludeReader includes(files, "protocol.h");
  EXPECT_EQ("A:LlWw B:LlWw C:----", Where(Follow(header, {}, &includes), "ABC"));
}

// A macro that the Linux release build alone defines otherwise: a condition on it, or an include
// it names, is taken apart in each build, not from the first build's meaning.
TEST(Preprocessor, AMacroOnlyTheFirstBuildDefinesOtherwiseIsReadInEachBuild) {
  testing::FakeFileSystem files;
  files.files["release.h"] = "#define RELEASE_ONLY 1\n";
  files.files["other.h"] = "#define OTHER 1\n";
  IncludeReader includes(files, "protocol.h");
  const Walk walk = Follow(
      "//#define LEVEL 2\n"
      "//#if defined(__linux__) && !defined(_DEBUG)\n"
      "//#undef LEVEL\n//#define WHICH \"release.h\"\n"
      "//#else\n"
      "//#define WHICH \"other.h\"\n"
      "//#endif\n"
      "//#if LEVEL == 2\nA\n//#endif\n"
      "#include WHICH\n//#ifdef OTHER\nB\n//#endif\n",
      {}, &includes);
  // B: an include that the builds name apart is not read, so what it defines is unknown.
  EXPECT_EQ("A:-lWw B:????", Where(walk, "AB"));
}

// Includes within includes are read 16 deep: what the 16th defines is known, and after a 17th,
// which is not read, any name may be defined.
TEST(Preprocessor, IncludesWithinIncludesAreRead16Deep) {
  for (const int deep : {16, 17}) {
    testing::FakeFileSystem files;
    for (int i = 1; i < deep; ++i) {
      files.files["n" + std::to_string(i) + ".h"] =
          "#include \"n" + std::to_string(i + 1) + ".h\"\n";
    }
    files.files["n" + std::to_string(deep) + ".h"] = "#define DEEPEST 1\n";
    IncludeReader includes(files, "protocol.h");
    const Walk walk = Follow("#include \"n1.h\"\n//#ifdef DEEPEST\nA\n//#endif\n", {}, &includes);
    EXPECT_EQ(deep == 16 ? "A:LlWw" : "A:????", Where(walk, "A")) << deep;
  }
}

// The Debug builds define _DEBUG and DEBUG, whichever way a condition tests them.
TEST(Preprocessor, DebugBuildsDefineDebugInEveryForm) {
  const Walk walk = Follow(
      "//#if DEBUG\nA\n//#endif\n//#if _DEBUG && 1\nB\n//#endif\n//#ifdef DEBUG\nC\n//#endif\n"
      "//#if !DEBUG\nD\n//#endif\n");
  EXPECT_EQ("A:-l-w B:-l-w C:-l-w D:L-W-", Where(walk, "ABCD"));
}

TEST(Preprocessor, ErrorsRuleConfigurationsOut) {
  const Walk walk = Follow(
      "#include \"common.h\"\n"
      "//#ifndef _WIN32\n//#error Windows only\n//#endif\n"
      "//#if FEATURE\n//#error maybe\n//#endif\n");
  EXPECT_EQ(0x03u, walk.mustFail & kBaseConfigurationSet);  // both Linux configurations
  EXPECT_EQ(kBaseConfigurationSet, walk.mayFail & kBaseConfigurationSet);
}

// #include_next and #import are includes, not unknown directives: no build fails for them.
TEST(Preprocessor, IncludeNextAndImportAreIncludes) {
  for (const std::string text : {"#include_next <limits.h>\nA\n", "#import \"other.h\"\nA\n",
                                 "#include \"missing.h\"\nA\n"}) {
    const Walk walk = Follow(text);
    EXPECT_EQ(0, walk.mayFail) << text;
  }
  EXPECT_EQ(kBaseConfigurationSet, Follow("#inclde \"typo.h\"\nA\n").mustFail);
}

// #elifdef and #elifndef take their branch as #elif does.
TEST(Preprocessor, ElifdefAndElifndefBranchLikeElif) {
  const Walk walk = Follow(
      "//#ifdef NOPE\nA\n//#elifdef _WIN32\nB\n//#elifndef __linux__\nC\n//#else\nD\n//#endif\n"
      "//#ifdef _WIN32\nE\n//#elifndef _DEBUG\nF\n//#endif\n");
  EXPECT_EQ("A:---- B:--Ww C:---- D:Ll-- E:--Ww F:L---", Where(walk, "ABCDEF"));
}

// An #else or #endif without its #if, or an #if without its #endif, in the header or in an
// include it reads, is an error in every build; conditions after an include's unclosed block
// are the header's own again.
TEST(Preprocessor, UnbalancedConditionalsFailEveryBuild) {
  for (const std::string text : {"//#else\nA\n", "//#endif\nA\n", "//#ifdef _WIN32\nA\n",
                                 "//#if 1\n//#elif 0\n//#else\nA\n"}) {
    const Walk walk = Follow(text);
    EXPECT_EQ(kBaseConfigurationSet, walk.mustFail & kBaseConfigurationSet) << text;
  }
  EXPECT_EQ(0, Follow("//#if 1\n//#else\nA\n//#endif\n").mayFail);
  testing::FakeFileSystem files;
  files.files["open.h"] = "#ifdef _WIN32\n#define WIN 1\n#if 0\n";
  IncludeReader includes(files, "protocol.h");
  const Walk walk =
      Follow("#include \"open.h\"\n//#ifdef __linux__\nA\n//#endif\nB\n", {}, &includes);
  EXPECT_EQ(kBaseConfigurationSet, walk.mustFail & kBaseConfigurationSet);
  EXPECT_EQ("A:Ll-- B:LlWw", Where(walk, "AB"));
}

TEST(Preprocessor, GuardsInEveryFormHoldWhenTheyCloseTheHeader) {
  // After an include that cannot be read, a name the header does not define is unknown, but for
  // a guard.
  const std::string unread = "#include \"unread.h\"\n";
  for (const char* head :
       {"//#ifndef P_H\n", "//#if !defined(P_H)\n", "//#if !defined P_H // guard\n"}) {
    const std::string text =
        unread + head + "// why\n\n//#pragma once\n//#define P_H\nA\n//#endif // P_H\n/* end */\n";
    const Walk walk = Follow(text);
    EXPECT_EQ("LlWw", walk.at.at("A")) << head;
    EXPECT_EQ(static_cast<std::int32_t>(text.find('\n', unread.size())), walk.guard) << head;
  }
  // Code or another directive between #ifndef and #define, code or a directive after the #endif,
  // another branch, a condition of another form, or a digraph block that stays live: no guard.
  for (const char* text : {"//#ifndef P_H\nA\n//#define P_H\n//#endif\n",
                           "//#ifndef P_H\n//#undef Q\n//#define P_H\nA\n//#endif\n",
                           "//#ifndef P_H\n//#define P_H\nA\n//#endif\nB\n",
                           "//#ifndef P_H\n//#define P_H\nA\n//#endif\n//#define Q\n",
                           "//#ifndef P_H\n//#define P_H\nA\n//#else\nB\n//#endif\n",
                           "//#if !defined(P_H) || defined(Q)\n//#define P_H\nA\n//#endif\n",
                           "//#if !SEEN(P_H)\n//#define P_H\nA\n//#endif\n",
                           "//#ifndef P_H\n//#define Q_H\nA\n//#endif\n",
                           "%:ifndef P_H\n%:define P_H\nA\n%:endif\n"}) {
    const Walk walk = Follow(unread + text);
    EXPECT_EQ(-1, walk.guard) << text;
    EXPECT_NE("LlWw", walk.at.at("A")) << text;
  }
  // Blocks that look like guards but close early, then the real one: decided before the walk,
  // so the early ones stay conditional and the last one holds.
  const Walk walk = Follow(unread +
                           "//#ifndef X_H\n//#define X_H\nA\n//#endif\n"
                           "//#ifndef Y_H\n//#define Y_H\nB\n//#endif\n"
                           "//#ifndef P_H\n//#define P_H\n//#ifdef FEATURE\nC\n//#endif\nD\n"
                           "//#endif\n");
  EXPECT_EQ("A:???? B:???? C:???? D:LlWw", Where(walk, "ABCD"));
  // The guard's name is defined once the guard holds.
  EXPECT_EQ("E:LlWw", Where(Follow(unread + "//#ifndef P_H\n//#define P_H\n//#ifdef P_H\nE\n"
                                            "//#endif\n//#endif\n"),
                            "E"));
}

TEST(Preprocessor, AGuardStillOpenWhereTheWrapHeaderEndsAtANulHolds) {
  const std::string text = "//#ifndef P_H\n//#define P_H\nA\n";
  const auto length = static_cast<std::int32_t>(text.size());
  EXPECT_EQ(13, FindIncludeGuard(text.data(), length, nullptr, true));
  EXPECT_EQ(-1, FindIncludeGuard(text.data(), length, nullptr, false));
}

TEST(Preprocessor, NamesTheMacroTableHadNoRoomForAreUnknown) {
  // A small header holds room for a few hundred names: past them, a name it turned away, or one
  // it never saw, may be defined; the names it holds keep their meaning.
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    text += "//#define M" + std::to_string(i) + " 1\n";
  }
  text += "//#if M1\nA\n//#endif\n//#if M999\nB\n//#endif\n//#ifdef NEVER\nC\n//#endif\n";
  EXPECT_EQ("A:LlWw B:???? C:????", Where(Follow(text), "ABC"));
  EXPECT_EQ("C:----", Where(Follow("//#ifdef NEVER\nC\n//#endif\n"), "C"));
  // The client's names too: one the header never touched is the client's, unless the table
  // turned names away.
  EXPECT_EQ("unknown", Follow(text).entryMacro);
  EXPECT_EQ("the client's", Follow("//#define M 1\n").entryMacro);
  EXPECT_EQ("undefined", Follow("//#undef MAKE_PROTOCOL_INFO\n").entryMacro);
  EXPECT_EQ("function", Follow("//#define MAKE_PROTOCOL_INFO(a) a\n").entryMacro);
  EXPECT_EQ("object", Follow("//#define MAKE_PROTOCOL_INFO 1\n").entryMacro);
  EXPECT_EQ("unknown", Follow("//#if __has_include(<extra.h>)\n//#define MAKE_PROTOCOL_INFO(a) a\n"
                              "//#endif\n")
                           .entryMacro);  // perhaps defined
}

}  // namespace
}  // namespace protowrap::check
