// Tests of what a directive's block comment shows as code in a wrap header.
#include "check/exposed_comment.h"

#include <gtest/gtest.h>

#include <string>

namespace protowrap::check {
namespace {

// What each commented-out directive of the wrap text `wrap` shows: "first..end" as offsets, or
// "-" for nothing, one per directive.
std::string Shown(const std::string& wrap) {
  ExposedComments comments(wrap.data(), static_cast<std::int32_t>(wrap.size()));
  Lexer lexer(wrap.data(), static_cast<std::int32_t>(wrap.size()), TextKind::kWrap);
  std::string shown;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kCommentedDirective) {
      const Exposed e = comments.Of(t);
      shown += shown.empty() ? "" : " ";
      if (e.first < 0) {
        shown += "-";
      } else {
        shown += std::to_string(e.first);
        shown += "..";
        shown += std::to_string(e.end);
      }
    }
  }
  return shown;
}

std::string Span(const std::string& wrap, const std::string& first, const std::string& close,
                 std::size_t from = 0) {
  return std::to_string(wrap.find(first, from)) + ".." +
         std::to_string(wrap.find(close, from) + close.size());
}

TEST(ExposedComments, ACommentADirectiveOpensShowsItsNextLinesAsCode) {
  const std::string one = "//#define A 1 /* the first\n   and the next */\nint x;\n";
  EXPECT_EQ(Span(one, "and", "*/"), Shown(one));
  // Closed on its line, or no comment at all: nothing shows.
  EXPECT_EQ("- -", Shown("//#define A /* one */ 1\n//#endif\nint x;\n"));
  // An include's comment is the compilers' as it stands.
  EXPECT_EQ("", Shown("#include \"a.h\" /* a\n b */\n"));
  // Nor does a header's own line comment that held "#include" (now "//#include" again).
  EXPECT_EQ("-", Shown("//#include \"old.h\" /* a\n b */ int x;\n"));
  // A "*//#" that the rules wrote from "*#" does not close it; the header's own "*/" does.
  const std::string hash = "//#if 1 /* a\n *//#x\n b */\n";
  EXPECT_EQ(std::to_string(hash.find("*//#")) + ".." + std::to_string(hash.rfind("*/") + 2),
            Shown(hash));
  // A comment that never closes shows nothing: the compilers blame where it opens.
  EXPECT_EQ("-", Shown("//#define A /* open\nint x;\n"));
}

// A directive inside the stretch of an earlier one's comment ends where that comment ends.
TEST(ExposedComments, DirectivesInOneStretchShareItsEnd) {
  const std::string wrap = "//#if 1 /* a\n//#define B /* b\n x */ int y;\n//#endif\n";
  const std::string span = Span(wrap, "x */", "*/");
  EXPECT_EQ(span + " " + span + " -", Shown(wrap));
}

}  // namespace
}  // namespace protowrap::check
