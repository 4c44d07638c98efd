// Tests of how the check finds the header's own directive on a line of the wrap header.
#include "check/header_mirror.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/lexer.h"
#include "tests/replace_reference.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {
namespace {

std::string Wrapped(std::string text) {
  for (const RewriteRule& rule : kRewriteRules) {
    if (rule.pattern != nullptr) {
      text = reference::ReplaceReference(text, rule.pattern,
                                         rule.replacement != nullptr ? rule.replacement : "");
    }
  }
  return text;
}

// The header's directive on the line of the wrap header where `at` stands, or "(none)".
std::string On(HeaderMirror& mirror, const std::string& wrap, const std::string& at,
               std::size_t from = 0) {
  std::string_view text;
  const auto offset = static_cast<std::int32_t>(wrap.find(at, from));
  return mirror.DirectiveOnLineOf(offset, &text) ? std::string(text) : "(none)";
}

TEST(HeaderMirror, FindsTheHeadersDirectiveOnTheWrapHeadersLine) {
  const std::string header =
      "#if A == 1\r\nint x = 2, y;\r#define B 'a,b' \\\n  + 1\n/*\n#if C\n*/\n  %:  define D\n"
      "int z; #define E\n#include \"e.h\"\n";
  const std::string wrap = Wrapped(header);
  HeaderMirror mirror(wrap.data(), static_cast<std::int32_t>(wrap.size()), header.data(),
                      static_cast<std::int32_t>(header.size()));
  ASSERT_TRUE(mirror.Available());
  EXPECT_EQ("if A == 1", On(mirror, wrap, "A ,, 1"));
  EXPECT_EQ("(none)", On(mirror, wrap, "int x"));
  EXPECT_EQ("define B 'a,b' \\\n  + 1", On(mirror, wrap, "B 'a"));
  EXPECT_EQ("(none)", On(mirror, wrap, "C\n"));  // a line inside the header's comment
  EXPECT_EQ("  define D", On(mirror, wrap, "define D"));
  EXPECT_EQ("(none)", On(mirror, wrap, "int z"));  // a '#' that begins no directive
  EXPECT_EQ("include \"e.h\"", On(mirror, wrap, "#include"));
  // An earlier line after a later one: the walk starts again.
  EXPECT_EQ("if A == 1", On(mirror, wrap, "//#if A"));
  EXPECT_EQ("  define D", On(mirror, wrap, "define D"));

  // A header whose first byte ends a line: after a later line, the walk counts that byte again.
  const std::string blank = "\n#if A\n#if B\n";
  const std::string blankWrap = Wrapped(blank);
  HeaderMirror again(blankWrap.data(), static_cast<std::int32_t>(blankWrap.size()), blank.data(),
                     static_cast<std::int32_t>(blank.size()));
  EXPECT_EQ("if B", On(again, blankWrap, "//#if B"));
  EXPECT_EQ("if A", On(again, blankWrap, "//#if A"));

  HeaderMirror without(wrap.data(), static_cast<std::int32_t>(wrap.size()), nullptr, 0);
  EXPECT_FALSE(without.Available());
  EXPECT_EQ("(none)", On(without, wrap, "A ,, 1"));
}

// The header's text of each directive of the wrap header, as HeaderDirective gives it, read from
// the header where `header` is given, else from the wrap header.
std::vector<std::string> Directives(const std::string& header, bool mirrored) {
  const std::string wrap = Wrapped(header);
  HeaderMirror mirror(wrap.data(), static_cast<std::int32_t>(wrap.size()), header.data(),
                      static_cast<std::int32_t>(mirrored ? header.size() : 0));
  Lexer lexer(wrap.data(), static_cast<std::int32_t>(wrap.size()));
  std::vector<std::string> out;
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    std::string_view directive;
    if ((t.kind == TokenKind::kCommentedDirective || t.kind == TokenKind::kDirective) &&
        HeaderDirective(mirrored ? &mirror : nullptr, wrap.data(), t, &scratch, &directive)) {
      out.emplace_back(directive);
    }
  }
  return out;
}

TEST(HeaderMirror, GivesEachDirectiveAsTheHeaderWroteItWithoutSplices) {
  // Line splices gone; a comment's "//#include" and a line inside a block comment no directive.
  const std::string header =
      "#define B 'a,b' \\\n  + 1\n#if A\\\r\n == 1\n// c\n//#include \"x.h\"\n/*\n#if C\n*/\n"
      "#include \"e.h\"\n";
  const std::vector<std::string> expected = {"define B 'a,b'   + 1", "if A == 1",
                                             "include \"e.h\""};
  EXPECT_EQ(expected, Directives(header, true));
  // Without the header, from the wrap header: its ',' and '=' as the rules wrote them (where a
  // ',' may have been either).
  EXPECT_EQ((std::vector<std::string>{"define B 'a), b'   + 1", "if A ,, 1", "include \"e.h\""}),
            Directives(header, false));
}

}  // namespace
}  // namespace protowrap::check
