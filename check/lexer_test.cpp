// Tests of the check's lexer: literals, comments, directives and splices.
#include "check/lexer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "check/byte_runs.h"

namespace protowrap::check {
namespace {

// The tokens of `text` as "kind:text" strings (kinds: i n l p d c).
std::vector<std::string> Tokens(const std::string& text) {
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  std::vector<std::string> out;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    out.push_back(std::string(1, " inlpdc"[static_cast<int>(t.kind)]) + ":" +
                  std::string(lexer.TextOf(t)));
  }
  return out;
}

using V = std::vector<std::string>;

TEST(Lexer, LiteralsCommentsAndDirectives) {
  // A byte-order mark only at the very start; comments are skipped, a commented-out directive
  // at the start of a line is a token of its own, and so is an include.
  EXPECT_EQ((V{"i:a", "p:;"}), Tokens("\xEF\xBB\xBF"
                                      "a;"));
  EXPECT_EQ((V{"d:#include <a.h>", "c://#if 0", "i:x", "p:/", "p:/", "p:#"}),
            Tokens("#include <a.h>\n  //#if 0\nx /* //# */ / / #"));
  // After a block comment a commented-out directive stands at the start of a line where the
  // comment began there or ran over a line end, and not after other text on its line.
  EXPECT_EQ((V{"c://#if 0", "i:y"}), Tokens("/* c */ //#if 0\ny"));
  EXPECT_EQ((V{"i:x", "c://#if 0", "i:y"}), Tokens("x /* c\r\n */ //#if 0\ny"));
  EXPECT_EQ((V{"i:x", "i:y"}), Tokens("x /* c */ //#if 0\ny"));
  // Raw strings hold quotes, parentheses and line ends; a bad delimiter reads as a plain string.
  EXPECT_EQ((V{"l:R\"x(a \" ) \"\n)\" )x\"", "p:;"}), Tokens("R\"x(a \" ) \"\n)\" )x\";"));
  EXPECT_EQ((V{"l:u8R\"(\")\"", "i:b"}), Tokens("u8R\"(\")\" b"));
  EXPECT_EQ((V{"l:uR\"(\")\"", "l:UR\"(\")\"", "l:LR\"(\")\""}),
            Tokens("uR\"(\")\" UR\"(\")\" LR\"(\")\""));
  EXPECT_EQ((V{"i:R", "l:\"a b(\"", "i:c"}), Tokens("R\"a b(\" c"));
  EXPECT_EQ((V{"i:R", "l:\"a)b(\"", "i:c"}), Tokens("R\"a)b(\" c"));
  EXPECT_EQ((V{"i:R", "l:\"a\\(\"", "i:c"}), Tokens("R\"a\\(\" c"));
  EXPECT_EQ((V{"i:R", "l:\"a\"", "p:(", "i:x", "p:)", "i:a", "l:\"\""}), Tokens("R\"a\"(x)a\"\""));
  // A delimiter of 16 characters is the longest: one of 17 is none.
  const std::string d16(16, 'd');
  EXPECT_EQ((V{"l:R\"" + d16 + "(\")" + d16 + "\"", "i:b"}),
            Tokens("R\"" + d16 + "(\")" + d16 + "\" b"));
  EXPECT_EQ((V{"i:R", "l:\"" + d16 + "d(\"", "p:)"}), Tokens("R\"" + d16 + "d(\")"));
  // Numbers with separators and exponents; an unterminated string stops at its line end.
  EXPECT_EQ((V{"n:1'000", "n:0x1Fu", "n:1e+3", "p:-", "n:2"}), Tokens("1'000 0x1Fu 1e+3-2"));
  EXPECT_EQ((V{"n:1E-3", "n:0x1p+4", "n:0x1P-4", "n:.5e+1", "n:12", "p:+", "n:3"}),
            Tokens("1E-3 0x1p+4 0x1P-4 .5e+1 12+3"));
  EXPECT_EQ((V{"l:\"abc", "i:d"}), Tokens("\"abc\nd"));
}

// A block comment that the text ends inside, with or without a '*' in it: the lexer ends where
// the text does, and says where the comment opened. Each text lies in a block of its own size,
// so that the sanitizer runs catch a read past it.
TEST(Lexer, ATextThatEndsInsideACommentSaysWhereItOpened) {
  for (const std::string text : {"a /* b", "a /*", "a /* b * c", "a /* *", "a /* b *\\\n"}) {
    const std::unique_ptr<char[]> block(new char[text.size()]);
    std::copy(text.begin(), text.end(), block.get());
    Lexer lexer(block.get(), static_cast<std::int32_t>(text.size()));
    const Token a = lexer.Next();
    EXPECT_EQ(TokenKind::kIdentifier, a.kind) << text;
    EXPECT_EQ(TokenKind::kEnd, lexer.Next().kind) << text;
    EXPECT_EQ(2, lexer.UnclosedComment()) << text;
  }
  Lexer closed("a /* b */", 9);
  closed.Next();
  EXPECT_EQ(TokenKind::kEnd, closed.Next().kind);
  EXPECT_EQ(-1, closed.UnclosedComment());
}

// In a wrap header, the rules end a comment at "*//#"; where the header's own comment then never
// closes, it is still where the header opened it that the text ends inside.
TEST(Lexer, ACommentTheRulesEndedThatNeverClosesOpenedWhereTheHeaderOpenedIt) {
  const std::string text = "a /* b *//#c d";
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()), TextKind::kWrap);
  lexer.Next();
  const Token ended = lexer.Next();
  EXPECT_EQ(TokenKind::kEndedComment, ended.kind);
  EXPECT_EQ(TokenKind::kEnd, lexer.Next().kind);
  EXPECT_EQ(2, lexer.UnclosedComment());
  const std::string closed = "a /* b *//#c */ d";
  Lexer after(closed.data(), static_cast<std::int32_t>(closed.size()), TextKind::kWrap);
  after.Next();
  EXPECT_EQ(TokenKind::kEndedComment, after.Next().kind);
  EXPECT_EQ("d", after.TextOf(after.Next()));
  EXPECT_EQ(-1, after.UnclosedComment());
}

