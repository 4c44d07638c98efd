// Tests of the conversion jobs on files in memory, with every file operation able to fail.
#include "wrap/conversion_job.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/fakes.h"

namespace protowrap {
namespace {

using testing::FakeConfiguration;
using testing::FakeFileSystem;
using testing::Op;
using testing::ReadBack;

constexpr const ConversionJob& kCG = kConversionJobs[0];
constexpr const ConversionJob& kCW = kConversionJobs[1];

// One job at a time, on files in memory.
class RunConversionTest : public ::testing::Test {
 protected:
  // Runs one job and returns what it printed on the console.
  std::string Run(const ConversionJob& job, WrittenHeader* written = nullptr) {
    std::FILE* console = std::tmpfile();
    result_ = RunConversion(job, config_, files_, console, written);
    EXPECT_EQ(0u, files_.OpenCount()) << "a handle was left open";
    return ReadBack(console);
  }

  FakeConfiguration config_;
  FakeFileSystem files_;
  bool result_ = false;
};

TEST_F(RunConversionTest, WritesTheRewrittenInputAndReportsCompleted) {
  config_.values["CG_FILE_PATH"] = "in/Protocol_CG.h";
  files_.files["in/Protocol_CG.h"] = "enum eCG_CATEGORY\r\n{\r\n\tCG_LOGIN = 1,\r\n};\r\n";
  files_.files["./Protocol_CG.WRAP.h"] = "an older, longer output that must be replaced entirely";
  EXPECT_EQ("Completed\n", Run(kCG));
  EXPECT_TRUE(result_);
  EXPECT_EQ(
      "PROTOCOL_STRUCT sCG_CATEGORY[] =\r\n{\r\n\tMAKE_PROTOCOL_INFO(CG_LOGIN , 1), \r\n"
      "MAKE_PROTOCOL_INFO_EOR() };\r\n",
      files_.files["./Protocol_CG.WRAP.h"]);
  EXPECT_EQ("enum eCG_CATEGORY\r\n{\r\n\tCG_LOGIN = 1,\r\n};\r\n",
            files_.files["in/Protocol_CG.h"]);
}

TEST_F(RunConversionTest, EmptyInputsAndNulBytes) {
  config_.values["CW_FILE_PATH"] = "cw.h";
  files_.files["cw.h"] = "";
  EXPECT_EQ("Completed\n", Run(kCW));
  EXPECT_TRUE(result_);
  EXPECT_EQ("", files_.files["./Protocol_CW.WRAP.h"]);

  // The output ends where the first NUL stood, whether or not a rule matched before it.
  files_.files["cw.h"] = std::string("CW_A,\0CW_B,", 11);
  EXPECT_EQ("Completed\n", Run(kCW));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CW_A), ", files_.files["./Protocol_CW.WRAP.h"]);
  files_.files["cw.h"] = std::string("plain\0CW_B,", 11);
  Run(kCW);
  EXPECT_EQ("plain", files_.files["./Protocol_CW.WRAP.h"]);
}

TEST_F(RunConversionTest, MissingConfigurationIsCantOpenWithAnEmptyPath) {
  files_.files["cg.h"] = "CG_A,";
  EXPECT_EQ("Can't open \n", Run(kCG));
  EXPECT_FALSE(result_);
  EXPECT_EQ(0u, files_.files.count("./Protocol_CG.WRAP.h"));
}

TEST_F(RunConversionTest, EveryFailureHasItsLineAndNeverClaimsSuccess) {
  const struct {
    Op op;
    std::uint64_t reportedSize;
    const char* line;
    bool outputKept;  // the previous output is still there, byte for byte
  } cases[] = {
      // A failed write or rename keeps the previous output whole: the new text only ever went to
      // a temporary file, which is gone again.
      {Op::kOpen, 0, "Can't open in.h\n", true},
      {Op::kSize, 0, "Can't Read File in.h\n", true},
      {Op::kRead, 0, "Can't Read File in.h\n", true},
      {Op::kShortRead, 0, "Can't Read File in.h\n", true},
      {Op::kRead, 2147483647, "File Too Large in.h\n", true},
      {Op::kRead, 5ull << 30, "File Too Large in.h\n", true},
      {Op::kCreate, 0, "Can't Create File ./Protocol_CW.WRAP.h\n", true},
      {Op::kWrite, 0, "Can't Write File ./Protocol_CW.WRAP.h\n", true},
      {Op::kReplace, 0, "Can't Write File ./Protocol_CW.WRAP.h\n", true},
  };
  for (const auto& c : cases) {
    files_ = FakeFileSystem{};
    config_.values["CW_FILE_PATH"] = "in.h";
    files_.files["in.h"] = "CW_A,\nCW_B = 2,\n";
    files_.files["./Protocol_CW.WRAP.h"] = "previous output";
    files_.failing.insert(c.op);
    files_.reportedSize = c.reportedSize;
    EXPECT_EQ(c.line, Run(kCW));
    EXPECT_FALSE(result_) << c.line;
    EXPECT_EQ(c.outputKept, files_.files["./Protocol_CW.WRAP.h"] == "previous output") << c.line;
    EXPECT_EQ(0, files_.temporaries) << c.line;
    EXPECT_EQ(0u, files_.OpenCount()) << c.line;
    EXPECT_EQ("CW_A,\nCW_B = 2,\n", files_.files["in.h"]);
    if (c.reportedSize != 0) {
      EXPECT_EQ(0, files_.reads) << "an oversized input must not be read";
    }
  }
}

TEST_F(RunConversionTest, JobsShareTheValueBufferAndEachReadsItsOwnKey) {
  config_.values["CG_FILE_PATH"] = std::string(600, 'p');  // cut to 511 bytes
  config_.values["CW_FILE_PATH"] = "cw.h";
  files_.files["cw.h"] = "CW_X,";
  files_.files[std::string(511, 'p')] = "CG_Y,";
  EXPECT_EQ("Completed\n", Run(kCG));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CG_Y), ", files_.files["./Protocol_CG.WRAP.h"]);
  EXPECT_EQ("Completed\n", Run(kCW));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CW_X), ", files_.files["./Protocol_CW.WRAP.h"]);
  config_.values.erase("CG_FILE_PATH");
  EXPECT_EQ("Can't open \n", Run(kCG));  // not the path CW left behind
}

