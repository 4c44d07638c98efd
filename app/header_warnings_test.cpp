// Tests of the check's part in a run: warnings as the user reads them, on files in memory.
#include "app/header_warnings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "tests/fakes.h"

namespace protowrap::app {
namespace {

using testing::FakeConfiguration;
using testing::FakeFileSystem;
using testing::ReadBack;

constexpr const ConversionJob& kCG = kConversionJobs[0];

// The warnings' texts, as a user reads them (written out here, not taken from the program).
constexpr const char* kMissingComma =
    "the enumerator has no comma after it, so its MAKE_PROTOCOL_INFO( entry is never closed; "
    "put a comma after every enumerator, the last one too";
constexpr const char* kNoPrefix =
    "the enumerator does not begin with CG_ or CW_, so it gets no MAKE_PROTOCOL_INFO( entry and "
    "its comma becomes a stray ')'; give it the family's prefix";
constexpr const char* kConditional =
    "the enumerator is inside #if, #ifdef or #else, which the wrap header comments out, so its "
    "table names the enumerator wherever the header is compiled, also where the condition does not "
    "hold; declare protocol enumerators outside conditional blocks (an include guard is fine)";

// A job with the check, on files in memory.
class HeaderWarningsTest : public ::testing::Test {
 protected:
  // Runs the CG job; returns the console's lines and leaves the warnings in warnings_.
  std::string Run(DiagnosticForm form = DiagnosticForm::kGcc,
                  std::int32_t limit = WarningReport::kDefaultLimit) {
    std::FILE* console = std::tmpfile();
    std::FILE* diagnostics = std::tmpfile();
    HeaderWarnings check(files_, WarningOptions{diagnostics, form, limit});
    result_ = RunConversion(kCG, config_, files_, console, &check);
    EXPECT_EQ(0u, files_.OpenCount()) << "a handle was left open";
    warnings_ = ReadBack(diagnostics);
    return ReadBack(console);
  }

