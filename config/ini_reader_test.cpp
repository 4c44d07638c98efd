// Tests of reading values out of INI bytes, as the Win32 lookup reads them.
#include "config/ini_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace protowrap::config {
namespace {

using namespace std::string_literals;

// The value of `key` in section CONFIG of `ini`, as the program would receive it. The text is
// also fed to a reader in pieces of several sizes, where a reader that streams could break: every
// way must give the same answer, and nothing may land past the buffer. Each piece is followed in
// memory by a line end that is not part of the text, so that a reader that reads past a piece
// ends a line there and answers differently.
std::string Lookup(const std::string& ini, const char* key = "CG_FILE_PATH",
                   std::uint32_t size = 512) {
  std::string buffer(size + 8, '#');
  IniReader whole_text("CONFIG", key, buffer.data(), size);
  whole_text.Feed(ini.data(), ini.size());
  const std::uint32_t length = whole_text.Finish("");
  EXPECT_EQ(length, std::char_traits<char>::length(buffer.c_str()));
  EXPECT_EQ(std::string(8, '#'), buffer.substr(size));
  const std::string whole = buffer.c_str();
  for (const std::size_t piece : std::initializer_list<std::size_t>{1, 2, 3, 7, 64}) {
    std::string pieced(size + 8, '#');
    IniReader reader("CONFIG", key, pieced.data(), size);
    for (std::size_t at = 0; at < ini.size(); at += piece) {
      const std::string trapped = ini.substr(at, piece) + '\n';
      if (!reader.Feed(trapped.data(), trapped.size() - 1)) {
        break;
      }
    }
    EXPECT_EQ(length, reader.Finish(""));
    EXPECT_EQ(whole, pieced.c_str()) << "in pieces of " << piece;
    EXPECT_EQ(std::string(8, '#'), pieced.substr(size));
  }
  return whole;
}

// Lookups and the values they must give.
struct Case {
  std::string value;
  std::string ini;
  const char* key = "CG_FILE_PATH";
};
void ExpectLookups(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(c.value, Lookup(c.ini, c.key)) << c.ini;
  }
}

// `text` as UTF-16 with its mark, little- or big-endian.
std::string Utf16(const std::u16string& text, bool bigEndian = false) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(IniReader, SectionsKeysAndLineEnds) {
  ExpectLookups({
      {"a.h", "[CONFIG]\nCG_FILE_PATH=a.h\n"},
      {"a.h", "[CONFIG]\r\nCG_FILE_PATH=a.h\r\n"},
      {"a.h", "[CONFIG]\rCG_FILE_PATH=a.h\rCW_FILE_PATH=b.h"},
      {"b.h", "[CONFIG]\rCG_FILE_PATH=a.h\rCW_FILE_PATH=b.h", "CW_FILE_PATH"},
      {"a.h", "[CONFIG]\nCG_FILE_PATH=a.h"},  // no final line end
      {"a.h", "  \t[ config ]  junk\n\t cg_file_path \t=\t a.h \t\n"},
      {"", "[OTHER]\nCG_FILE_PATH=a.h\n"},
      {"", "CG_FILE_PATH=a.h\n[CONFIG]\n"},  // before any section
      {"", ""},
      {"a.h", "[X]\nCG_FILE_PATH=c.h\n[CONFIG]\nCG_FILE_PATH=a.h\n[Y]\n"},
  });
}

TEST(IniReader, FirstSectionAndFirstKeyWin) {
  ExpectLookups({
      {"a.h", "[CONFIG]\nCG_FILE_PATH=a.h\nCG_FILE_PATH=b.h\n"},
      {"", "[CONFIG]\nX=1\n[CONFIG]\nCG_FILE_PATH=b.h\n"},
      {"a.h", "[A]\nCG_FILE_PATH=x\n[Config]\nCG_FILE_PATH=a.h\n[B]\n"},
      // A '[' line without ']' starts no section: it is a key line of the current one.
      {"a.h", "[CONFIG]\n[oops\nCG_FILE_PATH=a.h\n"},
      {"x]", "[CONFIG]\nCG_FILE_PATH=x]\n"},
      // A section name runs to the last ']' of its line.
      {"", "[CONFIG]]\nCG_FILE_PATH=a.h\n"},
      {"", "[CONFIG] ; [note]\nCG_FILE_PATH=a.h\n"},
  });
}

