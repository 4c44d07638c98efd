#include "wrap/conversion_job.h"

#include "wrap/check/problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace protowrap {
namespace {

using platform::FileHandle;
using platform::kInvalidFile;

enum class Op { kOpen, kSize, kRead, kShortRead, kCreate, kWrite, kCloseOutput };

// The configuration in memory: the keys of section CONFIG in ./Talvenor.ini.
class FakeConfiguration final : public config::Configuration {
 public:
  std::map<std::string, std::string> values;

  void GetValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                std::uint32_t bufferSize, const char* iniPath) override {
    EXPECT_STREQ("CONFIG", section);
    EXPECT_STREQ("./Talvenor.ini", iniPath);
    EXPECT_EQ(512u, bufferSize);
    const auto found = values.find(key);
    const std::string value = found != values.end() ? found->second : defaultValue;
    std::snprintf(buffer, bufferSize, "%s", value.c_str());
  }
};

// Files in memory; any operation can be made to fail.
class FakeFileSystem final : public platform::FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<Op> failing;
  std::uint64_t reportedSize = 0;  // when not 0, GetSize answers this instead of the real size
  int reads = 0;

  FileHandle OpenForRead(const char* path) override {
    if (failing.count(Op::kOpen) != 0 || files.count(path) == 0) {
      return kInvalidFile;
    }
    return Track(path, false);
  }

  bool GetSize(FileHandle file, std::uint64_t* size) override {
    if (failing.count(Op::kSize) != 0) {
      return false;
    }
    *size = reportedSize != 0 ? reportedSize : files[open_.at(file).path].size();
    return true;
  }

  bool Read(FileHandle file, char* buffer, std::uint32_t size) override {
    ++reads;
    const std::string& content = files[open_.at(file).path];
    if (failing.count(Op::kRead) != 0) {
      return false;
    }
    const std::size_t give = failing.count(Op::kShortRead) != 0 ? size / 2 : size;
    std::memcpy(buffer, content.data(), give);
    return give == size;
  }

  FileHandle CreateForWrite(const char* path) override {
    if (failing.count(Op::kCreate) != 0) {
      return kInvalidFile;
    }
    files[path].clear();
    return Track(path, true);
  }

  bool Write(FileHandle file, const char* data, std::uint32_t size) override {
    std::string& content = files[open_.at(file).path];
    if (failing.count(Op::kWrite) != 0) {
      content.append(data, size / 2);  // a disk that filled up half way
      return false;
    }
    content.append(data, size);
    return true;
  }

  bool Close(FileHandle file) override {
    const bool output = open_.at(file).output;
    open_.erase(file);
    return !(output && failing.count(Op::kCloseOutput) != 0);
  }

  std::size_t OpenCount() const { return open_.size(); }

 private:
  struct OpenFile {
    std::string path;
    bool output;
  };

  FileHandle Track(const char* path, bool output) {
    const FileHandle handle = next_++;
    open_[handle] = {path, output};
    return handle;
  }

  std::map<FileHandle, OpenFile> open_;
  FileHandle next_ = 3;
};

std::string ReadBack(std::FILE* stream) {
  std::string printed(4096, '\0');
  std::rewind(stream);
  printed.resize(std::fread(printed.data(), 1, printed.size(), stream));
  std::fclose(stream);
  return printed;
}

// Runs one job, with the header check, and returns what it printed on the console; the warnings
// go to `warnings`, when given.
std::string RunJob(const ConversionJob& job, FakeConfiguration& config, FakeFileSystem& files,
                   bool* result, std::string* warnings = nullptr,
                   platform::DiagnosticForm form = platform::DiagnosticForm::kGcc,
                   std::int32_t limit = 20) {
  std::FILE* console = std::tmpfile();
  std::FILE* diagnostics = std::tmpfile();
  *result = RunConversion(job, config, files, console, WarningOptions{diagnostics, form, limit});
  EXPECT_EQ(0u, files.OpenCount()) << "a handle was left open";
  const std::string printed = ReadBack(diagnostics);
  if (warnings != nullptr) {
    *warnings = printed;
  }
  return ReadBack(console);
}

constexpr const ConversionJob& kCG = kConversionJobs[0];
constexpr const ConversionJob& kCW = kConversionJobs[1];

