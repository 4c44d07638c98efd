// Tests of the warning lines' form where the buffer fills: a path longer than the buffer, and more
// warnings than it holds.
#include "check/diagnostic_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace protowrap::check {
namespace {

constexpr std::string_view kMissingComma =
    ": warning: the enumerator has no comma after it, so its MAKE_PROTOCOL_INFO( entry is never "
    "closed; ";

// What the writer wrote to a file, once it is gone.
template <typename Write>
std::string Written(Write write) {
  std::FILE* file = std::tmpfile();
  EXPECT_NE(nullptr, file);
  write(file);
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  EXPECT_EQ(text.size(), std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

TEST(DiagnosticWriter, APathLongerThanItsBufferIsWrittenWholeAndInOrder) {
  const std::string path = "./" + std::string(40000, 'd') + "/h.h";
  const std::string text = Written([&](std::FILE* file) {
    DiagnosticWriter writer(file, DiagnosticForm::kGcc, path);
    writer.WriteWarning(3, 5, HeaderProblem::kMissingComma);
    writer.WriteWarning(4, 0, HeaderProblem::kMissingComma, "USE_OLD");
  });
  const std::size_t second = text.find('\n') + 1;
  EXPECT_EQ(path + ":3:5" + std::string(kMissingComma),
            text.substr(0, path.size() + 4 + kMissingComma.size()));
  EXPECT_EQ(path + ":4: warning: in a build that defines USE_OLD, the enumerator",
            text.substr(second, path.size() + 60));
  EXPECT_EQ("[PW001]\n", text.substr(text.size() - 8));
}

TEST(DiagnosticWriter, MoreWarningsThanItsBufferHoldsComeOutInOrder) {
  const std::string text = Written([](std::FILE* file) {
    DiagnosticWriter writer(file, DiagnosticForm::kMsBuild, "h.h");
    for (int line = 1; line <= 2000; ++line) {
      writer.WriteWarning(line, 2, HeaderProblem::kMissingComma);
    }
  });
  std::size_t at = 0;
  for (int line = 1; line <= 2000; ++line) {
    const std::string head = "h.h(" + std::to_string(line) + ",2): warning PW001: the enumerator";
    ASSERT_EQ(head, text.substr(at, head.size())) << line;
    at = text.find('\n', at) + 1;
  }
  EXPECT_EQ(text.size(), at);
}

// A warning whose last byte finds the buffer exactly full: that byte comes out too, after the
// rest. The paths' lengths go over every place of the last bytes around the buffer's end.
TEST(DiagnosticWriter, AWarningThatFillsItsBufferToTheLastByteComesOutWhole) {
  const auto one = [](const std::string& path) {
    return Written([&](std::FILE* file) {
      DiagnosticWriter writer(file, DiagnosticForm::kMsBuild, path);
      writer.WriteWarning(3, 5, HeaderProblem::kMissingComma);
    });
  };
  const std::string shortOne = one("h");
  const std::size_t rest = shortOne.size() - 1;  // all but the path's one byte
  for (std::size_t length = 16 * 1024 - rest - 2; length <= 16 * 1024 - rest + 3; ++length) {
    const std::string path(length, 'p');
    EXPECT_EQ(path + shortOne.substr(1), one(path)) << length;
  }
}

// Each form names the code where its readers look for it, three digits whatever the code; a
// warning without a place (the check could not run) names only the file.
TEST(DiagnosticWriter, EveryFormNamesTheCodeInThreeDigits) {
  const std::string text = Written([](std::FILE* file) {
    DiagnosticWriter gcc(file, DiagnosticForm::kGcc, "h.h");
    gcc.WriteWarning(7, 0, HeaderProblem::kOther);
    gcc.WriteWarning(0, 0, HeaderProblem::kNotChecked);
    gcc.Finish();
    DiagnosticWriter msbuild(file, DiagnosticForm::kMsBuild, "h.h");
    msbuild.WriteWarning(8, 3, HeaderProblem::kNoClosingEntry);
    msbuild.WriteWarning(0, 0, HeaderProblem::kNotChecked);
  });
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    lines.push_back(text.substr(at, text.find('\n', at) - at));
  }
  ASSERT_EQ(4u, lines.size()) << text;
  EXPECT_EQ("h.h:7: warning: ", lines[0].substr(0, 16));
  EXPECT_EQ(" [PW099]", lines[0].substr(lines[0].size() - 8));
  EXPECT_EQ("h.h: warning: ", lines[1].substr(0, 14));
  EXPECT_EQ(" [PW100]", lines[1].substr(lines[1].size() - 8));
  EXPECT_EQ("h.h(8,3): warning PW024: ", lines[2].substr(0, 25));
  EXPECT_EQ("h.h: warning PW100: ", lines[3].substr(0, 20));
}

}  // namespace
}  // namespace protowrap::check