// What the layer above sees of each written wrap header, and when: before "Completed".
struct Recorded final : WrittenHeader {
  std::FILE* console = nullptr;
  std::string path;
  std::string header;
  std::string text;
  bool cut = false;
  void Inspect(const char* inputPath, const char* input, std::int32_t inputLength,
               const char* written, std::int32_t length, bool cutAtNul) override {
    path = inputPath;
    header.assign(input, static_cast<std::size_t>(inputLength));
    text.assign(written, static_cast<std::size_t>(length));
    cut = cutAtNul;
  }
};

TEST_F(RunConversionTest, TheLayerAboveSeesTheHeaderWhatWasWrittenAndWhetherANulCutIt) {
  config_.values["CG_FILE_PATH"] = "cg.h";
  files_.files["cg.h"] = std::string("CG_A,\0 \t\r\n\0", 11);  // only blanks after the NUL
  Recorded seen;
  EXPECT_EQ("Completed\n", Run(kCG, &seen));
  EXPECT_EQ("cg.h", seen.path);
  EXPECT_EQ(std::string("CG_A,\0 \t\r\n\0", 11), seen.header);  // the header's own bytes
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CG_A), ", seen.text);
  EXPECT_FALSE(seen.cut);
  files_.files["cg.h"] = std::string("CG_A,\0CG_B,", 11);  // the header goes on
  Run(kCG, &seen);
  EXPECT_TRUE(seen.cut);
  // A job that fails shows nothing.
  Recorded none;
  files_.failing.insert(Op::kCreate);
  EXPECT_EQ("Can't Create File ./Protocol_CG.WRAP.h\n", Run(kCG, &none));
  EXPECT_EQ("", none.path);
}

}  // namespace
}  // namespace protowrap