TEST(RunConversion, WritesTheRewrittenInputAndReportsCompleted) {
  FakeConfiguration config;
  FakeFileSystem files;
  config.values["CG_FILE_PATH"] = "in/Protocol_CG.h";
  files.files["in/Protocol_CG.h"] = "enum eCG_CATEGORY\r\n{\r\n\tCG_LOGIN = 1,\r\n};\r\n";
  files.files["./Protocol_CG.WRAP.h"] = "an older, longer output that must be replaced entirely";
  bool result = false;
  EXPECT_EQ("Completed\n", RunJob(kCG, config, files, &result));
  EXPECT_TRUE(result);
  EXPECT_EQ(
      "PROTOCOL_STRUCT sCG_CATEGORY[] =\r\n{\r\n\tMAKE_PROTOCOL_INFO(CG_LOGIN , 1), \r\n"
      "MAKE_PROTOCOL_INFO_EOR() };\r\n",
      files.files["./Protocol_CG.WRAP.h"]);
  EXPECT_EQ("enum eCG_CATEGORY\r\n{\r\n\tCG_LOGIN = 1,\r\n};\r\n", files.files["in/Protocol_CG.h"]);
}

TEST(RunConversion, EmptyInputsAndNulBytes) {
  FakeConfiguration config;
  FakeFileSystem files;
  config.values["CW_FILE_PATH"] = "cw.h";
  files.files["cw.h"] = "";
  bool result = false;
  EXPECT_EQ("Completed\n", RunJob(kCW, config, files, &result));
  EXPECT_TRUE(result);
  EXPECT_EQ("", files.files["./Protocol_CW.WRAP.h"]);

  // The output ends where the first NUL stood, whether or not a rule matched before it.
  files.files["cw.h"] = std::string("CW_A,\0CW_B,", 11);
  EXPECT_EQ("Completed\n", RunJob(kCW, config, files, &result));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CW_A), ", files.files["./Protocol_CW.WRAP.h"]);
  files.files["cw.h"] = std::string("plain\0CW_B,", 11);
  RunJob(kCW, config, files, &result);
  EXPECT_EQ("plain", files.files["./Protocol_CW.WRAP.h"]);
}

TEST(RunConversion, MissingConfigurationIsCantOpenWithAnEmptyPath) {
  FakeConfiguration config;
  FakeFileSystem files;
  files.files["cg.h"] = "CG_A,";
  bool result = true;
  EXPECT_EQ("Can't open \n", RunJob(kCG, config, files, &result));
  EXPECT_FALSE(result);
  EXPECT_EQ(0u, files.files.count("./Protocol_CG.WRAP.h"));
}

TEST(RunConversion, EveryFailureHasItsLineAndNeverClaimsSuccess) {
  const struct {
    Op op;
    std::uint64_t reportedSize;
    const char* line;
    bool outputKept;  // the previous output is still there, byte for byte
  } cases[] = {
      {Op::kOpen, 0, "Can't open in.h\n", true},
      {Op::kSize, 0, "Can't Read File in.h\n", true},
      {Op::kRead, 0, "Can't Read File in.h\n", true},
      {Op::kShortRead, 0, "Can't Read File in.h\n", true},
      {Op::kRead, 2147483647, "File Too Large in.h\n", true},
      {Op::kRead, 5ull << 30, "File Too Large in.h\n", true},
      {Op::kCreate, 0, "Can't Create File ./Protocol_CW.WRAP.h\n", true},
      {Op::kWrite, 0, "Can't Write File ./Protocol_CW.WRAP.h\n", false},
      {Op::kCloseOutput, 0, "Can't Write File ./Protocol_CW.WRAP.h\n", false},
  };
  for (const auto& c : cases) {
    FakeConfiguration config;
    FakeFileSystem files;
    config.values["CW_FILE_PATH"] = "in.h";
    files.files["in.h"] = "CW_A,\nCW_B = 2,\n";
    files.files["./Protocol_CW.WRAP.h"] = "previous output";
    files.failing.insert(c.op);
    files.reportedSize = c.reportedSize;
    bool result = true;
    EXPECT_EQ(c.line, RunJob(kCW, config, files, &result));
    EXPECT_FALSE(result) << c.line;
    EXPECT_EQ(c.outputKept, files.files["./Protocol_CW.WRAP.h"] == "previous output") << c.line;
    EXPECT_EQ("CW_A,\nCW_B = 2,\n", files.files["in.h"]);
    if (c.reportedSize != 0) {
      EXPECT_EQ(0, files.reads) << "an oversized input must not be read";
    }
  }
}

