// Tests of the rule table on lines and headers written out by hand (the end-to-end tests hold the
// whole table to the Python reference on random texts).
#include "wrap/rewrite_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace protowrap {
namespace {

std::string Rewrite(const std::string& input, bool* same = nullptr) {
  auto* block = static_cast<char*>(std::malloc(input.size() + 1));
  std::memcpy(block, input.data(), input.size());
  block[input.size()] = '\0';
  ReplaceStatus status = ReplaceStatus::kNoMemory;
  char* out = ApplyRewriteRules(block, &status);
  EXPECT_NE(nullptr, out);
  if (same != nullptr) {
    *same = out == block;
    EXPECT_EQ(*same ? ReplaceStatus::kUnchanged : ReplaceStatus::kReplaced, status);
  }
  std::string result(out);
  std::free(out);
  return result;
}

TEST(RewriteRules, LinesOfAHeaderComeOutInWrapForm) {
  const struct {
    const char* in;
    const char* out;
  } lines[] = {
      {"#pragma once", "//#pragma once"},
      {"enum eCG_CATEGORY", "PROTOCOL_STRUCT sCG_CATEGORY[] ="},
      {"{", "{"},
      {"CG_LOGIN = 1,", "MAKE_PROTOCOL_INFO(CG_LOGIN , 1), "},
      {"CG_CHAT,", "MAKE_PROTOCOL_INFO(CG_CHAT), "},
      {"};", "MAKE_PROTOCOL_INFO_EOR() };"},
      {"enum eCG_LOGIN_PROTOCOL", "PROTOCOL_STRUCT sCG_LOGIN_PROTOCOL[] = "},
      {"CG_LOGIN_REQ = 10,", "MAKE_PROTOCOL_INFO(CG_LOGIN_REQ , 10), "},
      {"enum eCW_CATEGORY", "PROTOCOL_STRUCT sCW_CATEGORY[] ="},
      {"enum eCW_CHAT_PROTOCOL", "PROTOCOL_STRUCT sCW_CHAT_PROTOCOL[] = "},
      {"\tCW_CHAT_SAY,", "\tMAKE_PROTOCOL_INFO(CW_CHAT_SAY), "},
      {"CW_LAST", "MAKE_PROTOCOL_INFO(CW_LAST"},
      {"// a, b = c", "// a),  b , c"},
      {"if (a == b)", "if (a ,, b)"},
      {"#define CG_MAX 5", "//#define MAKE_PROTOCOL_INFO(CG_MAX 5"},
      {"CG_PROTOCOL_VERSION = 3,", "MAKE_PROTOCOL_INFO(CG_PROTOCOL[] = _VERSION , 3), "},
      {"enum eCG_CATEGORY_PACK", "PROTOCOL_STRUCT sCG_CATEGORY_PACK[] ="},
      {"enum eCW_CATEGORY_PACK", "PROTOCOL_STRUCT sCW_CATEGORY_PACK[] ="},
      {"enum eCG_LOGIN_PROTOCOL_PACK", "PROTOCOL_STRUCT sCG_LOGIN_PROTOCOL[] = _PACK"},
      {"#include <stdint.h>", "#include <stdint.h>"},
      {"//#include \"Debug.h\"", "//#include \"Debug.h\""},
      {"# include <x>", "//# include <x>"},
      {"#include \"CG_Types.h\"", "#include \"MAKE_PROTOCOL_INFO(CG_Types.h\""},
      {"int a[2] = {1, 2}; // #1", "int a[2] , {1),  2MAKE_PROTOCOL_INFO_EOR() }; // //#1"},
      {"x}; y};", "xMAKE_PROTOCOL_INFO_EOR() }; yMAKE_PROTOCOL_INFO_EOR() };"},
  };
  for (const auto& line : lines) {
    EXPECT_EQ(line.out, Rewrite(line.in)) << "input: " << line.in;
  }
}

TEST(RewriteRules, WholeHeaderKeepsLineEndsAndEverythingElse) {
  const std::string input =
      "#pragma once\r\n"
      "\r\n"
      "enum eCW_CATEGORY\r\n"
      "{\r\n"
      "\tCW_CHAT = 1,\r\n"
      "};\r\n"
      "\r\n"
      "enum eCW_CHAT_PROTOCOL\n"
      "{\n"
      "\tCW_CHAT_SAY = 100,\t// say it\n"
      "\tCW_CHAT_WHISPER,\n"
      "};\n";
  const std::string expected =
      "//#pragma once\r\n"
      "\r\n"
      "PROTOCOL_STRUCT sCW_CATEGORY[] =\r\n"
      "{\r\n"
      "\tMAKE_PROTOCOL_INFO(CW_CHAT , 1), \r\n"
      "MAKE_PROTOCOL_INFO_EOR() };\r\n"
      "\r\n"
      "PROTOCOL_STRUCT sCW_CHAT_PROTOCOL[] = \n"
      "{\n"
      "\tMAKE_PROTOCOL_INFO(CW_CHAT_SAY , 100), \t// say it\n"
      "\tMAKE_PROTOCOL_INFO(CW_CHAT_WHISPER), \n"
      "MAKE_PROTOCOL_INFO_EOR() };\n";
  EXPECT_EQ(expected, Rewrite(input));
}

TEST(RewriteRules, TextWithoutPatternsComesBackAsTheSameBlock) {
  bool same = false;
  EXPECT_EQ("struct Point { int x; int y; }\n", Rewrite("struct Point { int x; int y; }\n", &same));
  EXPECT_TRUE(same);
  EXPECT_EQ("", Rewrite("", &same));
  EXPECT_TRUE(same);
}

}  // namespace
}  // namespace protowrap
