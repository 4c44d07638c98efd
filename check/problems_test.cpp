// Tests that the README's and the manual page's warnings say what the program says.
#include "check/problems.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace protowrap::check {
namespace {

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Code(int code) {
  char text[8];
  std::snprintf(text, sizeof text, "PW%03d", code);
  return text;
}

// The problems are written once, in the program; the README's table of warnings and the manual
// page's list must say the same, word for word, and name no other code.
TEST(Problems, TheReadmeAndTheManualPageSayWhatTheProgramSays) {
  const std::string readme = Read(PROTOWRAP_SOURCE_DIR "/README.md");
  const std::string manual = Read(PROTOWRAP_SOURCE_DIR "/docs/protowrap.1");
  ASSERT_FALSE(readme.empty());
  ASSERT_FALSE(manual.empty());
  int known = 0;
  for (int code = 1; code < kProblemCodes; ++code) {
    const auto problem = static_cast<HeaderProblem>(code);
    const ProblemText& text = DescribeProblem(problem);
    const bool isKnown = text.problem == problem;
    known += isKnown ? 1 : 0;
    const std::string row =
        "| " + Code(code) + " | " + text.what + " | " + text.instead + " | " + text.seen + " |\n";
    std::string entry = std::string(text.what) + "; " + text.instead + ".";
    if (entry[0] == '\'') {
      entry = "\\&" + entry;  // a line may not begin with a quote in a manual page
    }
    if (isKnown) {
      EXPECT_NE(std::string::npos, readme.find(row)) << Code(code);
      EXPECT_NE(std::string::npos, manual.find(".B " + Code(code) + "\n" + entry + "\n"))
          << Code(code);
    } else {
      EXPECT_EQ(std::string::npos, readme.find("| " + Code(code) + " |")) << Code(code);
      EXPECT_EQ(std::string::npos, manual.find(".B " + Code(code) + "\n")) << Code(code);
    }
  }
  // Every row of the README's table is a problem the program knows.
  int rows = 0;
  for (std::size_t at = readme.find("\n| PW"); at != std::string::npos;
       at = readme.find("\n| PW", at + 1)) {
    ++rows;
  }
  EXPECT_EQ(rows, known);
}

}  // namespace
}  // namespace protowrap::check