TEST(IniReader, CommentsQuotesAndOddValues) {
  ExpectLookups({
      {"", "[CONFIG]\n;CG_FILE_PATH=a.h\n"},
      {"a.h", "[CONFIG]\n  ; note\nCG_FILE_PATH=a.h\n"},
      {"x", "[CONFIG]\n#CG_FILE_PATH=y\nCG_FILE_PATH=x\n#CG_FILE_PATH=z\n"},
      {"x", "[CONFIG]\n#KEY=y\nCG_FILE_PATH=x\n", "CG_FILE_PATH"},
      {"y", "[CONFIG]\n#KEY=y\n", "#KEY"},
      {"", "[CONFIG]\n;KEY=y\n", ";KEY"},
      {"./a.h ; note", "[CONFIG]\nCG_FILE_PATH=./a.h ; note\n"},
      {"a=b==c", "[CONFIG]\nCG_FILE_PATH = a=b==c\n"},
      {"", "[CONFIG]\nCG_FILE_PATH\n"},
      {"", "[CONFIG]\nCG_FILE_PATH=\n"},
      {" a b ", "[CONFIG]\nCG_FILE_PATH=\" a b \"\n"},
      {"a", "[CONFIG]\nCG_FILE_PATH='a'\n"},
      {"", "[CONFIG]\nCG_FILE_PATH=\"\"\n"},
      {"\"", "[CONFIG]\nCG_FILE_PATH=\"\n"},
      {"\"a'", "[CONFIG]\nCG_FILE_PATH=\"a'\n"},
      {"ab", std::string("[CONFIG]\nCG_FILE_PATH=ab\0cd\n", 26)},
      {"\"ab", std::string("[CONFIG]\nCG_FILE_PATH=\"ab\0c\"\n", 28)},
      {"'a' ", "[CONFIG]\nCG_FILE_PATH='a' \0'\n"s},  // the blank before a NUL stays
      {"\xC3\xA9/\x80\xFF.h", "[CONFIG]\nCG_FILE_PATH=\xC3\xA9/\x80\xFF.h\n"},
  });
}

TEST(IniReader, SkippedLinesThatRunToThePiecesEnd) {
  // A comment, another section's line and another key's value, whose tails look like what the
  // lookup wants: in pieces of every size above, each of these lines runs to a piece's end.
  const std::string filler(70, 'c');
  for (std::size_t cut = 0; cut < 9; ++cut) {
    const std::string pad(cut, 'p');
    ExpectLookups({
        {"right", "[CONFIG]\n;" + pad + filler + "CG_FILE_PATH=wrong\nCG_FILE_PATH=right\n"},
        {"right", "[OTHER]\nX" + pad + filler + "[CONFIG]\nCG_FILE_PATH=wrong\n[CONFIG]\n" +
                      "CG_FILE_PATH=right\n"},
        {"right", "[CONFIG]\nCW_FILE_PATH=" + pad + filler + "CG_FILE_PATH=wrong\n" +
                      "CG_FILE_PATH=right\n"},
    });
  }
}

TEST(IniReader, ABufferOfNoBytesTakesNothing) {
  // With no room, the length is 0 and the buffer untouched, found or defaulted.
  char buffer[4] = {'#', '#', '#', '#'};
  const std::string ini = "[CONFIG]\nCG_FILE_PATH=a.h\n";
  for (const char* key : {"CG_FILE_PATH", "CW_FILE_PATH"}) {
    IniReader reader("CONFIG", key, buffer, 0);
    reader.Feed(ini.data(), ini.size());
    EXPECT_EQ(0u, reader.Finish("default"));
    EXPECT_EQ(std::string(4, '#'), std::string(buffer, 4)) << key;
  }
}

TEST(IniReader, ValuesAreCutToTheBuffer) {
  const std::string ini = "[CONFIG]\nCG_FILE_PATH=" + std::string(600, 'v') + "\n";
  EXPECT_EQ(std::string(511, 'v'), Lookup(ini));
  EXPECT_EQ(std::string(511, 'v'), Lookup("[CONFIG]\nCG_FILE_PATH=" + std::string(511, 'v')));
  EXPECT_EQ("abc", Lookup("[CONFIG]\nCG_FILE_PATH=abcdef\n", "CG_FILE_PATH", 4));
  // Quoted: the closing quote is dropped only when everything up to it fitted.
  EXPECT_EQ("abc", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 5));
  EXPECT_EQ("ab", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 4));
  EXPECT_EQ("ab", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 3));
}