TEST(RunConversion, WarnsWhereTheHeaderStraysAndChangesNothingElse) {
  FakeConfiguration config;
  FakeFileSystem files;
  config.values["CG_FILE_PATH"] = "in/cg.h";
  const std::string header =
      "// the last enumerator lacks its comma\r\nenum eCG_X_PROTOCOL\r\n{\r\n"
      "\tCG_A = 1,\r\n\tCG_B\r\n};\r\n";
  files.files["in/cg.h"] = header;
  bool result = false;
  std::string warnings;
  EXPECT_EQ("Completed\n", RunJob(kCG, config, files, &result, &warnings));
  EXPECT_TRUE(result);
  EXPECT_EQ(
      "// the last enumerator lacks its comma\r\nPROTOCOL_STRUCT sCG_X_PROTOCOL[] = \r\n{\r\n"
      "\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n\tMAKE_PROTOCOL_INFO(CG_B\r\n"
      "MAKE_PROTOCOL_INFO_EOR() };\r\n",
      files.files["./Protocol_CG.WRAP.h"]);
  // Line 5, column 2 of the header: the CG_B after the tab, in either form.
  const check::ProblemText& text = check::DescribeProblem(check::HeaderProblem::kMissingComma);
  const std::string message = std::string(text.what) + "; " + text.instead;
  EXPECT_EQ("in/cg.h:5:2: warning: " + message + " [PW001]\n", warnings);
  RunJob(kCG, config, files, &result, &warnings, platform::DiagnosticForm::kMsBuild);
  EXPECT_EQ("in/cg.h(5,2): warning PW001: " + message + "\n", warnings);

  // With the comma: no warning, and the same output as without the check.
  files.files["in/cg.h"] = "enum eCG_X_PROTOCOL { CG_A = 1, CG_B, };";
  EXPECT_EQ("Completed\n", RunJob(kCG, config, files, &result, &warnings));
  EXPECT_EQ("", warnings);
  std::FILE* console = std::tmpfile();
  const std::string checked = files.files["./Protocol_CG.WRAP.h"];
  EXPECT_TRUE(RunConversion(kCG, config, files, console));
  std::fclose(console);
  EXPECT_EQ(checked, files.files["./Protocol_CG.WRAP.h"]);
}

TEST(RunConversion, ShowsTheFirstWarningsAndCountsTheRestByCode) {
  FakeConfiguration config;
  FakeFileSystem files;
  config.values["CG_FILE_PATH"] = "cg.h";
  files.files["cg.h"] = "enum eCG_X_PROTOCOL\n{\n\tX_A,\n\tX_B,\n\tX_C,\n\tCG_D\n};\n";
  bool result = false;
  std::string warnings;
  RunJob(kCG, config, files, &result, &warnings, platform::DiagnosticForm::kGcc, 2);
  const std::string noPrefix =
      std::string(check::DescribeProblem(check::HeaderProblem::kNoPrefix).what) + "; " +
      check::DescribeProblem(check::HeaderProblem::kNoPrefix).instead + " [PW008]\n";
  EXPECT_EQ("cg.h:3:2: warning: " + noPrefix + "cg.h:4:2: warning: " + noPrefix +
                "cg.h: note: 2 more warnings not shown (PW001 x1, PW008 x1); "
                "protowrap --warning-limit=0 shows them all\n",
            warnings);
  // No limit: all four, and no note.
  RunJob(kCG, config, files, &result, &warnings, platform::DiagnosticForm::kGcc, 0);
  EXPECT_EQ(4, std::count(warnings.begin(), warnings.end(), '\n')) << warnings;
  EXPECT_EQ(std::string::npos, warnings.find("note:"));
  EXPECT_NE(std::string::npos, warnings.find("cg.h:6:2: warning:"));
  // The note counts in MSBuild's form too.
  RunJob(kCG, config, files, &result, &warnings, platform::DiagnosticForm::kMsBuild, 1);
  EXPECT_EQ(0u, warnings.find("cg.h(3,2): warning PW008: ")) << warnings;
  EXPECT_NE(std::string::npos, warnings.find("\ncg.h: note: 3 more warnings not shown (PW001 x1, "
                                             "PW008 x2); "))
      << warnings;
}

TEST(RunConversion, JobsShareTheValueBufferAndEachReadsItsOwnKey) {
  FakeConfiguration config;
  FakeFileSystem files;
  config.values["CG_FILE_PATH"] = std::string(600, 'p');  // cut to 511 bytes
  config.values["CW_FILE_PATH"] = "cw.h";
  files.files["cw.h"] = "CW_X,";
  files.files[std::string(511, 'p')] = "CG_Y,";
  bool result = false;
  EXPECT_EQ("Completed\n", RunJob(kCG, config, files, &result));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CG_Y), ", files.files["./Protocol_CG.WRAP.h"]);
  EXPECT_EQ("Completed\n", RunJob(kCW, config, files, &result));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CW_X), ", files.files["./Protocol_CW.WRAP.h"]);
  config.values.erase("CG_FILE_PATH");
  EXPECT_EQ("Can't open \n", RunJob(kCG, config, files, &result));  // not the path CW left behind
}

}  // namespace
}  // namespace protowrap
