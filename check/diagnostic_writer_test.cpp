// Tests of the warning lines' form where the buffer fills: a path longer than the buffer, and more
// warnings than it holds.
#include "check/diagnostic_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

}  // namespace
}  // namespace protowrap::check
