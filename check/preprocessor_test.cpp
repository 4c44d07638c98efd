// Tests of the preprocessor model: conditions, guards, includes and #error in every configuration.
#include "check/preprocessor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

namespace protowrap::check {
namespace {

// Where the configurations compile each name of a wrap header's text (directives as the rules
// leave them, "//#..."): "L" Linux, "l" Linux Debug, "W" Windows, "w" Windows Debug, "?" where
// unknown, "-" where not. Also what a restart or a failing #error left.
struct Walk {
  std::map<std::string, std::string> at;
  ConfigurationSet mayFail = 0;
  ConfigurationSet mustFail = 0;
  std::int32_t notAGuard = -1;
};

std::string Spell(Truth truth) {
  std::string text;
  for (int c = 0; c < kConfigurationCount; ++c) {
    text += (truth.holds & Only(c)) != 0 ? "LlWw"[c] : (truth.fails & Only(c)) != 0 ? '-' : '?';
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

Walk Follow(const std::string& text) {
  ExpansionBudget budget(1 << 20);
  Preprocessor preprocessor(text.data(), static_cast<std::int32_t>(text.size()), budget, -1, true);
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  Walk walk;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective) {
      preprocessor.Directive(t);
    } else if (t.kind == TokenKind::kDirective) {
      preprocessor.Include();
    } else if (t.kind == TokenKind::kIdentifier) {
      walk.at[std::string(lexer.TextOf(t))] = Spell(preprocessor.Active());
    }
  }
  preprocessor.Finish(false);
  walk.mayFail = preprocessor.MayFail();
  walk.mustFail = preprocessor.MustFail();
  walk.notAGuard = preprocessor.NotAGuard();
  return walk;
}

TEST(Preprocessor, ConditionsInEveryConfiguration) {
  const Walk walk = Follow(
      "//#define VERSION 3\n"
      "//#ifdef _DEBUG\nA\n//#else\nB\n//#endif\n"
      "//#if defined(_WIN32) && !defined(_DEBUG)\nC\n//#elif defined __linux__\nD\n//#endif\n"
      "//#if VERSION > 3 || __cplusplus < 201103L\nE\n//#endif\n"
      "//#if defined(PROTOCOL_V2) \\\n   || VERSION ,, 3\nF\n//#endif\n"
      "//#ifdef _WIN64\n//#define WIDE 1\n//#endif\n//#if WIDE\nG\n//#endif\n"
      "//#undef VERSION\n//#ifndef VERSION\nH\n//#endif\n"
      "//#ifdef __GNUC__\nI\n//#endif\n"
      "//#if 1\n//#if 0\nJ\n//#else\nK\n//#endif\n//#endif\n");
  // F: a condition continued on the next line; G: a macro that the header defines on one platform
  // only; I: a compiler's own macro.
  EXPECT_EQ("A:-l-w B:L-W- C:--W- D:Ll-- E:---- F:LlWw G:--Ww H:LlWw I:???? J:---- K:LlWw",
            Where(walk, "ABCDEFGHIJK"));
  EXPECT_EQ(0, walk.mayFail);
}

TEST(Preprocessor, NamesAfterAnIncludeAreUnknownAndErrorsRuleConfigurationsOut) {
  const Walk walk = Follow(
      "//#ifdef FEATURE\nA\n//#endif\n"
      "#include \"common.h\"\n"
      "//#ifdef FEATURE\nB\n//#endif\n"
      "//#ifndef _WIN32\n//#error Windows only\n//#endif\n"
      "//#if FEATURE\n//#error maybe\n//#endif\n");
  EXPECT_EQ("A:---- B:????", Where(walk, "AB"));
  EXPECT_EQ(0x03, walk.mustFail);  // both Linux configurations
  EXPECT_EQ(kEveryConfiguration, walk.mayFail);
}

TEST(Preprocessor, GuardsInEveryFormHoldWhenTheyCloseTheHeader) {
  // A reserved name is unknown (the compiler may define it) but for a guard.
  for (const char* head :
       {"//#ifndef _P_H_\n", "//#if !defined(_P_H_)\n", "//#if !defined _P_H_ // guard\n"}) {
    const std::string text = std::string(head) +
                             "// why\n\n//#pragma once\n//#define _P_H_\nA\n//#endif // _P_H_\n"
                             "/* end */\n";
    const Walk walk = Follow(text);
    EXPECT_EQ("LlWw", walk.at.at("A")) << head;
    EXPECT_EQ(-1, walk.notAGuard) << head;
  }
  // Code between #ifndef and #define, or an #endif before the end: no guard.
  EXPECT_EQ("????", Follow("//#ifndef _P_H_\nA\n//#define _P_H_\n//#endif\n").at.at("A"));
  EXPECT_GE(Follow("//#ifndef _P_H_\n//#define _P_H_\nA\n//#endif\nB\n").notAGuard, 0);
  EXPECT_GE(Follow("//#ifndef _P_H_\n//#define _P_H_\nA\n//#else\nB\n//#endif\n").notAGuard, 0);
}

TEST(Preprocessor, NamesTheMacroTableHadNoRoomForAreUnknown) {
  // A small header holds room for about 800 names: past them, a name it turned away, or one it
  // never saw, may be defined; the names it holds keep their meaning.
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    text += "//#define M" + std::to_string(i) + " 1\n";
  }
  text += "//#if M1\nA\n//#endif\n//#if M999\nB\n//#endif\n//#ifdef NEVER\nC\n//#endif\n";
  EXPECT_EQ("A:LlWw B:???? C:????", Where(Follow(text), "ABC"));
  EXPECT_EQ("C:----", Where(Follow("//#ifdef NEVER\nC\n//#endif\n"), "C"));
}

}  // namespace
}  // namespace protowrap::check