TEST(IniReader, ByteOrderMarksAndUtf16) {
  EXPECT_EQ("a.h", Lookup("\xEF\xBB\xBF[CONFIG]\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("", Lookup("\xEF\xBB"));  // too short for a mark: just bytes
  EXPECT_EQ("\xEF\xBB", Lookup("[CONFIG]\nCG_FILE_PATH=\xEF\xBB"));
  // Bytes that begin like a mark and go on otherwise are a first line like any other.
  for (const char* start : {"\xEF", "\xEF\xBB", "\xEF\xFE", "\xEF\xBB\xFE", "\xFF", "\xFF\xFF",
                            "\xFE", "\xFE\xFE", "\xFF\xBB\xBF", "\xFE\xBB\xBF", "\xFF\xFF\xFE"}) {
    EXPECT_EQ("a.h", Lookup(std::string(start) + "x\n[CONFIG]\nCG_FILE_PATH=a.h\n")) << start;
    EXPECT_EQ("", Lookup(std::string(start) + "[CONFIG]\nCG_FILE_PATH=a.h\n")) << start;
  }
  // The first two bytes decide between a UTF-16 mark and none: a long run of bytes that could
  // begin one is a line of bytes, held back no longer than a mark's length.
  for (const char run : {'\xFE', '\xFF'}) {
    EXPECT_EQ("a.h", Lookup(std::string(64, run) + "x\n[CONFIG]\nCG_FILE_PATH=a.h\n"));
  }
  const std::u16string ascii = u"[CONFIG]\r\nCG_FILE_PATH=dir/a.h\r\n";
  EXPECT_EQ("dir/a.h", Lookup(Utf16(ascii)));
  EXPECT_EQ("dir/a.h", Lookup(Utf16(ascii, true)));
  // In UTF-16 too, only the section's lines count, and a comment is none of them.
  EXPECT_EQ("a.h", Lookup(Utf16(u"[X]\nCG_FILE_PATH=x.h\n[CONFIG]\n;CG_FILE_PATH=c.h\n"
                                u"CG_FILE_PATH=a.h\n")));
  EXPECT_EQ("", Lookup(Utf16(u"CG_FILE_PATH=x.h\n[CONFIG]\n;KEY=y\n"), ";KEY"));
  // Without its mark a UTF-16 text is just bytes with NULs in them.
  EXPECT_EQ("", Lookup(Utf16(ascii).substr(2)));
  // Other characters arrive in UTF-8, those outside the basic plane (surrogate pairs) too.
  const std::u16string names = u"[CONFIG]\nCG_FILE_PATH=./\u00e9/\u20ac\U0001F600.h\n";
  EXPECT_EQ("./\xC3\xA9/\xE2\x82\xAC\xF0\x9F\x98\x80.h", Lookup(Utf16(names)));
  EXPECT_EQ("./\xC3\xA9/\xE2\x82\xAC\xF0\x9F\x98\x80.h", Lookup(Utf16(names, true)));
  // The first and last character of each length in UTF-8, every bit of each byte set somewhere.
  EXPECT_EQ(
      "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xAF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\xF0\x9F\x99"
      "\x80",
      Lookup(
          Utf16(u"[CONFIG]\nCG_FILE_PATH=\x7F\x80\x7FF\x800\xFFEF\U00010000\U0010FFFF\U0001F640")));
  EXPECT_EQ("\xC3\xA9\xC3", Lookup(Utf16(u"[CONFIG]\nCG_FILE_PATH=\u00e9\u00e9"), "CG_FILE_PATH",
                                   4));  // cut at 3 bytes of UTF-8
  // A value with an unpaired surrogate is missing; one elsewhere does not matter.
  for (const std::u16string bad : {u"\xD800", u"\xDC00", u"\xD800x", u"a\xDBFF"}) {
    EXPECT_EQ("", Lookup(Utf16(u"[CONFIG]\nCG_FILE_PATH=a" + bad + u".h\n")));
    EXPECT_EQ("", Lookup(Utf16(u"[CONFIG]\nCG_FILE_PATH=a" + bad)));
    EXPECT_EQ("a.h", Lookup(Utf16(u"[CONFIG]\nCW_FILE_PATH=" + bad + u"\nCG_FILE_PATH=a.h")));
  }
  EXPECT_EQ("a", Lookup(Utf16(u"[CONFIG]\nCG_FILE_PATH=a\0\xD800\n")));  // after its end
}

TEST(IniReader, LongLinesAndNamesOfAnyLength) {
  const std::string junk(100000, 'j');
  EXPECT_EQ("a.h", Lookup(junk + "\n[" + junk + "]\n[CONFIG]\n" + junk + "=" + junk +
                          "\nCG_FILE_PATH" + std::string(5000, ' ') + "=a.h\n"));
  EXPECT_EQ("", Lookup("[CONFIG]\nCG_FILE_PATHX=a.h\nCG_FILE_PAT=b.h\nCG_FILE_PATH X=c.h\n"));
  EXPECT_EQ("", Lookup("[CONFIGX]\nCG_FILE_PATH=a.h\n[CONFI]\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("a.h", Lookup("[CONFIG\0junk]\nCG_FILE_PATH\0junk=a.h\n"s));
  EXPECT_EQ("", Lookup("[CONFIG \0]\nCG_FILE_PATH=a.h\n"s));
  EXPECT_EQ("v   w", Lookup("[CONFIG]\nCG_FILE_PATH=v   w" + std::string(100000, ' ') + "\n"));
}

}  // namespace
}  // namespace protowrap::config