// A literal that the text ends inside runs to the text's end, and the lexer says so: a wrap
// header cut there by a NUL byte ends inside it. One closed on its line, or ended by its line's
// end, does not.
TEST(Lexer, ATextThatEndsInsideALiteralSaysSo) {
  for (const std::string text : {"a \"b c", "a 'b", "a \"b\\", "a \"b\\\n c"}) {
    const std::unique_ptr<char[]> block(new char[text.size()]);
    std::copy(text.begin(), text.end(), block.get());
    Lexer lexer(block.get(), static_cast<std::int32_t>(text.size()));
    lexer.Next();
    const Token literal = lexer.Next();
    EXPECT_EQ(TokenKind::kLiteral, literal.kind) << text;
    EXPECT_EQ(2, literal.begin) << text;
    EXPECT_EQ(static_cast<std::int32_t>(text.size()), literal.end) << text;
    EXPECT_EQ(TokenKind::kEnd, lexer.Next().kind) << text;
    EXPECT_TRUE(lexer.UnclosedLiteral()) << text;
  }
  for (const std::string text : {"a \"b\" c", "a 'b' c", "a \"b\nc", "a R\"x(b)x\" c"}) {
    Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
    while (lexer.Next().kind != TokenKind::kEnd) {
    }
    EXPECT_FALSE(lexer.UnclosedLiteral()) << text;
  }
  // A raw string whose delimiter never comes back, or comes back without its quote, runs on to
  // the end of the text, past line ends and other ')'.
  EXPECT_EQ((V{"i:a", "l:R\"x(b\n)y\" )x c"}), Tokens("a R\"x(b\n)y\" )x c"));
  EXPECT_EQ((V{"l:R\"x(b"}), Tokens("R\"x(b"));
}

TEST(Lexer, EveryLineEndEndsALineComment) {
  // LF, CR LF and a lone CR end comments; a backslash continues one onto the next line.
  for (const char* end : {"\n", "\r\n", "\r"}) {
    const std::string e = end;
    EXPECT_EQ((V{"i:a", "i:b"}), Tokens("a // x" + e + "b")) << e.size();
    EXPECT_EQ((V{"i:a"}), Tokens("a // x\\" + e + "b")) << e.size();
    EXPECT_EQ((V{"c://#endif", "d:#include x"}), Tokens("//#endif" + e + "#include x"));
  }
  EXPECT_EQ(9, FindLineEnd("abcdefghi\rjkl", 13, 0));
  // Past a line end: CR LF as one, also at the text's very end; a CR or LF alone.
  EXPECT_EQ(3, SkipLineEnd("a\r\n", 3, 1));
  EXPECT_EQ(3, SkipLineEnd("a\r\nb", 4, 1));
  EXPECT_EQ(2, SkipLineEnd("a\r\r", 3, 1));
  EXPECT_EQ(2, SkipLineEnd("a\n\r", 3, 1));
  EXPECT_EQ(3, SkipLineEnd("a\r\n", 3, 3));
  // A splice right after the "//" carries the comment on too, in a directive as well.
  EXPECT_EQ((V{"i:a", "i:c"}), Tokens("a //\\\nb\nc"));
  EXPECT_EQ((V{"d:#define A 1 //\\\nB", "i:c"}), Tokens("#define A 1 //\\\nB\nc"));
  // A backslash with blanks before the line end splices too, as in the compilers.
  EXPECT_EQ((V{"i:a"}), Tokens("a // x\\ \t\nb"));
  // A comment that a backslash, or a splice, ends with the text ends at the text's end.
  EXPECT_EQ(7, LineCommentEnd("a // x\\", 7, 4));
  EXPECT_EQ(8, LineCommentEnd("a // x\\\n", 8, 4));
  EXPECT_EQ(8, LineCommentEnd("a // x\\\nb", 8, 4));  // a part of a longer text
}