  FakeConfiguration config_;
  FakeFileSystem files_;
  bool result_ = false;
  std::string warnings_;
};

TEST_F(HeaderWarningsTest, WarnsWhereTheHeaderStraysAndChangesNothingElse) {
  config_.values["CG_FILE_PATH"] = "in/cg.h";
  files_.files["in/cg.h"] =
      "// the last enumerator lacks its comma\r\nenum eCG_X_PROTOCOL\r\n{\r\n"
      "\tCG_A = 1,\r\n\tCG_B\r\n};\r\n";
  EXPECT_EQ("Completed\n", Run());
  EXPECT_TRUE(result_);
  EXPECT_EQ(
      "// the last enumerator lacks its comma\r\nPROTOCOL_STRUCT sCG_X_PROTOCOL[] = \r\n{\r\n"
      "\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n\tMAKE_PROTOCOL_INFO(CG_B\r\n"
      "MAKE_PROTOCOL_INFO_EOR() };\r\n",
      files_.files["./Protocol_CG.WRAP.h"]);
  // Line 5, column 2 of the header: the CG_B after the tab, in either form.
  EXPECT_EQ(std::string("in/cg.h:5:2: warning: ") + kMissingComma + " [PW001]\n", warnings_);
  Run(DiagnosticForm::kMsBuild);
  EXPECT_EQ(std::string("in/cg.h(5,2): warning PW001: ") + kMissingComma + "\n", warnings_);

  // With the comma: no warning, and the same output as without the check.
  files_.files["in/cg.h"] = "enum eCG_X_PROTOCOL { CG_A = 1, CG_B, };";
  EXPECT_EQ("Completed\n", Run());
  EXPECT_EQ("", warnings_);
  std::FILE* console = std::tmpfile();
  const std::string checked = files_.files["./Protocol_CG.WRAP.h"];
  EXPECT_TRUE(RunConversion(kCG, config_, files_, console));
  std::fclose(console);
  EXPECT_EQ(checked, files_.files["./Protocol_CG.WRAP.h"]);

  // A quoted include is read from the header's directory, through the same files: what it
  // defines decides. Without it, what it may define is unknown, and only a build that defines the
  // switch is known to fail.
  files_.files["in/cg.h"] =
      "#include \"switches.h\"\nenum eCG_X_PROTOCOL {\n#ifndef USE_X\n CG_A,\n#endif\n};\n";
  files_.files["in/switches.h"] = "#define USE_X 1\n";
  EXPECT_EQ("Completed\n", Run());
  EXPECT_EQ(std::string("in/cg.h:4:2: warning: ") + kConditional + " [PW017]\n", warnings_);
  files_.files.erase("in/switches.h");
  EXPECT_EQ("Completed\n", Run());
  EXPECT_EQ(std::string("in/cg.h:4:2: warning: in a build that defines USE_X, ") + kConditional +
                " [PW017]\n",
            warnings_);
}

TEST_F(HeaderWarningsTest, ShowsTheFirstWarningsAndCountsTheRestByCode) {
  config_.values["CG_FILE_PATH"] = "cg.h";
  files_.files["cg.h"] = "enum eCG_X_PROTOCOL\n{\n\tX_A,\n\tX_B,\n\tX_C,\n\tCG_D\n};\n";
  Run(DiagnosticForm::kGcc, 2);
  EXPECT_EQ(std::string("cg.h:3:2: warning: ") + kNoPrefix +
                " [PW008]\ncg.h:4:2: warning: " + kNoPrefix + " [PW008]\n" +
                "cg.h: note: 2 more warnings not shown (PW001 x1, PW008 x1); "
                "protowrap --warning-limit=0 shows them all\n",
            warnings_);
  // Far more warnings than the writer buffers at once: every line whole, in order.
  std::string header = "enum eCG_X_PROTOCOL\n{\n";
  std::string expected;
  for (int line = 3; line < 403; ++line) {
    header += "\tX_" + std::to_string(line) + ",\n";
    expected += "cg.h:" + std::to_string(line) + ":2: warning: " + kNoPrefix + " [PW008]\n";
  }
  files_.files["cg.h"] = header + "};\n";
  Run(DiagnosticForm::kGcc, 0);
  EXPECT_EQ(expected, warnings_);
  files_.files["cg.h"] = "enum eCG_X_PROTOCOL\n{\n\tX_A,\n\tX_B,\n\tX_C,\n\tCG_D\n};\n";

  // No limit: all four, and no note.
  Run(DiagnosticForm::kGcc, 0);
  EXPECT_EQ(4, std::count(warnings_.begin(), warnings_.end(), '\n')) << warnings_;
  EXPECT_EQ(std::string::npos, warnings_.find("note:"));
  EXPECT_NE(std::string::npos, warnings_.find("cg.h:6:2: warning:"));
  // The note counts in MSBuild's form too.
  Run(DiagnosticForm::kMsBuild, 1);
  EXPECT_EQ(0u, warnings_.find("cg.h(3,2): warning PW008: ")) << warnings_;
  EXPECT_NE(std::string::npos,
            warnings_.find("\ncg.h: note: 3 more warnings not shown (PW001 x1, PW008 x2); "))
      << warnings_;
}

}  // namespace
TEST_F(HeaderWarningsTest, AUtf16HeaderIsSaidToBeOneAndItsBytesGoOutAsTheRulesLeaveThem) {
  config_.values["CG_FILE_PATH"] = "cg.h";
  constexpr const char* kUtf16 =
      "cg.h:1:1: warning: the header is UTF-16, while the rules match 8-bit text, so its wrap "
      "header holds no table; save the header as UTF-8 [PW026]\n";
  // "enum eCG_X_PROTOCOL {" as Visual Studio's "Unicode", with a byte-order mark and without.
  std::string wide;
  for (const char c : std::string("enum eCG_X_PROTOCOL {\r\n\tCG_A,\r\n};\r\n")) {
    wide += c;
    wide += '\0';
  }
  for (const std::string& header : {"\xFF\xFE" + wide, wide}) {
    files_.files["cg.h"] = header;
    EXPECT_EQ("Completed\n", Run());
    EXPECT_EQ(kUtf16, warnings_);
    // The rules see the text up to its first NUL byte, and match nothing there.
    EXPECT_EQ(header.substr(0, header.find('\0')), files_.files["./Protocol_CG.WRAP.h"]);
  }
  // One NUL byte in an 8-bit header is no UTF-16.
  files_.files["cg.h"] = std::string("enum eCG_X_PROTOCOL {\n\tCG_A,\n};\n\0\n", 33);
  EXPECT_EQ("Completed\n", Run());
  EXPECT_EQ("", warnings_);
}

TEST_F(HeaderWarningsTest, Utf16WithoutMarkIsToldByItsFirst64BytesFromFourBytesOn) {
  config_.values["CG_FILE_PATH"] = "cg.h";
  struct Case {
    std::string header;
    bool utf16;
  };
  const std::string wide64 = [] {
    std::string text;
    for (int i = 0; i < 32; ++i) {
      text += static_cast<char>('a' + i % 26);
      text += '\0';
    }
    return text;
  }();
  for (const Case& c : std::initializer_list<Case>{
           {std::string("AB\0", 3), false},  // too short to tell
           {std::string("A\0B", 3), false},
           {std::string("A\0B\0", 4), true},  // "AB", little-endian
           {std::string("\0A\0B", 4), true},  // big-endian
           {std::string("A\0BC", 4), false},
           {std::string("\xFE\xFF\0A", 4), true},  // "A" after a big-endian mark
           {std::string("\xFF\xFE", 2), true},     // a mark alone
           {std::string("\xFE\xFF", 2), true},
           {std::string("\xFE\xFE", 2), false},
           {std::string("A\0B\0C", 5), true},        // an odd last byte is not looked at
           {wide64 + std::string("\0\0", 2), true},  // only the first 64 bytes are looked at
           {wide64.substr(0, 62) + "xy", false},
           {wide64.substr(0, 63) + "x", false},
       }) {
    files_.files["cg.h"] = c.header;
    EXPECT_EQ("Completed\n", Run());
    EXPECT_EQ(c.utf16, warnings_.find("[PW026]") != std::string::npos) << c.header.size();
  }
}

}  // namespace protowrap::app
