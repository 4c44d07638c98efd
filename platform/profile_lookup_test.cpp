#include "platform/profile_lookup.h"

#include <gtest/gtest.h>

#include <string>

namespace protowrap::platform {
namespace {

// The value of `key` in section CONFIG of `ini`, as the program would receive it.
std::string Lookup(const std::string& ini, const char* key = "CG_FILE_PATH",
                   std::uint32_t size = 512) {
  std::string buffer(size + 8, '#');
  const std::uint32_t length =
      LookupProfileValue(ini.data(), ini.size(), "CONFIG", key, "", buffer.data(), size);
  EXPECT_EQ(length, std::char_traits<char>::length(buffer.c_str()));
  return buffer.c_str();
}

TEST(LookupProfileValue, SectionsKeysAndLineEnds) {
  EXPECT_EQ("a.h", Lookup("[CONFIG]\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("a.h", Lookup("[CONFIG]\r\nCG_FILE_PATH=a.h\r\n"));
  EXPECT_EQ("a.h", Lookup("[CONFIG]\rCG_FILE_PATH=a.h\rCW_FILE_PATH=b.h"));
  EXPECT_EQ("b.h", Lookup("[CONFIG]\rCG_FILE_PATH=a.h\rCW_FILE_PATH=b.h", "CW_FILE_PATH"));
  EXPECT_EQ("a.h", Lookup("[CONFIG]\nCG_FILE_PATH=a.h"));  // no final line end
  EXPECT_EQ("a.h", Lookup("  \t[ config ]  junk\n\t cg_file_path \t=\t a.h \t\n"));
  EXPECT_EQ("", Lookup("[OTHER]\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("", Lookup("CG_FILE_PATH=a.h\n[CONFIG]\n"));  // before any section
  EXPECT_EQ("", Lookup(""));
  EXPECT_EQ("a.h", Lookup("[X]\nCG_FILE_PATH=c.h\n[CONFIG]\nCG_FILE_PATH=a.h\n[Y]\n"));
}

TEST(LookupProfileValue, FirstSectionAndFirstKeyWin) {
  EXPECT_EQ("a.h", Lookup("[CONFIG]\nCG_FILE_PATH=a.h\nCG_FILE_PATH=b.h\n"));
  EXPECT_EQ("", Lookup("[CONFIG]\nX=1\n[CONFIG]\nCG_FILE_PATH=b.h\n"));
  EXPECT_EQ("a.h", Lookup("[A]\nCG_FILE_PATH=x\n[Config]\nCG_FILE_PATH=a.h\n[B]\n"));
  // A '[' line without ']' starts no section: it is a key line of the current one.
  EXPECT_EQ("a.h", Lookup("[CONFIG]\n[oops\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("x]", Lookup("[CONFIG]\nCG_FILE_PATH=x]\n"));
  // A section name runs to the last ']' of its line.
  EXPECT_EQ("", Lookup("[CONFIG]]\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("", Lookup("[CONFIG] ; [note]\nCG_FILE_PATH=a.h\n"));
}

TEST(LookupProfileValue, CommentsQuotesAndOddValues) {
  EXPECT_EQ("", Lookup("[CONFIG]\n;CG_FILE_PATH=a.h\n"));
  EXPECT_EQ("a.h", Lookup("[CONFIG]\n  ; note\nCG_FILE_PATH=a.h\n"));
  EXPECT_EQ("x", Lookup("[CONFIG]\n#CG_FILE_PATH=y\nCG_FILE_PATH=x\n#CG_FILE_PATH=z\n"));
  EXPECT_EQ("x", Lookup("[CONFIG]\n#KEY=y\nCG_FILE_PATH=x\n", "CG_FILE_PATH"));
  EXPECT_EQ("y", Lookup("[CONFIG]\n#KEY=y\n", "#KEY"));
  EXPECT_EQ("./a.h ; note", Lookup("[CONFIG]\nCG_FILE_PATH=./a.h ; note\n"));
  EXPECT_EQ("a=b==c", Lookup("[CONFIG]\nCG_FILE_PATH = a=b==c\n"));
  EXPECT_EQ("", Lookup("[CONFIG]\nCG_FILE_PATH\n"));
  EXPECT_EQ("", Lookup("[CONFIG]\nCG_FILE_PATH=\n"));
  EXPECT_EQ(" a b ", Lookup("[CONFIG]\nCG_FILE_PATH=\" a b \"\n"));
  EXPECT_EQ("a", Lookup("[CONFIG]\nCG_FILE_PATH='a'\n"));
  EXPECT_EQ("", Lookup("[CONFIG]\nCG_FILE_PATH=\"\"\n"));
  EXPECT_EQ("\"", Lookup("[CONFIG]\nCG_FILE_PATH=\"\n"));
  EXPECT_EQ("\"a'", Lookup("[CONFIG]\nCG_FILE_PATH=\"a'\n"));
  EXPECT_EQ("ab", Lookup(std::string("[CONFIG]\nCG_FILE_PATH=ab\0cd\n", 26)));
  EXPECT_EQ("\"ab", Lookup(std::string("[CONFIG]\nCG_FILE_PATH=\"ab\0c\"\n", 28)));
  EXPECT_EQ("\xC3\xA9/\x80\xFF.h", Lookup("[CONFIG]\nCG_FILE_PATH=\xC3\xA9/\x80\xFF.h\n"));
}

TEST(LookupProfileValue, ValuesAreCutToTheBuffer) {
  const std::string ini = "[CONFIG]\nCG_FILE_PATH=" + std::string(600, 'v') + "\n";
  EXPECT_EQ(std::string(511, 'v'), Lookup(ini));
  EXPECT_EQ(std::string(511, 'v'), Lookup("[CONFIG]\nCG_FILE_PATH=" + std::string(511, 'v')));
  EXPECT_EQ("abc", Lookup("[CONFIG]\nCG_FILE_PATH=abcdef\n", "CG_FILE_PATH", 4));
  // Quoted: the closing quote is dropped only when everything up to it fitted.
  EXPECT_EQ("abc", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 5));
  EXPECT_EQ("ab", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 4));
  EXPECT_EQ("ab", Lookup("[CONFIG]\nCG_FILE_PATH=\"abc\"\n", "CG_FILE_PATH", 3));
}

TEST(LookupProfileValue, ByteOrderMarksAndUtf16) {
  EXPECT_EQ("a.h", Lookup("\xEF\xBB\xBF[CONFIG]\nCG_FILE_PATH=a.h\n"));
  const std::string ascii = "[CONFIG]\r\nCG_FILE_PATH=dir/a.h\r\n";
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (char c : ascii) {
    little += c;
    little += '\0';
    big += '\0';
    big += c;
  }
  EXPECT_EQ("dir/a.h", Lookup(little));
  EXPECT_EQ("dir/a.h", Lookup(big));
  // Without its mark a UTF-16 text is just bytes with NULs in them.
  EXPECT_EQ("", Lookup(little.substr(2)));
}

}  // namespace
}  // namespace protowrap::platform