TEST(Lexer, SplicesAndCommentsWhereTheCompilersSeeThem) {
  // Between tokens a splice is nothing; inside one it joins the token's two halves.
  EXPECT_EQ((V{"i:a", "i:b"}), Tokens("a \\\r\n b"));
  EXPECT_EQ((V{"i:CG_\\\nA", "p:,"}), Tokens("CG_\\\nA,"));
  EXPECT_EQ((V{"n:12\\\n34"}), Tokens("12\\\n34"));
  // A number goes on over a splice with its '.' or digit separator; a name does not.
  EXPECT_EQ((V{"n:1\\\n'000"}), Tokens("1\\\n'000"));
  EXPECT_EQ((V{"n:1\\\n.5"}), Tokens("1\\\n.5"));
  EXPECT_EQ((V{"i:a", "p:."}), Tokens("a\\\n."));
  // A splice followed by no identifier byte, or by the end of the text, ends the token before it.
  EXPECT_EQ((V{"i:a", "p:,"}), Tokens("a\\\n,"));
  EXPECT_EQ((V{"n:1", "p:+"}), Tokens("1\\\r\n+"));
  EXPECT_EQ((V{"i:a"}), Tokens("a\\\n"));
  EXPECT_EQ((V{"p:\\", "i:x"}), Tokens("\\ x"));  // a backslash with no line end: a token
  // A text that ends right after a backslash ends there, though a line end follows in memory.
  const std::string more = "x \\\n";
  Lexer part(more.data(), 3);
  EXPECT_EQ(TokenKind::kIdentifier, part.Next().kind);
  EXPECT_EQ("\\", part.TextOf(part.Next()));
  EXPECT_EQ(TokenKind::kEnd, part.Next().kind);
  // A literal in a directive hides a comment's opening.
  EXPECT_EQ((V{"d:#define A \"/*\"", "i:x", "p:;"}), Tokens("#define A \"/*\"\nx; /* */"));
  // A directive runs on over a block comment that it opens after an empty literal.
  EXPECT_EQ((V{"d:#define E \"\" /* a\n b */ x", "i:y"}),
            Tokens("#define E \"\" /* a\n b */ x\ny"));
  // An include runs on over a block comment that it opens, to the end of the comment's line.
  EXPECT_EQ((V{"d:#include <a.h> /* one\n two */ x", "i:y"}),
            Tokens("#include <a.h> /* one\n two */ x\ny"));
  // A commented-out directive ends at its line end, unless a splice carries it on.
  EXPECT_EQ((V{"c://#define A \\\n 1", "i:z"}), Tokens("//#define A \\\n 1\nz"));
  EXPECT_EQ(13, FindLineEnd("abcdefghijklm", 13, 2));
}

TEST(Lexer, RunsOfIdentifierBytesBlanksAndLinesManyBytesAtATime) {
  // Every byte value, and runs of every length around the eight-byte steps, against the table
  // that classes bytes one at a time.
  std::string text;
  for (int c = 0; c < 256; ++c) {
    text += static_cast<char>(c);
    text += "a_$9Z\x80\t \v\f";
  }
  std::mt19937 random(2026);
  const char kPieces[] = "aZ_$09\x80\xFF \t\v\f\r\n/@[`{:~\x7F";
  for (int i = 0; i < 4000; ++i) {
    text += kPieces[random() % (sizeof kPieces - 1)];
  }
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t at = 0; at < length; ++at) {
    // Ends inside, at and beyond a step of eight or sixteen bytes.
    for (const std::int32_t step : {3, 9, 15, 16, 17, 33, length}) {
      const std::int32_t end = std::min(length, at + step);
      std::int32_t identifier = at;
      while (identifier < end && IsIdentifierByte(text[static_cast<std::size_t>(identifier)])) {
        ++identifier;
      }
      std::int32_t blanks = at;
      while (blanks < end && IsBlank(text[static_cast<std::size_t>(blanks)])) {
        ++blanks;
      }
      ASSERT_EQ(identifier, IdentifierEnd(text.data(), at, end)) << at;
      ASSERT_EQ(blanks, BlanksEnd(text.data(), at, end)) << at;
      const std::size_t lineEnd = text.find_first_of("\r\n", static_cast<std::size_t>(at));
      ASSERT_EQ(
          std::min(end, lineEnd == std::string::npos ? end : static_cast<std::int32_t>(lineEnd)),
          LineEndFrom(text.data(), at, end))
          << at;
    }
  }
}

}  // namespace
}  // namespace protowrap::check
